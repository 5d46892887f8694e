// The main window's layout formulas, in twips (15 twips to a pixel).
#pragma once

#include "core/twips.h"

#include <array>
#include <optional>

namespace quv {

// Fixed placements of the main window, in twips.
namespace form1 {
constexpr int kButtonHeight = 435;
constexpr int kFirstRowTop = 120;
constexpr int kSecondRowTop = 600;
constexpr int kBarHeight = 135;
constexpr int kStatusBarHeight = 300;
constexpr int kStatusPanelWidth = 2540;
constexpr int kDesignWidth = 9330;
constexpr int kDesignHeight = 7095;
constexpr int kCompactHeight = 1770;
constexpr int kFullModeNormalHeight = 7200;
constexpr int kListWidth = 3975;
constexpr int kListHeight = 2340;
constexpr float kButtonFontPoints = 8;
}  // namespace form1

struct LayoutInput {
    float W = 0;   // outer width of the window, frame included
    float SW = 0;  // width of the client area
    float SH = 0;  // height of the client area
    int button6Height = form1::kButtonHeight;
    int button1Height = form1::kButtonHeight;
    float barH = form1::kBarHeight;
    float sbH = form1::kStatusBarHeight;
    bool fullMode = false;
    bool maximised = false;
};

// What one run of the layout sets; an empty value keeps the control's
// previous one.
struct LayoutResult {
    int T = 0;
    float editorTop = 0;
    std::optional<float> editorLeft, editorWidth, editorHeight;
    bool restoreNormalState = false;
    float listLeft = 0, listTop = 0;
    // Buttons 1 to 5 at index 0 to 4; buttons 6 to 10 take the same values.
    std::array<float, 5> buttonLeft{};
    std::array<std::optional<float>, 5> buttonWidth{};
    float buttonFontPoints = form1::kButtonFontPoints;
    float barWidth = 0;
};

// One run of the window's layout routine on the current sizes.
LayoutResult computeFormLayout(const LayoutInput& in);

}  // namespace quv
