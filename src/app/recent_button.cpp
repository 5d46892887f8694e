#include "app/recent_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace quv {

void RecentButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin, &option, this);
    option.text = fontMetrics().elidedText(text(), Qt::ElideLeft, width() - 2 * margin);
    painter.drawControl(QStyle::CE_PushButton, option);
}

}  // namespace quv
