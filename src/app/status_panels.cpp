#include "app/status_panels.h"

#include "app/layout_rules.h"
#include "core/clock.h"

#include <QLabel>
#include <QLocale>
#include <QTimer>

namespace quv {

StatusPanels::StatusPanels(Clock& clock, QWidget* parent)
    : QStatusBar(parent), clock_(clock), dateTimer_(new QTimer(this)) {
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(false);
    setFixedHeight(twipsToPixels(form1::kStatusBarHeight));
    const struct {
        const char* key;
        const char* text;
    } defs[] = {{"", ""},
                {"Baud", "Baud"},
                {"Line", "Line Number"},
                {"Name", "Filename"},
                {"Project", "Project file"}};
    // The panels keep their width side by side; a narrow window clips them
    // instead of growing to fit them.
    auto* strip = new QWidget(this);
    strip->setMinimumWidth(0);
    addWidget(strip, 1);
    const int panelWidth = twipsToPixels(form1::kStatusPanelWidth);
    int x = 0;
    for (const auto& d : defs) {
        auto* label = new QLabel(QString::fromLatin1(d.text), strip);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setIndent(3);
        label->setGeometry(x, 1, panelWidth, height() - 3);
        x += panelWidth + 3;
        panels_ << label;
        const QString key = QString::fromLatin1(d.key);
        if (!key.isEmpty()) {
            label->setObjectName(key);
            byKey_.insert(key, label);
        }
    }
    refreshDate();
    connect(dateTimer_, &QTimer::timeout, this, &StatusPanels::refreshDate);
    dateTimer_->start(60 * 1000);
}

void StatusPanels::setPanelText(const QString& key, const QString& text) {
    if (QLabel* l = byKey_.value(key)) l->setText(text);
}

QString StatusPanels::panelText(const QString& key) const {
    const QLabel* l = byKey_.value(key);
    return l ? l->text() : QString();
}

QLabel* StatusPanels::panel(int index) const {
    return panels_.value(index - 1);
}

void StatusPanels::setNotice(const QString& text) {
    if (!notice_) {
        notice_ = new QLabel(this);
        notice_->setObjectName(QStringLiteral("Notice"));
        addPermanentWidget(notice_);
    }
    notice_->setText(text);
    notice_->setToolTip(text);
    notice_->setVisible(!text.isEmpty());
}

QString StatusPanels::notice() const {
    return notice_ ? notice_->text() : QString();
}

void StatusPanels::refreshDate() {
    panels_.first()->setText(QLocale::system().toString(clock_.today(), QLocale::ShortFormat));
}

}  // namespace quv
