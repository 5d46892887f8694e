#include "app/help_routing.h"

#include "app/help_viewer.h"
#include "baseconfig/help_topics.h"

#include <QAction>
#include <QApplication>
#include <QWidget>

namespace quv {

HelpRouting::HelpRouting(QWidget* window, std::function<void(QWidget*)> ownWindow)
    : QObject(window), window_(window), ownWindow_(std::move(ownWindow)) {
    auto* f1 = new QAction(window);
    f1->setShortcut(QKeySequence(Qt::Key_F1));
    f1->setShortcutContext(Qt::WindowShortcut);
    connect(f1, &QAction::triggered, this, &HelpRouting::Help_Click);
    window->addAction(f1);
}

HelpViewer* HelpRouting::helpViewer() {
    if (!help_) {
        help_ = new HelpViewer(window_);
        help_->setHelpFile(helpFile_);
        ownWindow_(help_);
    }
    return help_;
}

int HelpRouting::topicOfFocus() {
    for (const QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        const QVariant topic = w->property(kHelpTopicProperty);
        if (topic.isValid()) return topic.toInt();
    }
    return 0;
}

void HelpRouting::Help_Click() {
    showHelpTopic(topicOfFocus());
}

void HelpRouting::showHelpTopic(int topic) {
    helpViewer()->showTopic(topic);
}

void HelpRouting::setHelpFile(const QString& name) {
    helpFile_ = name;
    if (help_) help_->setHelpFile(helpFile_);
}

}  // namespace quv
