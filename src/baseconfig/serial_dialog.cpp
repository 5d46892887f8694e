#include "baseconfig/serial_dialog.h"

#include "baseconfig/help_topics.h"
#include "baseconfig/pick_combo_box.h"
#include "baseconfig/port_text.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSerialPortInfo>

namespace quv {

SerialDialog::SerialDialog(BaseCommands& commands, QWidget* parent)
    : QWidget(parent, Qt::Window),
      commands_(commands),
      label10_(new QLabel(QStringLiteral("ComPort"))),
      compport_(new PickComboBox(portTexts())),
      labelDevice_(new QLabel(QStringLiteral("Device"))),
      device_(new PickComboBox),
      check_(new QCheckBox(QStringLiteral("Use TCPIP"))),
      address_(new QLineEdit),
      update_(new QPushButton(QStringLiteral("Update"))) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Serial Configurations"));
    setProperty(kHelpTopicProperty, kTopicSerialDialog);
    update_->setProperty(kHelpTopicProperty, kTopicSerialUpdate);
    device_->setProperty(kHelpTopicProperty, kTopicSerialDevice);

    label10_->setObjectName(QStringLiteral("Label10"));
    compport_->setObjectName(QStringLiteral("Compport"));
    labelDevice_->setObjectName(QStringLiteral("LabelDevice"));
    device_->setObjectName(QStringLiteral("ComDevice"));
    device_->setMinimumContentsLength(24);
    device_->setToolTip(QStringLiteral("The serial device this COM port stands for"));
    check_->setObjectName(QStringLiteral("TCPIP_Check"));
    address_->setObjectName(QStringLiteral("TCPIP_Text"));
    update_->setObjectName(QStringLiteral("Command1"));

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->addWidget(label10_, 0, 0);
    grid->addWidget(compport_, 0, 1);
    grid->addWidget(labelDevice_, 1, 0);
    grid->addWidget(device_, 1, 1);
    grid->addWidget(check_, 2, 0, 1, 2);
    grid->addWidget(address_, 3, 0, 1, 2);
    grid->addWidget(update_, 4, 0, 1, 2);

    connect(compport_, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (syncing_) return;
        form_.Compport = text;
        commands_.portTextChanged(form_);
        sync();
    });
    connect(device_, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (!syncing_) form_.device = text;
    });
    connect(check_, &QCheckBox::toggled, this, [this](bool checked) {
        if (syncing_) return;
        form_.TCPIP_Check = checked ? 1 : 0;
        sync();
    });
    connect(address_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!syncing_) form_.TCPIP_Text = text;
    });
    connect(update_, &QPushButton::clicked, this, &SerialDialog::Command1_Click);
}

void SerialDialog::Form_Load() {
    form_ = commands_.loadSerialForm();
    syncing_ = true;
    for (int i = 0; i < compport_->count(); ++i)
        compport_->setItemData(i, commands_.deviceOfPort(i + 1), Qt::ToolTipRole);
    device_->clear();
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        device_->addItem(info.systemLocation());
        device_->setItemData(device_->count() - 1, info.description(), Qt::ToolTipRole);
    }
    syncing_ = false;
    sync();
}

void SerialDialog::Command1_Click() {
    const QPointer<SerialDialog> self(this);
    const BaseCommands::After after = commands_.Update(form_);
    if (!self) return;
    sync();
    if (after == BaseCommands::After::Close) close();
}

void SerialDialog::sync() {
    syncing_ = true;
    compport_->showText(form_.Compport);
    device_->showText(form_.device);
    check_->setChecked(form_.TCPIP_Check == 1);
    if (address_->text() != form_.TCPIP_Text) address_->setText(form_.TCPIP_Text);
    for (QWidget* w : {static_cast<QWidget*>(label10_), static_cast<QWidget*>(compport_),
                       static_cast<QWidget*>(labelDevice_), static_cast<QWidget*>(device_)})
        w->setEnabled(form_.portEnabled());
    syncing_ = false;
}

}  // namespace quv
