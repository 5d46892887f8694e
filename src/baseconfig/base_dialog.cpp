#include "baseconfig/base_dialog.h"

#include "baseconfig/help_topics.h"
#include "baseconfig/pick_combo_box.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace quv {

namespace {

using Id = BaseForm::Id;

QWidget* makeControl(Id id) {
    switch (id) {
        case Id::Compport:
        case Id::Combo1:
        case Id::Combo2:
        case Id::Combo3:
            return new PickComboBox(BaseForm::list(id));
        case Id::Text1:
        case Id::Text2:
        case Id::Text3:
        case Id::TCPIP_Text: {
            auto* edit = new QLineEdit;
            if (const int limit = BaseForm::maxLength(id)) edit->setMaxLength(limit);
            return edit;
        }
        case Id::TCPIP_Check:
            return new QCheckBox;
        case Id::Line1:
        case Id::Line2:
        case Id::Line3:
        case Id::Line6:
        case Id::Line8: {
            auto* line = new QFrame;
            line->setFrameShape(id == Id::Line2 ? QFrame::VLine : QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            return line;
        }
        default: {
            auto* label = new QLabel;
            if (id == Id::Label4 || id == Id::Label5 || id == Id::Label11 || id == Id::Label12) {
                QFont bold = label->font();
                bold.setBold(true);
                label->setFont(bold);
            }
            return label;
        }
    }
}

}  // namespace

BaseDialog::BaseDialog(BaseCommands& commands, QWidget* parent)
    : QWidget(parent, Qt::Window), commands_(commands) {
    setObjectName(QStringLiteral("Form2"));
    setProperty(kHelpTopicProperty, kTopicBaseDialog);
    for (int i = 0; i < BaseForm::kControlCount; ++i) {
        const auto id = static_cast<Id>(i);
        QWidget* w = makeControl(id);
        w->setObjectName(QString::fromLatin1(BaseForm::name(id)));
        widgets_.at(static_cast<size_t>(i)) = w;
    }
    const std::pair<const char*, int> buttons[] = {
        {"Clear Base Program", kTopicBaseClear},
        {"Write configurations to base", kTopicBaseWrite},
        {"Read configurations from base", kTopicBaseRead},
    };
    for (int i = 1; i <= 3; ++i) {
        auto* b = new QPushButton(QString::fromLatin1(buttons[i - 1].first));
        b->setObjectName(QStringLiteral("Command%1").arg(i));
        b->setProperty(kHelpTopicProperty, buttons[i - 1].second);
        buttons_.at(static_cast<size_t>(i)) = b;
    }

    // Rows from the top: the link, the station on the link, the remote base
    // with the radio hop between the two antennas, the send-to choice.
    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    const auto put = [&](Id id, int row, int column, int columns = 1) {
        grid->addWidget(control(id), row, column, 1, columns);
    };
    put(Id::Label10, 0, 0), put(Id::Compport, 0, 1);
    put(Id::Label7, 1, 0), put(Id::Combo2, 1, 1);
    put(Id::Label6, 2, 0), put(Id::Combo1, 2, 1);
    put(Id::TCPIP_Check, 3, 0), put(Id::TCPIP_Text, 3, 1, 3);
    put(Id::Line6, 4, 0, 4);
    put(Id::Label1, 5, 0), put(Id::Text1, 5, 1), put(Id::Label4, 5, 2);
    put(Id::Label2, 6, 0), put(Id::Text2, 6, 1), put(Id::Label12, 6, 3);
    // The radio hop: a line from the local antenna down to the remote one.
    put(Id::Line1, 7, 0, 3);
    put(Id::Label9, 8, 0, 2);
    grid->addWidget(control(Id::Line2), 7, 3, 2, 1, Qt::AlignHCenter);
    put(Id::Label3, 9, 0), put(Id::Text3, 9, 1), put(Id::Label5, 9, 2), put(Id::Label11, 9, 3);
    put(Id::Line3, 10, 0, 4);
    put(Id::Label8, 11, 0), put(Id::Combo3, 11, 1);
    put(Id::Line8, 12, 0, 4);
    grid->addWidget(buttons_[3], 13, 0, 1, 4);
    auto* row = new QHBoxLayout;
    row->addWidget(buttons_[2]);
    row->addWidget(buttons_[1]);
    grid->addLayout(row, 14, 0, 1, 4);
    grid->setColumnMinimumWidth(2, fontMetrics().horizontalAdvance(QStringLiteral("WWW00")));

    for (Id id : {Id::Compport, Id::Combo1, Id::Combo2, Id::Combo3}) {
        PickComboBox* box = combo(id);
        connect(box, &QComboBox::editTextChanged, this,
                [this, id](const QString& text) { edited(id, text); });
        connect(box, &PickComboBox::picked, this,
                [this, id](const QString& item) { picked(id, item); });
    }
    for (Id id : {Id::Text1, Id::Text2, Id::Text3, Id::TCPIP_Text})
        connect(edit(id), &QLineEdit::textChanged, this,
                [this, id](const QString& text) { edited(id, text); });
    connect(TCPIP_Check(), &QCheckBox::toggled, this, [this](bool checked) {
        if (syncing_) return;
        form_->setCheckValue(checked ? 1 : 0);
        sync();
    });
    connect(buttons_[1], &QPushButton::clicked, this, &BaseDialog::Command1_Click);
    connect(buttons_[2], &QPushButton::clicked, this, &BaseDialog::Command2_Click);
    connect(buttons_[3], &QPushButton::clicked, this, &BaseDialog::Command3_Click);
    sync();
}

PickComboBox* BaseDialog::combo(Id id) const {
    return qobject_cast<PickComboBox*>(control(id));
}
QLineEdit* BaseDialog::edit(Id id) const {
    return qobject_cast<QLineEdit*>(control(id));
}
QLabel* BaseDialog::label(Id id) const {
    return qobject_cast<QLabel*>(control(id));
}
QCheckBox* BaseDialog::TCPIP_Check() const {
    return qobject_cast<QCheckBox*>(control(Id::TCPIP_Check));
}
QPushButton* BaseDialog::Command(int index) const {
    return index >= 1 && index <= 3 ? buttons_.at(static_cast<size_t>(index)) : nullptr;
}

void BaseDialog::edited(Id id, const QString& text) {
    if (syncing_) return;
    form_->setText(id, text);
    sync();
}

void BaseDialog::picked(Id id, const QString& text) {
    if (syncing_) return;
    const std::shared_ptr<BaseForm> form = form_;
    const QPointer<BaseDialog> self(this);
    form->pick(id, text);
    if (id == Id::Compport) commands_.SelectComPort(*form);
    if (self) sync();
}

void BaseDialog::Form_Load() {
    const std::shared_ptr<BaseForm> form = form_;
    const QPointer<BaseDialog> self(this);
    form->reload();
    sync();
    commands_.ReadBaseConfiguration(*form);
    if (self) sync();
}

void BaseDialog::Command1_Click() {
    const QPointer<BaseDialog> self(this);
    const BaseCommands::After after = commands_.ClearBaseProgram();
    if (self && after == BaseCommands::After::Close) close();
}

void BaseDialog::Command2_Click() {
    const std::shared_ptr<BaseForm> form = form_;
    const QPointer<BaseDialog> self(this);
    const BaseCommands::After after = commands_.WriteBaseConfiguration(*form);
    if (!self) return;
    sync();
    if (after == BaseCommands::After::Close) close();
}

void BaseDialog::Command3_Click() {
    const std::shared_ptr<BaseForm> form = form_;
    const QPointer<BaseDialog> self(this);
    commands_.Command3_Click(*form);
    if (self) sync();
}

void BaseDialog::sync() {
    syncing_ = true;
    for (int i = 0; i < BaseForm::kControlCount; ++i) {
        const auto id = static_cast<Id>(i);
        const BaseForm::Control& c = (*form_)[id];
        QWidget* w = control(id);
        w->setHidden(!c.visible);
        w->setEnabled(c.enabled);
        if (auto* l = qobject_cast<QLabel*>(w)) {
            if (l->text() != c.text) l->setText(c.text);
        } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
            if (e->text() != c.text) e->setText(c.text);
        } else if (auto* b = qobject_cast<PickComboBox*>(w)) {
            b->showText(c.text);
        } else if (auto* k = qobject_cast<QCheckBox*>(w)) {
            k->setText(c.text);
            k->setChecked(form_->checkValue() == 1);
        }
    }
    setWindowTitle(form_->caption);
    syncing_ = false;
}

}  // namespace quv
