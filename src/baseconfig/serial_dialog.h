// The link settings dialog Form3, "Serial Configurations": a COM port, with
// the serial device it stands for, or the TCP/IP link; "Update" tests and
// applies the choice.
#pragma once

#include "baseconfig/base_commands.h"

#include <QWidget>

#include "baseconfig/pick_combo_box.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quv {

class SerialDialog : public QWidget {
    Q_OBJECT
  public:
    explicit SerialDialog(BaseCommands& commands, QWidget* parent = nullptr);

    // The controls from the link state and the settings; the serial devices
    // present on the machine in the device list.
    void Form_Load();
    // "Update": closes the dialog once the choice is applied.
    void Command1_Click();

    QLabel* Label10() const { return label10_; }
    QComboBox* Compport() const { return compport_; }
    QLabel* LabelDevice() const { return labelDevice_; }
    QComboBox* ComDevice() const { return device_; }
    QCheckBox* TCPIP_Check() const { return check_; }
    QLineEdit* TCPIP_Text() const { return address_; }
    QPushButton* Command1() const { return update_; }
    const SerialForm& form() const { return form_; }

  private:
    // Shows the form's contents and the enabling rule.
    void sync();

    BaseCommands& commands_;
    SerialForm form_;
    bool syncing_ = false;
    QLabel* label10_;
    PickComboBox* compport_;
    QLabel* labelDevice_;
    PickComboBox* device_;
    QCheckBox* check_;
    QLineEdit* address_;
    QPushButton* update_;
};

}  // namespace quv
