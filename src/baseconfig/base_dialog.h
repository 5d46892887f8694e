// The base configuration dialog Form2, "Base Configuration": shows the base
// station's configuration as read, lets the user edit it, and writes it back
// or clears the base program. Its contents and rules live in BaseForm; this
// window only shows the form and reports the user's edits to it.
#pragma once

#include "baseconfig/base_commands.h"
#include "baseconfig/base_form.h"

#include <QWidget>

#include <array>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quv {

class PickComboBox;

class BaseDialog : public QWidget {
    Q_OBJECT
  public:
    explicit BaseDialog(BaseCommands& commands, QWidget* parent = nullptr);

    // The contents on loading (the flags stay), then the read; the caller
    // shows the dialog afterwards, so that the read's messages come first.
    void Form_Load();
    void Command1_Click();  // Clear Base Program
    void Command2_Click();  // Write configurations to base
    void Command3_Click();  // Read configurations from base

    QWidget* control(BaseForm::Id id) const { return widgets_.at(static_cast<size_t>(id)); }
    PickComboBox* combo(BaseForm::Id id) const;
    QLineEdit* edit(BaseForm::Id id) const;
    QLabel* label(BaseForm::Id id) const;
    QCheckBox* TCPIP_Check() const;
    QPushButton* Command(int index) const;
    const BaseForm& form() const { return *form_; }

  private:
    // Shows the form: texts, visibility, enabling, the check box, the caption.
    void sync();
    void edited(BaseForm::Id id, const QString& text);
    void picked(BaseForm::Id id, const QString& text);

    BaseCommands& commands_;
    // Shared with a running command, which may outlive the window.
    std::shared_ptr<BaseForm> form_ = std::make_shared<BaseForm>();
    std::array<QWidget*, BaseForm::kControlCount> widgets_{};
    std::array<QPushButton*, 4> buttons_{};
    bool syncing_ = false;
};

}  // namespace quv
