#include "support/recording_com.h"

namespace quv::test {

QStringList RecordingCom::callsNamed(const QStringList& names) const {
    QStringList out;
    for (const QString& c : calls)
        if (names.contains(c.section(QLatin1Char('('), 0, 0))) out << c;
    return out;
}

qint32 RecordingCom::IO_Read(qint32 port, qint32 count, QByteArray& buffer, qint32 timeoutMs) {
    record(__func__, port, count, timeoutMs);
    const auto got = std::min<qsizetype>({count, buffer.size(), readData.size()});
    for (qsizetype i = 0; i < got; ++i) buffer[i] = readData[i];
    readData.remove(0, got);
    return static_cast<qint32>(got);
}

qint32 RecordingCom::Get_Message(qint32& handle, qint32 maxLength, qint32 flags,
                                 QByteArray& sender) {
    record(__func__, maxLength, flags);
    if (messages.isEmpty()) return 0;
    const auto [from, message] = messages.takeFirst();
    for (qsizetype i = 0; i < sender.size() && i < from.size(); ++i) sender[i] = from[i];
    delivered_.append(message);
    handle = static_cast<qint32>(delivered_.size());
    return static_cast<qint32>(message.size());
}

void RecordingCom::GetStringFromPtr(QByteArray& buffer, qint32 handle, qint32 length) {
    record(__func__, handle, length);
    if (handle < 1 || handle > delivered_.size()) return;
    const QByteArray& text = delivered_.at(handle - 1);
    for (qsizetype i = 0; i < buffer.size() && i < length && i < text.size(); ++i)
        buffer[i] = text[i];
}

qint32 RecordingCom::B_BaseGetStatus(qint32 port, qint32& baud, QByteArray& reply) {
    const qint32 r = answer(__func__, port, baud, static_cast<qint32>(reply.size()));
    if (r != 0) {
        for (qsizetype i = 0; i < reply.size() && i < statusRecord.size(); ++i)
            reply[i] = statusRecord[i];
        if (statusBaud != 0) baud = statusBaud;
    }
    return r;
}

}  // namespace quv::test
