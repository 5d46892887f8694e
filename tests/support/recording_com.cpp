#include "support/recording_com.h"

namespace quv::test {

namespace {
QString n(qint32 v) {
    return QString::number(v);
}
QString t(const QByteArray& b) {
    return QString::fromLatin1(b);
}
}  // namespace

void RecordingCom::record(const QString& name, const QStringList& args) {
    calls << name + QLatin1Char('(') + args.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QStringList RecordingCom::callsNamed(const QStringList& names) const {
    QStringList out;
    for (const QString& c : calls)
        if (names.contains(c.section(QLatin1Char('('), 0, 0))) out << c;
    return out;
}

qint32 RecordingCom::InitializeComm(qint32 port, qint32 baud) {
    record(QStringLiteral("InitializeComm"), {n(port), n(baud)});
    return result(QStringLiteral("InitializeComm"));
}
void RecordingCom::TerminateComm(qint32 port) {
    record(QStringLiteral("TerminateComm"), {n(port)});
}
qint32 RecordingCom::IO_Open(qint32 port, qint32 baud) {
    record(QStringLiteral("IO_Open"), {n(port), n(baud)});
    return result(QStringLiteral("IO_Open"));
}
void RecordingCom::IO_Close(qint32 port) {
    record(QStringLiteral("IO_Close"), {n(port)});
}
qint32 RecordingCom::IO_Write(qint32 port, qint32 count, const QByteArray& data) {
    record(QStringLiteral("IO_Write"), {n(port), n(count), QString::fromLatin1(data.toHex())});
    return results.value(QStringLiteral("IO_Write"), count);
}
qint32 RecordingCom::IO_Read(qint32 port, qint32 count, QByteArray& buffer, qint32 timeoutMs) {
    record(QStringLiteral("IO_Read"), {n(port), n(count), n(timeoutMs)});
    const qint32 got = static_cast<qint32>(
        std::min<qsizetype>({static_cast<qsizetype>(count), buffer.size(), readData.size()}));
    for (qint32 i = 0; i < got; ++i) buffer[i] = readData[i];
    readData.remove(0, got);
    return got;
}
void RecordingCom::BackGetEvent(EventRoutine r) {
    record(QStringLiteral("BackGetEvent"));
    routine = std::move(r);
}
void RecordingCom::BackSendMessage(const QByteArray& destination, const QByteArray& data,
                                   qint32 count) {
    record(QStringLiteral("BackSendMessage"),
           {t(destination), QString::fromLatin1(data.toHex()), n(count)});
}
void RecordingCom::Send_Message_Without_Confirmation_ombrex(qint32 port, const QByteArray& tag,
                                                            const QByteArray& data, qint32 count,
                                                            qint32 mode, qint32 timeout) {
    record(QStringLiteral("Send_Message_Without_Confirmation_ombrex"),
           {n(port), t(tag), QString::fromLatin1(data.toHex()), n(count), n(mode), n(timeout)});
}
qint32 RecordingCom::Get_Message(qint32& handle, qint32 maxLength, qint32 flags,
                                 QByteArray& sender) {
    record(QStringLiteral("Get_Message"), {n(maxLength), n(flags)});
    if (messages.isEmpty()) return 0;
    const auto message = messages.takeFirst();
    for (qsizetype i = 0; i < sender.size() && i < message.first.size(); ++i)
        sender[i] = message.first[i];
    delivered_.append(message.second);
    handle = static_cast<qint32>(delivered_.size());
    return static_cast<qint32>(message.second.size());
}
void RecordingCom::GetStringFromPtr(QByteArray& buffer, qint32 handle, qint32 length) {
    record(QStringLiteral("GetStringFromPtr"), {n(handle), n(length)});
    if (handle < 1 || handle > delivered_.size()) return;
    const QByteArray& text = delivered_.at(handle - 1);
    for (qsizetype i = 0; i < buffer.size() && i < length && i < text.size(); ++i)
        buffer[i] = text[i];
}
qint32 RecordingCom::ChangeBaseNameAntenaFast(qint32 port, const QByteArray& name) {
    record(QStringLiteral("ChangeBaseNameAntenaFast"), {n(port), t(name)});
    return result(QStringLiteral("ChangeBaseNameAntenaFast"));
}
qint32 RecordingCom::B_BaseGetStatus(qint32 port, qint32& baud, QByteArray& reply) {
    record(QStringLiteral("B_BaseGetStatus"),
           {n(port), n(baud), n(static_cast<qint32>(reply.size()))});
    const qint32 r = result(QStringLiteral("B_BaseGetStatus"));
    if (r != 0) {
        for (qsizetype i = 0; i < reply.size() && i < statusRecord.size(); ++i)
            reply[i] = statusRecord[i];
        if (statusBaud != 0) baud = statusBaud;
    }
    return r;
}
void RecordingCom::B_PutBaseUpload(qint32 port, qint32 baud) {
    record(QStringLiteral("B_PutBaseUpload"), {n(port), n(baud)});
}
void RecordingCom::B_ClearBaseProgram(qint32 port, qint32 baud) {
    record(QStringLiteral("B_ClearBaseProgram"), {n(port), n(baud)});
}
qint32 RecordingCom::B_ResetBaseProgram(qint32 port, qint32 baud) {
    record(QStringLiteral("B_ResetBaseProgram"), {n(port), n(baud)});
    return result(QStringLiteral("B_ResetBaseProgram"));
}
void RecordingCom::B_SetBaseName(qint32 port, qint32 baud, const QByteArray& prefix, qint32 station,
                                 qint32 remote) {
    record(QStringLiteral("B_SetBaseName"), {n(port), n(baud), t(prefix), n(station), n(remote)});
}
void RecordingCom::B_SetBaseRadio(qint32 port, qint32 baud, qint32 reserved1, qint32 radioBaud,
                                  qint32 reserved2) {
    record(QStringLiteral("B_SetBaseRadio"),
           {n(port), n(baud), n(reserved1), n(radioBaud), n(reserved2)});
}
void RecordingCom::B_SetBaseBaudRate2(qint32 port, qint32 oldBaud, qint32 newBaud) {
    record(QStringLiteral("B_SetBaseBaudRate2"), {n(port), n(oldBaud), n(newBaud)});
}
void RecordingCom::B_SetSerialOrRadio(qint32 port, qint32 baud, qint32 mode) {
    record(QStringLiteral("B_SetSerialOrRadio"), {n(port), n(baud), n(mode)});
}
void RecordingCom::TCPIP_Start(const QByteArray& address) {
    record(QStringLiteral("TCPIP_Start"), {t(address)});
}
void RecordingCom::TCPIP_Stop() {
    record(QStringLiteral("TCPIP_Stop"));
}
void RecordingCom::StopAllProcesses() {
    record(QStringLiteral("StopAllProcesses"));
}

}  // namespace quv::test
