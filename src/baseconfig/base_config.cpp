#include "baseconfig/base_config.h"

#include "baseconfig/base_dialog.h"
#include "baseconfig/help_topics.h"
#include "baseconfig/serial_dialog.h"
#include "core/com_device.h"
#include "core/link_state.h"

#include <QAction>
#include <QApplication>
#include <QScreen>

#include <algorithm>

namespace quv {

namespace {

// F1 in the window shows the topic of the focused control, or of the
// nearest parent that has one.
void addHelpKey(QWidget* window, const std::function<void(int)>& showHelp) {
    auto* f1 = new QAction(window);
    f1->setShortcut(QKeySequence(Qt::Key_F1));
    f1->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(f1, &QAction::triggered, window, [window, showHelp] {
        if (!showHelp) return;
        const QWidget* focus = QApplication::focusWidget();
        if (!focus || focus->window() != window) focus = window;
        for (const QWidget* w = focus; w; w = w->parentWidget()) {
            const QVariant topic = w->property(kHelpTopicProperty);
            if (topic.isValid()) return showHelp(topic.toInt());
        }
    });
    window->addAction(f1);
}

void toFront(QWidget* window) {
    window->raise();
    window->activateWindow();
}

// The first time a dialog is shown it stands in the middle of the window
// it belongs to; afterwards it keeps where the user put it.
void showOver(QWidget* dialog) {
    if (!dialog->property("placed").toBool() && dialog->parentWidget()) {
        dialog->adjustSize();
        QRect box(QPoint(), dialog->size());
        const QWidget* owner = dialog->parentWidget()->window();
        box.moveCenter(owner->geometry().center());
        const QRect screen = owner->screen()->availableGeometry();
        dialog->move(std::max(box.left(), screen.left()), std::max(box.top(), screen.top()));
        dialog->setProperty("placed", true);
    }
    dialog->show();
    toFront(dialog);
}

}  // namespace

BaseConfig::BaseConfig(Services services, QWidget* parent, std::function<void(int)> showHelp,
                       std::function<void(QWidget*)> ownWindow)
    : QObject(parent),
      link_(services.link),
      commands_(services.com, services.dialogs, services.settings, services.link,
                [&settings = services.settings](qint32 port) { return comDevice(settings, port); }),
      parent_(parent),
      showHelp_(std::move(showHelp)),
      ownWindow_(std::move(ownWindow)) {}

void BaseConfig::adopt(QWidget* dialog) {
    addHelpKey(dialog, showHelp_);
    if (ownWindow_) ownWindow_(dialog);
}

SerialDialog* BaseConfig::Form3() {
    if (!form3_) adopt(form3_ = new SerialDialog(commands_, parent_));
    return form3_;
}

BaseDialog* BaseConfig::Form2() {
    if (!form2_) adopt(form2_ = new BaseDialog(commands_, parent_));
    return form2_;
}

void BaseConfig::Serial_Click() {
    SerialDialog* form3 = Form3();
    if (form3->isVisible()) return toFront(form3);
    form3->Form_Load();
    showOver(form3);
}

void BaseConfig::base_Click() {
    BaseDialog* form2 = Form2();
    if (form2->isVisible()) return toFront(form2);
    // A command that is running waits in the library; loading now would
    // read inside it.
    if (commands_.busy() || commands_.refusedForUpload()) return;
    form2->Form_Load();
    if (link_.AppClosing) return;
    showOver(form2);
}

}  // namespace quv
