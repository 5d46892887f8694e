// Sizes and positions of windows and controls are given in twips (1/1440
// inch); the platform places windows in pixels, 15 twips to a pixel.
#pragma once

#include <QRect>

namespace quv {

constexpr int kTwipsPerPixel = 15;
inline int twipsToPixels(double twips) {
    return static_cast<int>(twips >= 0 ? twips / kTwipsPerPixel + 0.5
                                       : twips / kTwipsPerPixel - 0.5);
}
inline float pixelsToTwips(int pixels) {
    return static_cast<float>(pixels * kTwipsPerPixel);
}
// A control's box given in twips: left, top, width, height.
inline QRect twipsRect(double left, double top, double width, double height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

}  // namespace quv
