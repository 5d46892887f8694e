#include "app/tool_buttons.h"

#include "app/layout_rules.h"
#include "app/recent_button.h"
#include "app/recent_files.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace quv {

namespace {

struct ButtonDef {
    const char* caption;
    const char* tooltip;
};
constexpr ButtonDef kButtons[] = {
    {"", "Open file F6"},
    {"Compile", "Compile current program F7"},
    {"Raw RS232 Upload", "RS232 Program Upload"},
    {"Raw Wireless Upload", "Wireless Program Upload"},
    {"Wireless Upload", "Wireless Program Upload"},
};

QFont buttonFont(int index) {
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(form1::kButtonFontPoints);
    f.setBold(index >= 2 && index <= 5);
    return f;
}

// The open-folder picture of tool button 1, drawn here: looking one up in
// the desktop's icon themes costs more than the rest of the window's start.
QIcon openFolderIcon() {
    QPixmap picture(20, 20);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x8a, 0x6d, 0x1f), 1));
    p.setBrush(QColor(0xe8, 0xc4, 0x5c));
    p.drawPolygon(
        QPolygonF({{1.5, 4.5}, {7.5, 4.5}, {9.5, 6.5}, {16.5, 6.5}, {16.5, 16.5}, {1.5, 16.5}}));
    p.setBrush(QColor(0xf6, 0xdc, 0x8a));
    p.drawPolygon(QPolygonF({{4.5, 9.5}, {19.5, 9.5}, {16.5, 16.5}, {1.5, 16.5}}));
    return QIcon(picture);
}

}  // namespace

ToolButtons::ToolButtons(QWidget* client, std::function<void(int)> clicked) {
    for (int i = 1; i <= 10; ++i) {
        QPushButton* b = i <= 5 ? new QPushButton(client) : new RecentButton(client);
        b->setObjectName(QStringLiteral("Command1_%1").arg(i));
        b->setProperty("index", i);
        b->setFocusPolicy(Qt::TabFocus);
        b->setFont(buttonFont(i));
        const int row = (i - 1) / 5;
        const int col = (i - 1) % 5;
        b->setGeometry(twipsToPixels(col * 720),
                       twipsToPixels(row == 0 ? form1::kFirstRowTop : form1::kSecondRowTop),
                       twipsToPixels(735), twipsToPixels(form1::kButtonHeight));
        if (i <= 5) {
            b->setText(QString::fromLatin1(kButtons[i - 1].caption));
            b->setToolTip(QString::fromLatin1(kButtons[i - 1].tooltip));
        } else {
            b->setToolTip(QStringLiteral("Open file"));
            b->setProperty("tag", QString());
        }
        QObject::connect(b, &QPushButton::clicked, client, [clicked, i] { clicked(i); });
        buttons_.at(static_cast<size_t>(i)) = b;
    }
    buttons_[1]->setIcon(openFolderIcon());
    buttons_[1]->setIconSize(QSize(20, 20));
}

QPushButton* ToolButtons::button(int index) const {
    return (index >= 1 && index <= 10) ? buttons_.at(static_cast<size_t>(index)) : nullptr;
}

void ToolButtons::place(const LayoutResult& layout) {
    for (int i = 1; i <= 5; ++i) {
        const auto k = static_cast<size_t>(i - 1);
        for (QPushButton* b : {button(i), button(i + 5)}) {
            QRect g = b->geometry();
            g.moveLeft(twipsToPixels(layout.buttonLeft[k]));
            if (layout.buttonWidth[k]) g.setWidth(twipsToPixels(*layout.buttonWidth[k]));
            b->setGeometry(g);
            QFont f = b->font();
            f.setPointSizeF(layout.buttonFontPoints);
            b->setFont(f);
        }
    }
}

void ToolButtons::showRecent(const RecentFiles& recent) {
    for (int slot = 1; slot <= RecentFiles::kSlots; ++slot) {
        const RecentFiles::Slot& s = recent.slot(slot);
        QPushButton* b = button(slot + 5);
        b->setText(s.path);
        b->setProperty("tag", s.path);
        QPalette p = b->palette();
        const QPalette standard = QApplication::palette(b);
        p.setColor(QPalette::Button, s.highlighted ? standard.color(QPalette::HighlightedText)
                                                   : standard.color(QPalette::Button));
        b->setPalette(p);
        b->setProperty("highlighted", s.highlighted);
    }
}

}  // namespace quv
