#include "baseconfig/base_status.h"

#include "core/settings_store.h"

namespace quv {

BaseStatusRecord BaseStatusRecord::fromReply(const QByteArray& reply) {
    QByteArray text = reply.left(kLength);
    if (text.size() < kLength) text += QByteArray(kLength - text.size(), ' ');
    BaseStatusRecord r;
    r.Version = text.mid(0, 3);
    r.LocalName = text.mid(3, 5);
    r.RemoteName = text.mid(8, 5);
    r.RadioBaud = text.mid(13, 5);
    r.SerialBaud = text.mid(18, 6);
    r.SendTo = text.at(24);
    return r;
}

BaseStatusRecord BaseStatusRecord::defaults() {
    BaseStatusRecord r;
    r.Version = "DEF";
    r.LocalName = "BAS00   ";
    r.RemoteName = "BAS00   ";
    r.RadioBaud = "20000  ";
    r.SendTo = '0';
    return r;
}

std::optional<qint32> BaseStatusRecord::serialBaudRate() const {
    const auto rate = SettingsStore::parseInt(QString::fromLatin1(SerialBaud));
    if (!rate || *rate <= 0) return std::nullopt;
    return rate;
}

}  // namespace quv
