#include "baseconfig/base_form.h"

#include "baseconfig/port_text.h"
#include "core/numeric_text.h"

namespace quv {

void BaseForm::reload() {
    controls_ = {};
    const std::pair<Id, const char*> texts[] = {
        {Label10, "ComPort"},
        {Compport, "Com1"},
        {Label7, "Serial BaudRate"},
        {Combo2, "19200"},
        {Label6, "Radio BaudRate"},
        {Combo1, "20000"},
        {TCPIP_Check, "Use TCPIP"},
        {Label1, "Retr.Name"},
        {Text1, "BAS"},
        {Label4, "BAS00"},
        {Label2, "Retr. Number"},
        {Text2, "0"},
        {Label12, "Local Antena"},
        {Label9, "Send all Data to"},
        {Label3, "Base Number"},
        {Text3, "0"},
        {Label11, "Remote Antena"},
        {Label8, "Send to"},
        {Combo3, "Serial"},
    };
    for (const auto& [id, text] : texts) at(id).text = QString::fromLatin1(text);
    check_ = 0;
    caption = kCaption;
    remoteAsRead = text(Text3);
}

QStringList BaseForm::list(Id id) {
    switch (id) {
        case Compport:
            return portTexts();
        case Combo2:
            return {QStringLiteral("4800"), QStringLiteral("9600"), QStringLiteral("19200"),
                    QStringLiteral("38400")};
        case Combo1:
            return {QStringLiteral("20000"), QStringLiteral("40000"), QStringLiteral("80000")};
        case Combo3:
            return {kSerial, kRadio};
        default:
            return {};
    }
}

const char* BaseForm::name(Id id) {
    static constexpr const char* kNames[kControlCount] = {
        "Label10",    "Compport", "Label7", "Combo2", "Label6",  "Combo1", "TCPIP_Check",
        "TCPIP_Text", "Label1",   "Text1",  "Label4", "Label2",  "Text2",  "Label12",
        "Label9",     "Label3",   "Text3",  "Label5", "Label11", "Label8", "Combo3",
        "Line1",      "Line2",    "Line3",  "Line6",  "Line8"};
    return kNames[id];
}

int BaseForm::maxLength(Id id) {
    switch (id) {
        case Text1:
            return 3;
        case Text2:
        case Text3:
            return 2;
        default:
            return 0;
    }
}

void BaseForm::setText(Id id, const QString& text) {
    if (at(id).text == text) return;
    at(id).text = text;
    changed(id);
}

void BaseForm::pick(Id id, const QString& text) {
    setText(id, text);
    switch (id) {
        case Combo1:
            flags.RadioBaudRateChanged = true;
            break;
        case Combo2:
            flags.SerialBaudRateChanged = true;
            break;
        case Combo3:
            ShowSendToFields();
            break;
        default:
            break;
    }
}

void BaseForm::changed(Id id) {
    const QString& t = text(id);
    switch (id) {
        case Text1:  // names rule A
            if (t.size() == 3) recomposeNames();
            flags.BaseNameChanged = true;
            break;
        case Text2:  // names rule B
            if (!t.isEmpty()) {
                if (leadingNumber(t) == 0) {
                    at(Text3).enabled = false;
                    setText(Combo3, kSerial);
                } else {
                    at(Text3).enabled = true;
                }
                recomposeNames();
            }
            flags.BaseNameChanged = true;
            break;
        case Text3:  // names rule C
            if (!t.isEmpty()) recomposeNames();
            flags.BaseNameChanged = true;
            break;
        case Combo3:
            ShowSendToFields();
            break;
        default:
            break;
    }
}

void BaseForm::setCheckValue(qint32 value) {
    if (check_ == value) return;
    check_ = value;
    TcpipEnablingRule();
}

void BaseForm::TcpipEnablingRule() {
    const bool tcpip = check_ == 1;
    at(TCPIP_Text).enabled = tcpip;
    for (Id id : {Label10, Label7, Compport, Combo2}) at(id).enabled = !tcpip;
}

void BaseForm::showControls(std::initializer_list<Id> ids, bool visible) {
    for (Id id : ids) at(id).visible = visible;
}

void BaseForm::ShowSendToFields() {
    flags.SerialOrRadioChanged = true;
    const QString& choice = text(Combo3);
    if (choice == kSerial) {
        showControls({Text3, Label3, Label5, Line1, Line2, Line3, Label9, Label11}, false);
        at(Label1).text = QStringLiteral("Base Name");
        at(Label2).text = QStringLiteral("Base Number");
    } else if (choice == kRadio) {
        showControls({Text3, Label3, Label5, Line1, Line2, Line3, Label9, Label11}, true);
        at(Text3).enabled = true;
        at(Label3).enabled = true;
        at(Label1).text = QStringLiteral("Retr. Name");
        at(Label2).text = QStringLiteral("Retr. Number");
    }
}

QString BaseForm::padded(const QString& number) {
    return (QStringLiteral("00") + number).right(2);
}

void BaseForm::recomposeNames() {
    at(Label4).text = text(Text1) + padded(text(Text2));
    at(Label5).text = text(Text1) + padded(text(Text3));
}

}  // namespace quv
