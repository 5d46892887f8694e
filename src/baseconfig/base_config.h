// The base station and link configuration: the Serial Configurations and
// Base Configuration dialogs, built from the services they need, shown
// modeless from the menu.
#pragma once

#include "baseconfig/base_commands.h"

#include <QObject>

#include <functional>

class QWidget;

namespace quv {

class BaseDialog;
class Dialogs;
class QuvCom;
class SerialDialog;
class SettingsStore;
struct LinkState;

class BaseConfig : public QObject {
    Q_OBJECT
  public:
    struct Services {
        QuvCom& com;
        Dialogs& dialogs;
        SettingsStore& settings;
        LinkState& link;
    };
    // parent: the window the dialogs stay over. showHelp: F1 in a dialog,
    // with the topic of its focused control. ownWindow: each dialog as it is
    // built, when it is first needed.
    BaseConfig(Services services, QWidget* parent, std::function<void(int topic)> showHelp,
               std::function<void(QWidget*)> ownWindow = {});

    // While an upload runs: the text that says what runs and how to stop
    // it; otherwise empty. "Base", "Update" and the commands of the base
    // dialog then refuse with that text.
    void setRunningUpload(std::function<QString()> text) {
        commands_.runningUpload = std::move(text);
    }

    // The menu items "Serial Configurations" and "Base": a dialog that is
    // open is only brought to the front; a closed one is loaded and shown.
    void Serial_Click();
    void base_Click();

    // Built the first time they are needed.
    SerialDialog* Form3();
    BaseDialog* Form2();
    BaseCommands& commands() { return commands_; }

  private:
    void adopt(QWidget* dialog);
    LinkState& link_;
    BaseCommands commands_;
    QWidget* parent_;
    std::function<void(int)> showHelp_;
    std::function<void(QWidget*)> ownWindow_;
    SerialDialog* form3_ = nullptr;
    BaseDialog* form2_ = nullptr;
};

}  // namespace quv
