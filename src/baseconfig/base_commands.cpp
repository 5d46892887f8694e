#include "baseconfig/base_commands.h"

#include "baseconfig/base_status.h"
#include "baseconfig/port_text.h"
#include "comm/quvcom.h"
#include "core/com_device.h"
#include "core/dialogs.h"
#include "core/link_state.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"

#include <limits>
#include <optional>

namespace quv {

namespace {

using Id = BaseForm::Id;

// A number field's value when its whole text is a number within the bounds.
std::optional<qint32> wholeNumber(const QString& text, qint32 min, qint32 max) {
    const auto n = SettingsStore::parseInt(text);
    if (!n || *n < min || *n > max) return std::nullopt;
    return n;
}

QString sendToText(char sendTo) {
    if (sendTo == '1') return BaseForm::kRadio;
    if (sendTo == '0') return BaseForm::kSerial;
    return QStringLiteral("Undefined");
}

}  // namespace

BaseCommands::BaseCommands(QuvCom& com, Dialogs& dialogs, SettingsStore& settings, LinkState& link,
                           DeviceOfPort deviceOfPort)
    : com_(com),
      dialogs_(dialogs),
      settings_(settings),
      link_(link),
      deviceOfPort_(std::move(deviceOfPort)) {}

Answer BaseCommands::tell(const QString& text, Buttons buttons, Icon icon) {
    if (link_.AppClosing) return Answer::No;
    return dialogs_.message(text, buttons, icon);
}

bool BaseCommands::refusedForUpload() {
    const QString running = runningUpload ? runningUpload() : QString();
    if (running.isEmpty()) return false;
    tell(running, Buttons::Ok, Icon::Exclamation);
    return true;
}

void BaseCommands::saveLinkChoice(qint32 check, const QString& address) {
    settings_.save(keys::kTcpip, QString::number(check));
    settings_.save(keys::kTcpipAddr, address);
}

void BaseCommands::PrepareLink() {
    if (tcpipChosen(settings_))
        com_.TCPIP_Start(tcpipAddress(settings_));
    else
        com_.TCPIP_Stop();
}

// ---- Serial Configurations

SerialForm BaseCommands::loadSerialForm() const {
    SerialForm form;
    form.Compport = PortText(link_.CommPort);
    form.TCPIP_Check = tcpipChosen(settings_) ? 1 : 0;
    form.TCPIP_Text = settings_.get(keys::kTcpipAddr, keys::kDefaultTcpipAddr);
    form.device = deviceOfPort_(link_.CommPort);
    return form;
}

void BaseCommands::portTextChanged(SerialForm& form) const {
    form.device = deviceOfPort_(PortNumberFromText(form.Compport));
}

BaseCommands::After BaseCommands::Update(SerialForm& form) {
    const auto hold = guard_.tryStart();
    if (!hold || refusedForUpload()) return After::StayOpen;
    saveLinkChoice(form.TCPIP_Check, form.TCPIP_Text);
    if (form.TCPIP_Check != 0) {
        com_.TCPIP_Start(tcpipAddress(settings_));
        return After::Close;
    }
    com_.TCPIP_Stop();
    const qint32 n = PortNumberFromText(form.Compport);
    // A device picked for the number is stored before the test opens it,
    // and taken back when the test fails (a setting that was not there
    // before goes again).
    const QString deviceKey = keys::kComDevicePrefix + QString::number(n);
    const QString device = form.device.trimmed();
    const bool newDevice = n >= 1 && !device.isEmpty() && device != deviceOfPort_(n);
    const std::optional<QString> previousDevice =
        settings_.contains(deviceKey) ? std::optional(settings_.get(deviceKey)) : std::nullopt;
    if (newDevice) settings_.save(deviceKey, device);
    if (com_.IO_Open(n, link_.BaudRate) == 0) {
        tell(kErrorOpeningComPort);
        if (newDevice && previousDevice) settings_.save(deviceKey, *previousDevice);
        if (newDevice && !previousDevice) settings_.remove(deviceKey);
        form.Compport = PortText(link_.CommPort);
        form.device = deviceOfPort_(link_.CommPort);
        return After::StayOpen;
    }
    link_.CommPort = n;
    com_.IO_Close(link_.CommPort);
    settings_.save(keys::kCommPort, QString::number(link_.CommPort));
    return After::Close;
}

// ---- Base Configuration

void BaseCommands::SelectComPort(BaseForm& form) {
    const auto hold = guard_.tryStart();
    if (!hold || refusedForUpload()) {
        form.setPlain(Id::Compport, PortText(link_.CommPort));
        return;
    }
    const qint32 n = PortNumberFromText(form.text(Id::Compport));
    if (com_.IO_Open(n, link_.BaudRate) == 0) {
        tell(kErrorOpeningComPort);
        form.setPlain(Id::Compport, PortText(link_.CommPort));
    } else {
        link_.CommPort = n;
        com_.IO_Close(link_.CommPort);
    }
    settings_.save(keys::kCommPort, QString::number(link_.CommPort));
}

BaseCommands::ReadResult BaseCommands::ReadBaseConfiguration(BaseForm& form) {
    const auto hold = guard_.tryStart();
    if (!hold || refusedForUpload()) return ReadResult::Busy;
    return read(form);
}

BaseCommands::ReadResult BaseCommands::Command3_Click(BaseForm& form) {
    const auto hold = guard_.tryStart();
    if (!hold || refusedForUpload()) return ReadResult::Busy;
    saveLinkChoice(form.checkValue(), form.text(Id::TCPIP_Text));
    settings_.save(keys::kCommPort, QString::number(link_.CommPort));
    return read(form);
}

BaseCommands::ReadResult BaseCommands::read(BaseForm& form) {
    // 1. The link choice as stored, and its enabling.
    form.setCheckValue(tcpipChosen(settings_) ? 1 : 0);
    form.setText(Id::TCPIP_Text, settings_.get(keys::kTcpipAddr, keys::kDefaultTcpipAddr));
    form.TcpipEnablingRule();
    // 2 to 5. The port test.
    PrepareLink();
    const qint32 port = link_.CommPort;
    if (com_.IO_Open(port, link_.BaudRate) == 0) {
        tell(form.checkValue() == 1 ? kErrorOpeningIp : kErrorOpeningComPort);
        return ReadResult::PortFailed;
    }
    com_.IO_Close(port);
    form.setPlain(Id::Compport, PortText(port));
    // 6 to 9. The status record. A serial rate that is no number counts as
    // no answer: the link must not go to 0 baud.
    qint32 baud = link_.BaudRate;
    QByteArray reply(QuvCom::kStatusBufferLength, ' ');
    const bool answered = com_.B_BaseGetStatus(port, baud, reply) != 0;
    BaseStatusRecord record = BaseStatusRecord::fromReply(reply);
    const std::optional<qint32> serialBaud = record.serialBaudRate();
    if (answered && serialBaud) {
        link_.BaseStatusKnown = true;
        form.flags.ComunicationError = false;
        link_.BaudRate = *serialBaud;
    } else {
        tell(kErrorReading);
        form.flags.ComunicationError = true;
        record = BaseStatusRecord::defaults();
    }
    com_.IO_Close(port);
    // 10 to 15. The fields, each running its rule as it changes.
    const QString local = QString::fromLatin1(record.LocalName);
    const QString remote = QString::fromLatin1(record.RemoteName);
    form.setText(Id::Text1, local.left(3));
    form.setText(Id::Text2, local.mid(3, 2));
    form.setText(Id::Text3, remote.mid(3, 2));
    form.remoteAsRead = form.text(Id::Text3);
    form.setText(Id::Combo3, sendToText(record.SendTo));
    form.setEnabled(Id::Text3, false);
    form.setPlain(Id::Label4, form.text(Id::Text1) + BaseForm::padded(form.text(Id::Text2)));
    form.setPlain(Id::Label5, remote.left(3) + BaseForm::padded(form.text(Id::Text3)));
    form.setPlain(Id::Combo1, QString::fromLatin1(record.RadioBaud));
    form.setPlain(Id::Combo2, QString::number(link_.BaudRate));
    form.ShowSendToFields();
    // 16, 17. Nothing is pending after a read.
    form.flags.BaseNameChanged = false;
    form.flags.RadioBaudRateChanged = false;
    form.flags.SerialBaudRateChanged = false;
    form.flags.SerialOrRadioChanged = false;
    form.caption = QStringLiteral("Base Version ") + QString::fromLatin1(record.Version);
    return answered && serialBaud ? ReadResult::Answered : ReadResult::Defaults;
}

BaseCommands::After BaseCommands::WriteBaseConfiguration(BaseForm& form) {
    const auto hold = guard_.tryStart();
    if (!hold || refusedForUpload()) return After::StayOpen;
    // What the write sends is taken from the form now: the user may edit it
    // while the library waits.
    const BaseForm::Flags pending = form.flags;
    const bool serial = form.checkValue() == 0 && pending.SerialBaudRateChanged;
    const bool names = pending.BaseNameChanged || pending.ComunicationError;
    const bool radio = pending.RadioBaudRateChanged || pending.ComunicationError;
    const bool sendTo = pending.SerialOrRadioChanged;
    // The remote base's number is checked only where the user can fix it;
    // hidden (the Serial layout) or disabled, it goes as the read gave it.
    const bool remoteShown = form[Id::Text3].visible && form[Id::Text3].enabled;
    constexpr qint32 kMax = std::numeric_limits<qint32>::max();
    struct Field {
        bool needed;
        Id field;
        Id label;
        qint32 min;
        qint32 max;
        qint32 value = 0;
    };
    Field fields[] = {{serial, Id::Combo2, Id::Label7, 1, kMax},
                      {names, Id::Text2, Id::Label2, 0, 99},
                      {names && remoteShown, Id::Text3, Id::Label3, 0, 99},
                      {radio, Id::Combo1, Id::Label6, 1, kMax}};
    for (Field& f : fields) {
        if (!f.needed) continue;
        const auto n = wholeNumber(form.text(f.field), f.min, f.max);
        if (!n) {
            tell(QStringLiteral("The field \"%1\" does not hold a valid number. "
                                "Nothing was written to the base.")
                     .arg(form.text(f.label)),
                 Buttons::Ok, Icon::Exclamation);
            return After::StayOpen;
        }
        f.value = *n;
    }
    const Field& newSerial = fields[0];
    const Field& station = fields[1];
    const Field& remote = fields[2];
    const Field& radioBaud = fields[3];
    const qint32 remoteNumber =
        remoteShown ? remote.value : wholeNumber(form.remoteAsRead, 0, 99).value_or(0);
    const QByteArray prefix = form.text(Id::Text1).toLatin1();
    const qint32 mode = form.text(Id::Combo3) == BaseForm::kSerial ? 0 : 1;

    // 1, 2. The link choice is stored and applied.
    saveLinkChoice(form.checkValue(), form.text(Id::TCPIP_Text));
    settings_.save(keys::kCommPort, QString::number(link_.CommPort));
    PrepareLink();
    // Each step runs only when the base station confirmed the one before;
    // the program closing also ends the write between two calls.
    const qint32 port = link_.CommPort;
    bool confirmed = true;
    const auto step = [&](bool wanted, const auto& call) {
        if (wanted && confirmed) confirmed = call() == 1 && !link_.AppClosing;
    };
    // 3. The serial rate first: every later call uses the new rate, which
    // is kept only once the base station has taken it.
    step(serial, [&] { return com_.B_SetBaseBaudRate2(port, link_.BaudRate, newSerial.value); });
    if (serial && confirmed) {
        settings_.save(keys::kBaudRate, QString::number(newSerial.value));
        link_.BaudRate = newSerial.value;
    }
    // 4. After a failed read the names and the radio rate are always sent,
    // and the serial rate stays marked for a later write.
    if (pending.ComunicationError) {
        form.flags.SerialBaudRateChanged = true;
        form.flags.BaseNameChanged = true;
        form.flags.RadioBaudRateChanged = true;
    }
    // 5 to 7.
    step(names, [&] {
        return com_.B_SetBaseName(port, link_.BaudRate, prefix, station.value, remoteNumber);
    });
    step(radio, [&] { return com_.B_SetBaseRadio(port, link_.BaudRate, 0, radioBaud.value, 0); });
    step(sendTo, [&] { return com_.B_SetSerialOrRadio(port, link_.BaudRate, mode); });
    // 8, 9. A base that did not answer the read gets no reset; nor does one
    // that did not confirm a setting. The flags stay until the next read.
    if (!confirmed) {
        tell(kCommunicationError);
        return After::Close;
    }
    if (pending.ComunicationError) return After::Close;
    const qint32 r = com_.B_ResetBaseProgram(port, link_.BaudRate);
    tell(r == 1 ? kUpdateSuccessful : kCommunicationError);
    return After::Close;
}

BaseCommands::After BaseCommands::ClearBaseProgram() {
    const auto hold = guard_.tryStart();
    if (!hold || refusedForUpload()) return After::StayOpen;
    if (tell(kClearQuestion, Buttons::YesNo) != Answer::Yes) return After::StayOpen;
    com_.B_ClearBaseProgram(link_.CommPort, link_.BaudRate);
    return After::Close;
}

}  // namespace quv
