#include "app/layout_rules.h"

namespace quv {

LayoutResult computeFormLayout(const LayoutInput& in) {
    LayoutResult r;
    r.T = in.button6Height + in.button1Height;
    const float T = static_cast<float>(r.T);
    r.editorTop = in.barH + T + 20;
    if (in.W > 200) {
        r.editorLeft = 50;
        r.editorWidth = in.SW;
    }
    if (in.fullMode) {
        // A height that would not be positive keeps the previous one.
        const float height = in.SH - T - in.sbH - in.barH;
        if (in.SH - T - 250 > 0 && height > 0) r.editorHeight = height;
    } else {
        r.restoreNormalState = in.maximised;
    }
    r.listLeft = in.W - 4100;
    r.listTop = T + 100;
    for (int i = 1; i <= 5; ++i) {
        const float left = 30.0f * ((i - 1) * (in.W - 250) / 150 + 2);
        const float width = 30.0f * ((in.W - 250) / 150 - 2);
        r.buttonLeft[static_cast<size_t>(i - 1)] = left;
        if (width > 0) r.buttonWidth[static_cast<size_t>(i - 1)] = width;
    }
    r.barWidth = in.W;
    return r;
}

}  // namespace quv
