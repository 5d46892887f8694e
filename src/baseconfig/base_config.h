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
    // with the topic of its focused control.
    BaseConfig(Services services, QWidget* parent, std::function<void(int topic)> showHelp);

    // The menu items "Serial Configurations" and "Base": a dialog that is
    // open is only brought to the front; a closed one is loaded and shown.
    void Serial_Click();
    void base_Click();

    SerialDialog* Form3() const { return form3_; }
    BaseDialog* Form2() const { return form2_; }
    BaseCommands& commands() { return commands_; }

  private:
    LinkState& link_;
    BaseCommands commands_;
    SerialDialog* form3_;
    BaseDialog* form2_;
};

}  // namespace quv
