// A communication library that records every call and answers from a script.
#pragma once

#include "comm/quvcom.h"

#include <QHash>
#include <QList>
#include <QStringList>

namespace quv::test {

class RecordingCom : public QuvCom {
  public:
    // Every call as "Name(arg, arg, ...)"; byte arguments are shown as text,
    // data as hex.
    QStringList calls;
    // Results by operation name; an operation without one returns 1.
    QHash<QString, qint32> results;
    // Steps that run inside an operation, by its name, once it is recorded:
    // the real library runs events while it waits.
    QHash<QString, std::function<void()>> inside;
    // What B_BaseGetStatus writes into its reply buffer and baud argument.
    QByteArray statusRecord;
    qint32 statusBaud = 0;
    // Messages that Get_Message hands out, oldest first: sender, text.
    QList<QPair<QByteArray, QByteArray>> messages;
    // What IO_Read delivers, one call at a time.
    QByteArray readData;
    EventRoutine routine;

    // Short names below: p port, b baud, n count, d data, t a name or text.
    using Bytes = const QByteArray&;
    qint32 InitializeComm(qint32 p, qint32 b) override { return answer(__func__, p, b); }
    void TerminateComm(qint32 p) override { record(__func__, p); }
    qint32 IO_Open(qint32 p, qint32 b) override { return answer(__func__, p, b); }
    void IO_Close(qint32 p) override { record(__func__, p); }
    // Returns the count unless a result is scripted.
    qint32 IO_Write(qint32 p, qint32 n, Bytes d) override {
        record(__func__, p, n, d.toHex());
        return results.value(QStringLiteral("IO_Write"), n);
    }
    qint32 IO_Read(qint32 p, qint32 n, QByteArray& buffer, qint32 timeoutMs) override {
        record(__func__, p, n, timeoutMs);
        const auto got = std::min<qsizetype>({n, buffer.size(), readData.size()});
        for (qsizetype i = 0; i < got; ++i) buffer[i] = readData[i];
        readData.remove(0, got);
        return static_cast<qint32>(got);
    }
    void BackGetEvent(EventRoutine r) override { record(__func__), routine = std::move(r); }
    void BackSendMessage(Bytes t, Bytes d, qint32 n) override { record(__func__, t, d.toHex(), n); }
    qint32 Send_Message_Without_Confirmation_ombrex(qint32 p, Bytes tag, Bytes d, qint32 n,
                                                    qint32 mode, qint32 timeout) override {
        return answer(__func__, p, tag, d.toHex(), n, mode, timeout);
    }
    qint32 Send_Message(qint32 p, Bytes to, Bytes d, qint32 n) override {
        return answer(__func__, p, to, d.toHex(), n);
    }
    qint32 Get_Message(qint32& handle, qint32 maxLength, qint32 flags,
                       QByteArray& sender) override {
        record(__func__, maxLength, flags);
        if (messages.isEmpty()) return 0;
        const auto [from, message] = messages.takeFirst();
        for (qsizetype i = 0; i < sender.size() && i < from.size(); ++i) sender[i] = from[i];
        delivered_.append(message);
        handle = static_cast<qint32>(delivered_.size());
        return static_cast<qint32>(message.size());
    }
    void GetStringFromPtr(QByteArray& buffer, qint32 handle, qint32 length) override {
        record(__func__, handle, length);
        if (handle < 1 || handle > delivered_.size()) return;
        const QByteArray& text = delivered_.at(handle - 1);
        for (qsizetype i = 0; i < buffer.size() && i < length && i < text.size(); ++i)
            buffer[i] = text[i];
    }
    qint32 ChangeBaseNameAntenaFast(qint32 p, Bytes t) override { return answer(__func__, p, t); }
    qint32 B_BaseGetStatus(qint32 p, qint32& baud, QByteArray& reply) override {
        const qint32 r = answer(__func__, p, baud, static_cast<qint32>(reply.size()));
        if (r != 0) {
            for (qsizetype i = 0; i < reply.size() && i < statusRecord.size(); ++i)
                reply[i] = statusRecord[i];
            if (statusBaud != 0) baud = statusBaud;
        }
        return r;
    }
    void B_PutBaseUpload(qint32 p, qint32 b) override { record(__func__, p, b); }
    void B_ClearBaseProgram(qint32 p, qint32 b) override { record(__func__, p, b); }
    qint32 B_ResetBaseProgram(qint32 p, qint32 b) override { return answer(__func__, p, b); }
    qint32 B_SetBaseName(qint32 p, qint32 b, Bytes prefix, qint32 station, qint32 remote) override {
        return answer(__func__, p, b, prefix, station, remote);
    }
    qint32 B_SetBaseRadio(qint32 p, qint32 b, qint32 r1, qint32 radio, qint32 r2) override {
        return answer(__func__, p, b, r1, radio, r2);
    }
    qint32 B_SetBaseBaudRate2(qint32 p, qint32 from, qint32 to) override {
        return answer(__func__, p, from, to);
    }
    qint32 B_SetSerialOrRadio(qint32 p, qint32 b, qint32 mode) override {
        return answer(__func__, p, b, mode);
    }
    void TCPIP_Start(Bytes address) override { record(__func__, address); }
    void TCPIP_Stop() override { record(__func__); }
    void StopAllProcesses() override { record(__func__); }

    // The calls whose name is one of these, in order.
    QStringList callsNamed(const QStringList& names) const {
        QStringList out;
        for (const QString& c : calls)
            if (names.contains(c.section(QLatin1Char('('), 0, 0))) out << c;
        return out;
    }

  private:
    static QString text(qint32 v) { return QString::number(v); }
    static QString text(const QByteArray& b) { return QString::fromLatin1(b); }
    template <typename... A>
    void record(const char* name, const A&... args) {
        calls << QString::fromLatin1(name) + QLatin1Char('(') +
                     QStringList{text(args)...}.join(QStringLiteral(", ")) + QLatin1Char(')');
        if (const auto step = inside.value(QString::fromLatin1(name))) step();
    }
    template <typename... A>
    qint32 answer(const char* name, const A&... args) {
        record(name, args...);
        return results.value(QString::fromLatin1(name), 1);
    }
    QList<QByteArray> delivered_;
};

}  // namespace quv::test
