#include "comm/wire.h"

namespace quv::wire {

void putInt32(QByteArray& out, qint32 v) {
    const auto u = static_cast<quint32>(v);
    for (int i = 0; i < 4; ++i) out.append(static_cast<char>((u >> (8 * i)) & 0xFF));
}

void putInt16(QByteArray& out, qint16 v) {
    const auto u = static_cast<quint16>(v);
    out.append(static_cast<char>(u & 0xFF));
    out.append(static_cast<char>((u >> 8) & 0xFF));
}

qint32 getInt32(const QByteArray& in, qsizetype at) {
    quint32 u = 0;
    for (int i = 0; i < 4; ++i) u |= quint32(static_cast<quint8>(in.at(at + i))) << (8 * i);
    return static_cast<qint32>(u);
}

qint16 getInt16(const QByteArray& in, qsizetype at) {
    const quint16 u = static_cast<quint16>(static_cast<quint8>(in.at(at)) |
                                           (static_cast<quint8>(in.at(at + 1)) << 8));
    return static_cast<qint16>(u);
}

QByteArray fixed(const QByteArray& text, int n) {
    QByteArray out = text.left(n);
    if (out.size() < n) out.append(QByteArray(n - out.size(), ' '));
    return out;
}

QByteArray StatusRecord::toText() const {
    QByteArray out = fixed(version, 3) + fixed(localName, 5) + fixed(remoteName, 5) +
                     fixed(QByteArray::number(radioBaud), 5) +
                     QByteArray::number(serialBaud).rightJustified(6, ' ', true);
    out.append(sendTo);
    return out;
}

std::optional<StatusRecord> StatusRecord::fromText(const QByteArray& text) {
    if (text.size() < kLength) return std::nullopt;
    StatusRecord r;
    bool serialOk = false;
    r.version = text.mid(0, 3);
    r.localName = text.mid(3, 5);
    r.remoteName = text.mid(8, 5);
    r.radioBaud = text.mid(13, 5).trimmed().toInt();
    r.serialBaud = text.mid(18, 6).trimmed().toInt(&serialOk);
    r.sendTo = text.at(24);
    if (!serialOk) return std::nullopt;
    return r;
}

QByteArray TransferBegin::toPayload() const {
    QByteArray p;
    p.append(static_cast<char>(id));
    p.append(static_cast<char>(kind));
    p.append(fixed(target, 8));
    putInt32(p, total);
    putInt32(p, repeat);
    putInt32(p, gapMs);
    return p;
}

std::optional<TransferBegin> TransferBegin::fromPayload(const QByteArray& p) {
    if (p.size() != kLength) return std::nullopt;
    TransferBegin b;
    b.id = static_cast<quint8>(p.at(0));
    const auto kind = static_cast<quint8>(p.at(1));
    if (kind > 1) return std::nullopt;
    b.kind = static_cast<TransferKind>(kind);
    b.target = p.mid(2, 8);
    b.total = getInt32(p, 10);
    b.repeat = getInt32(p, 14);
    b.gapMs = getInt32(p, 18);
    if (b.total < 0) return std::nullopt;
    return b;
}

QByteArray TransferMark::toPayload() const {
    QByteArray p;
    p.append(static_cast<char>(id));
    putInt32(p, offset);
    return p;
}

std::optional<TransferMark> TransferMark::fromPayload(const QByteArray& p) {
    if (p.size() < kLength) return std::nullopt;
    TransferMark m;
    m.id = static_cast<quint8>(p.at(0));
    m.offset = getInt32(p, 1);
    if (m.offset < 0) return std::nullopt;
    return m;
}

QByteArray TerminalText::toPayload() const {
    return fixed(address, kAddressLength) + text;
}

std::optional<TerminalText> TerminalText::fromPayload(const QByteArray& p) {
    if (p.size() < kAddressLength) return std::nullopt;
    return TerminalText{p.left(kAddressLength), p.mid(kAddressLength)};
}

QByteArray EventRecord::toPayload() const {
    QByteArray p;
    putInt16(p, code);
    putInt16(p, value);
    p.append(static_cast<char>(transfer));
    return p;
}

std::optional<EventRecord> EventRecord::fromPayload(const QByteArray& p) {
    if (p.size() != kLength) return std::nullopt;
    EventRecord e;
    e.code = getInt16(p, 0);
    e.value = getInt16(p, 2);
    e.transfer = static_cast<quint8>(p.at(4));
    return e;
}

}  // namespace quv::wire
