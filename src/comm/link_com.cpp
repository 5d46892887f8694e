#include "comm/link_com.h"

#include "core/com_device.h"

#include "core/event_pump.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cstring>
#include <limits>

namespace quv {

using namespace wire;

namespace {

// One try of a request waits this long for its answer before it is sent again.
constexpr int kAttemptMs = 600;
constexpr int kAttempts = 4;
// Transfers: data that has not moved for this long is sent again, the wait
// doubling up to the longest; chunks in flight.
constexpr int kResendMs = 1000;
constexpr int kLongestResendMs = 4000;
constexpr int kWindow = 3;
// Raw writes of at least this size report their progress (event 4).
constexpr qsizetype kReportedWrite = 1024;
// Terminal messages kept for Get_Message, and taken ones kept by handle.
constexpr size_t kInboxLimit = 10000;
constexpr size_t kTakenLimit = 64;

bool accepted(const std::optional<QByteArray>& reply) {
    return reply && !reply->isEmpty() && static_cast<quint8>(reply->at(0)) == kOk;
}

// A call's result: 1 when the base station confirmed the request, 0 otherwise.
qint32 confirmed(const std::optional<QByteArray>& reply) {
    return accepted(reply) ? 1 : 0;
}

QByteArray int32Payload(std::initializer_list<qint32> values) {
    QByteArray p;
    for (qint32 v : values) putInt32(p, v);
    return p;
}

// Copies bytes into a caller's buffer without ever growing it.
qsizetype copyInto(QByteArray& buffer, const QByteArray& bytes, qsizetype limit) {
    const qsizetype n = std::min({buffer.size(), bytes.size(), std::max<qsizetype>(limit, 0)});
    if (n > 0) std::memcpy(buffer.data(), bytes.constData(), static_cast<size_t>(n));
    return n;
}

qint32 clampToEvent(qsizetype v) {
    return static_cast<qint32>(std::min<qsizetype>(v, 32767));
}

}  // namespace

LinkCom::LinkCom(SettingsStore& settings, EventPump& pump)
    : settings_(settings),
      pump_(pump),
      nextSeq_(static_cast<quint8>(QRandomGenerator::global()->bounded(256))) {
    transferTimer_.setInterval(50);
    connect(&transferTimer_, &QTimer::timeout, this, [this] { onTransferTick(); });
}

LinkCom::~LinkCom() {
    transfer_.reset();
    link_.reset();
}

// ---- Port names and addresses

std::optional<std::pair<QString, quint16>> LinkCom::parseAddress(const QByteArray& address) {
    const QString text = QString::fromLatin1(address).trimmed();
    QString host = text;
    QString portText;
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close < 0) return std::nullopt;
        host = text.mid(1, close - 1);
        const QString rest = text.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':'))) return std::nullopt;
            portText = rest.mid(1);
        }
    } else if (text.count(QLatin1Char(':')) == 1) {
        host = text.section(QLatin1Char(':'), 0, 0);
        portText = text.section(QLatin1Char(':'), 1);
    }
    if (host.isEmpty()) return std::nullopt;
    quint16 port = kDefaultTcpPort;
    if (!portText.isNull()) {
        bool ok = false;
        const int p = portText.toInt(&ok);
        if (!ok || p < 1 || p > 65535) return std::nullopt;
        port = static_cast<quint16>(p);
    }
    return std::make_pair(host, port);
}

// ---- The link

bool LinkCom::linkServes(qint32 port) const {
    return link_ && !link_->broken() && (tcpMode_ || linkPort_ == port);
}

LinkCom::Lease LinkCom::acquire(qint32 port, qint32 baud, const QDeadlineTimer& deadline) {
    if (linkServes(port)) return {link_.get(), false};
    closeLink();
    if (baud > 0) lastBaud_ = baud;
    std::unique_ptr<Link> link;
    if (tcpMode_) {
        if (const auto address = parseAddress(tcpAddress_))
            link = Link::openTcp(address->first, address->second,
                                 static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)),
                                 pump_);
    } else {
        link = Link::openSerial(comDevice(settings_, port), lastBaud_, pump_);
    }
    if (!link) return {};
    Link* l = link.get();
    l->onFrame = [this, l](const FrameDecoder::Item& item) { onFrame(l, item); };
    l->onBroken = [this, l] { onLinkBroken(l); };
    link_ = std::move(link);
    linkPort_ = port;
    return {l, true};
}

void LinkCom::release(const Lease& lease) {
    if (lease.temporary && lease.link && lease.link == link_.get() && !rawOpen_ && !attached_)
        closeLink();
}

void LinkCom::closeLink() {
    if (transfer_ && transfer_->link == link_.get()) endTransfer(-1);
    // An attached link that another operation closes is lost to whoever
    // listens on it (a broken one has said so already).
    if (attached_ && link_ && !link_->broken()) postEvent(kEventLinkLost, 0);
    link_.reset();
    rawOpen_ = false;
    attached_ = false;
    lastReliableSeq_ = -1;
}

std::optional<QByteArray> LinkCom::exchange(Link* l, quint8 command, const QByteArray& payload,
                                            const QDeadlineTimer& deadline) {
    QPointer<Link> link(l);
    quietAfterRaw();
    if (!link || link->broken()) return std::nullopt;
    const quint8 seq = nextSeq_++;
    Pending pending;
    pending.command = static_cast<quint8>(command | kReply);
    pending_.insert(seq, &pending);
    link->holdFramed();
    const QByteArray bytes = Frame{command, seq, payload}.encode();
    for (int attempt = 0; attempt < kAttempts && !pending.reply; ++attempt) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0 || pump_.closing() || !link->send(bytes)) break;
        pending.resend = false;
        pumpUntil(
            pump_, [&] { return pending.reply || pending.resend || !link || link->broken(); },
            static_cast<int>(std::min<qint64>(kAttemptMs, left)));
        if (!link || link->broken()) break;
    }
    pending_.remove(seq);
    if (link) link->releaseFramed();
    return pending.reply;
}

std::optional<QByteArray> LinkCom::request(qint32 port, qint32 baud, quint8 command,
                                           const QByteArray& payload) {
    const QDeadlineTimer deadline(kCallMs);
    const Lease lease = acquire(port, baud, deadline);
    if (!lease.link) return std::nullopt;
    auto reply = exchange(lease.link, command, payload, deadline);
    release(lease);
    return reply;
}

// ---- Frames from the other side

void LinkCom::onFrame(Link* from, const FrameDecoder::Item& item) {
    if (from != link_.get()) return;
    if (transfer_ && transfer_->link == from) transfer_->sinceHeard.restart();
    const Frame& f = item.frame;
    if (item.damaged) {
        if (Pending* p = pending_.value(f.sequence); p && p->command == f.command) {
            p->resend = true;
        } else if (f.command == kMessage || f.command == kEvent) {
            from->send(Frame{kNak, f.sequence, {}}.encode());
        }
        return;
    }
    switch (f.command) {
        case kTransferData | kReply:
            onTransferAck(f.payload);
            return;
        case kMessage: {
            if (!acceptReliable(from, f)) return;
            auto m = TerminalText::fromPayload(f.payload);
            if (!m || m->text.isEmpty()) return;
            if (inbox_.size() >= kInboxLimit) inbox_.pop_front();
            inbox_.emplace_back(std::move(m->address), std::move(m->text));
            postEvent(kEventMessage, clampToEvent(static_cast<qsizetype>(inbox_.size())));
            return;
        }
        case kEvent:
            if (!acceptReliable(from, f)) return;
            if (const auto e = EventRecord::fromPayload(f.payload)) {
                if (e->code != kEventTransferEnd) {
                    postEvent(e->code, e->value);
                } else if (transfer_ && transfer_->background &&
                           transfer_->begin.id == e->transfer) {
                    endTransfer(e->value);
                }
            }
            return;
        case kProgress:
            if (const auto e = EventRecord::fromPayload(f.payload);
                e && transfer_ && transfer_->begin.id == e->transfer)
                transferMoved(e->value);
            return;
        case kNak:
            if (Pending* p = pending_.value(f.sequence)) p->resend = true;
            return;
        default:
            if (Pending* p = pending_.value(f.sequence);
                p && p->command == f.command && !f.payload.isEmpty() && !p->reply)
                p->reply = f.payload;
            return;
    }
}

bool LinkCom::acceptReliable(Link* from, const Frame& frame) {
    from->send(Frame{static_cast<quint8>(frame.command | kReply), frame.sequence, {}}.encode());
    if (frame.sequence == lastReliableSeq_) return false;
    lastReliableSeq_ = frame.sequence;
    return true;
}

void LinkCom::onLinkBroken(Link* from) {
    if (transfer_ && transfer_->link == from) endTransfer(-1);
    if (attached_ && from == link_.get()) postEvent(kEventLinkLost, 0);
}

// ---- Transfers of a payload to terminals

LinkCom::Transfer* LinkCom::runningTransfer(quint8 id) const {
    return transfer_ && transfer_->begin.id == id ? transfer_.get() : nullptr;
}

quint8 LinkCom::startTransfer(Link* link, TransferBegin begin, const QByteArray& data,
                              bool background) {
    if (transfer_) {  // one transfer at a time: the running one goes on
        if (background) postEvent(kEventTransferEnd, -1);
        return 0;
    }
    begin.id = nextTransferId_++;
    if (nextTransferId_ == 0) nextTransferId_ = 1;
    begin.total = static_cast<qint32>(data.size());
    auto t = std::make_unique<Transfer>();
    t->begin = begin;
    t->data = data;
    t->link = link;
    t->background = background;
    t->chunk = std::clamp(lastBaud_ / 40, 64, 2048);
    transfer_ = std::move(t);
    const auto reply = exchange(link, kTransferBegin, begin.toPayload(), QDeadlineTimer(kCallMs));
    Transfer* started = runningTransfer(begin.id);
    if (!started) return 0;  // ended meanwhile, and said so
    if (!accepted(reply)) {
        endTransfer(-1);
        return 0;
    }
    started->resendMs = kResendMs;
    started->sinceMoved.start();
    started->sinceHeard.start();
    started->sinceResend.start();
    if (started->begin.total == 0) started->allAcked = true;
    if (started->allAcked && !background) started->done = true;
    transferTimer_.start();
    sendChunks();
    return begin.id;
}

void LinkCom::sendChunks() {
    Transfer* t = transfer_.get();
    if (!t || t->done || t->allAcked) return;
    if (!t->link || t->link->broken()) {
        endTransfer(-1);
        return;
    }
    while (t->sent < t->begin.total && t->sent - t->acked < kWindow * t->chunk) {
        const qint32 n = std::min(t->chunk, t->begin.total - t->sent);
        QByteArray payload = TransferMark{t->begin.id, t->sent}.toPayload();
        payload.append(t->data.constData() + t->sent, n);
        if (!t->link->send(Frame{kTransferData, nextSeq_++, payload}.encode())) return;
        t->sent += n;
    }
}

void LinkCom::onTransferAck(const QByteArray& payload) {
    Transfer* t = transfer_.get();
    if (!t || t->done || payload.isEmpty()) return;
    const auto status = static_cast<quint8>(payload.at(0));
    const auto mark = TransferMark::fromPayload(payload.mid(1));
    if (!mark || mark->id != t->begin.id || mark->offset > t->begin.total) return;
    if (mark->offset > t->acked) {
        t->acked = mark->offset;
        transferMoved(static_cast<qint32>(qint64{t->acked} * 100 / t->begin.total));
    }
    if (status == kResendFrom && t->sent > mark->offset &&
        !(t->lastResendFrom == mark->offset && t->sinceResend.elapsed() < kAttemptMs)) {
        t->sent = mark->offset;
        t->lastResendFrom = mark->offset;
        t->sinceResend.restart();
    } else if (status != kOk && status != kResendFrom) {
        endTransfer(-1);
        return;
    }
    if (t->acked == t->begin.total) {
        t->allAcked = true;
        if (!t->background) t->done = true;
        return;
    }
    sendChunks();
}

void LinkCom::onTransferTick() {
    Transfer* t = transfer_.get();
    if (!t || t->done) {
        transferTimer_.stop();
        return;
    }
    if (!t->link || t->link->broken() || t->sinceHeard.elapsed() >= kSilentBaseMs ||
        t->sinceMoved.elapsed() >= kStalledTransferMs) {
        endTransfer(-1);
        return;
    }
    if (!t->allAcked && t->sinceMoved.elapsed() >= t->resendMs &&
        t->sinceResend.elapsed() >= t->resendMs) {
        t->chunk = std::max(t->chunk / 2, 64);
        t->resendMs = std::min(t->resendMs * 2, kLongestResendMs);
        t->sent = t->acked;
        t->sinceResend.restart();
        sendChunks();
    }
}

void LinkCom::transferMoved(qint32 percent) {
    transfer_->sinceMoved.restart();
    const bool addressed = transfer_->begin.kind == TransferKind::Addressed;
    postEvent(addressed ? kEventProgress : kEventBroadcastProgress, percent);
}

void LinkCom::endTransfer(qint32 value) {
    if (!transfer_) return;
    if (transfer_->background) postEvent(kEventTransferEnd, value);
    transfer_.reset();
}

// ---- Events

void LinkCom::postEvent(qint32 code, qint32 value) {
    events_.emplace_back(code, value);
    if (deliveryScheduled_) return;
    deliveryScheduled_ = true;
    QMetaObject::invokeMethod(
        this, [this] { deliverEvents(); }, Qt::QueuedConnection);
}

void LinkCom::quietAfterRaw() {
    if (!rawWritten_.isValid()) return;
    pumpUntil(
        pump_, [this] { return rawWritten_.elapsed() >= kQuietAfterRawMs; }, kQuietAfterRawMs);
    rawWritten_.invalidate();
}

void LinkCom::deliverEvents() {
    deliveryScheduled_ = false;
    if (delivering_) return;
    delivering_ = true;
    while (!events_.empty()) {
        const auto [code, value] = events_.front();
        events_.pop_front();
        const EventRoutine routine = routine_;
        if (routine) routine(code, value, 0, QByteArray());
    }
    delivering_ = false;
}

// ---- The operations

qint32 LinkCom::InitializeComm(qint32 port, qint32 baud) {
    const QDeadlineTimer deadline(kCallMs);
    const Lease lease = acquire(port, baud, deadline);
    if (!lease.link) return 0;
    if (!accepted(exchange(lease.link, kAttach, {}, deadline))) {
        release(lease);
        return 0;
    }
    if (!lease.link || lease.link != link_.get()) return 0;
    if (!attached_) link_->holdFramed();
    attached_ = true;
    return 1;
}

void LinkCom::TerminateComm(qint32 port) {
    if (!attached_ || !linkServes(port)) {
        if (attached_ && link_ && link_->broken()) closeLink();
        return;
    }
    if (transfer_ && transfer_->background) endTransfer(-1);
    QPointer<Link> link(link_.get());
    exchange(link, kDetach, {}, QDeadlineTimer(kCallMs / 2));
    if (!link || link != link_.get()) return;
    attached_ = false;
    link_->releaseFramed();
    if (!rawOpen_) closeLink();
}

qint32 LinkCom::IO_Open(qint32 port, qint32 baud) {
    if (linkServes(port)) {
        if (baud > 0) {
            link_->setBaud(baud);
            lastBaud_ = baud;
        }
        rawOpen_ = true;
        return 1;
    }
    const Lease lease = acquire(port, baud, QDeadlineTimer(kCallMs));
    if (!lease.link) return 0;
    rawOpen_ = true;
    return 1;
}

void LinkCom::IO_Close(qint32 port) {
    if (!link_ || !(tcpMode_ || linkPort_ == port)) return;
    // A raw write has drained; the frame it carried ends in quiet.
    QPointer<Link> link(link_.get());
    quietAfterRaw();
    if (!link || link != link_.get()) return;
    rawOpen_ = false;
    if (!attached_ || link_->broken()) closeLink();
}

qint32 LinkCom::IO_Write(qint32 port, qint32 count, const QByteArray& data) {
    if (!linkServes(port) || count <= 0) return 0;
    const QByteArray bytes = data.left(count);
    int reported = 0;
    auto progress = [&](qint64 done) {
        const int step = static_cast<int>(done * 10 / bytes.size());
        if (step > reported) {
            reported = step;
            postEvent(kEventWriteProgress, step * 10);
        }
    };
    const bool whole =
        link_->writeAll(bytes, kCallMs,
                        bytes.size() >= kReportedWrite ? std::function<void(qint64)>(progress)
                                                       : std::function<void(qint64)>());
    rawWritten_.start();
    return whole ? static_cast<qint32>(bytes.size()) : 0;
}

qint32 LinkCom::IO_Read(qint32 port, qint32 count, QByteArray& buffer, qint32 timeoutMs) {
    const qsizetype wanted = std::min<qsizetype>(count, buffer.size());
    if (wanted <= 0 || !link_ || !(tcpMode_ || linkPort_ == port)) return 0;
    QPointer<Link> link(link_.get());
    pumpUntil(
        pump_, [&] { return !link || link->rawAvailable() > 0 || link->broken(); },
        std::clamp(timeoutMs, 0, 60000));
    if (!link) return 0;
    return static_cast<qint32>(copyInto(buffer, link->takeRaw(wanted), wanted));
}

void LinkCom::BackGetEvent(EventRoutine routine) {
    routine_ = std::move(routine);
}

void LinkCom::BackSendMessage(const QByteArray& destination, const QByteArray& data, qint32 count) {
    const QByteArray payload = data.left(std::max(count, 0));
    if (!attached_ || !link_ || link_->broken()) {
        postEvent(kEventTransferEnd, -1);
        return;
    }
    TransferBegin begin;
    begin.kind = TransferKind::Addressed;
    begin.target = fixed(destination, kAddressLength);
    // Whatever happens from here on, the transfer reports its own end.
    startTransfer(link_.get(), begin, payload, true);
}

qint32 LinkCom::Send_Message_Without_Confirmation_ombrex(qint32 port, const QByteArray& tag,
                                                         const QByteArray& data, qint32 count,
                                                         qint32 mode, qint32 timeout) {
    if (transfer_) return 0;  // a background transfer has the base station
    const Lease lease = acquire(port, lastBaud_, QDeadlineTimer(kCallMs));
    if (!lease.link) return 0;
    QPointer<Link> link = lease.link;
    link->holdFramed();
    TransferBegin begin;
    begin.kind = TransferKind::Broadcast;
    begin.target = fixed(tag, kAddressLength);
    begin.repeat = std::max(mode, 1);
    begin.gapMs = std::max(timeout, 0);
    const quint8 id = startTransfer(link, begin, data.left(std::max(count, 0)), false);
    // No time limit here: the transfer gives up on a stalled line itself.
    pumpUntil(
        pump_,
        [&] {
            const Transfer* t = runningTransfer(id);
            return !t || t->done;
        },
        std::numeric_limits<int>::max());
    const Transfer* t = runningTransfer(id);
    const bool taken = t && t->done;
    if (t) transfer_.reset();
    if (link) link->releaseFramed();
    release(lease);
    return taken ? 1 : 0;
}

qint32 LinkCom::Send_Message(qint32 port, const QByteArray& destination, const QByteArray& data,
                             qint32 length) {
    const TerminalText message{destination, data.left(std::max(length, 0))};
    if (!message.textFits() || length > data.size()) return 0;
    return confirmed(request(port, lastBaud_, kTerminalMessage, message.toPayload()));
}

qint32 LinkCom::Get_Message(qint32& handle, qint32 maxLength, qint32 flags, QByteArray& sender) {
    Q_UNUSED(flags);  // 0: the oldest message from any terminal
    if (inbox_.empty()) return 0;
    auto [from, text] = std::move(inbox_.front());
    inbox_.pop_front();
    if (maxLength > 0 && text.size() > maxLength) text.truncate(maxLength);
    handle = nextHandle_;
    nextHandle_ = nextHandle_ == std::numeric_limits<qint32>::max() ? 1 : nextHandle_ + 1;
    copyInto(sender, fixed(from, kAddressLength), kAddressLength);
    const auto length = static_cast<qint32>(text.size());
    taken_.insert(handle, std::move(text));
    takenOrder_.push_back(handle);
    if (takenOrder_.size() > kTakenLimit) {
        taken_.remove(takenOrder_.front());
        takenOrder_.pop_front();
    }
    return length;
}

void LinkCom::GetStringFromPtr(QByteArray& buffer, qint32 handle, qint32 length) {
    const auto it = taken_.constFind(handle);
    if (it != taken_.constEnd()) copyInto(buffer, *it, length);
}

qint32 LinkCom::ChangeBaseNameAntenaFast(qint32 port, const QByteArray& name) {
    return confirmed(request(port, lastBaud_, kChangeNameFast, name));
}

qint32 LinkCom::B_BaseGetStatus(qint32 port, qint32& baud, QByteArray& reply) {
    const auto answer = request(port, baud, kGetStatus);
    if (!accepted(answer)) return 0;
    const QByteArray record = answer->mid(1);
    const auto parsed = StatusRecord::fromText(record);
    if (!parsed) return 0;
    copyInto(reply, record, record.size());
    baud = parsed->serialBaud;
    return 1;
}

void LinkCom::B_PutBaseUpload(qint32 port, qint32 baud) {
    request(port, baud, kPutUpload);
}

void LinkCom::B_ClearBaseProgram(qint32 port, qint32 baud) {
    request(port, baud, kClearProgram);
}

qint32 LinkCom::B_ResetBaseProgram(qint32 port, qint32 baud) {
    const auto answer = request(port, baud, kResetProgram);
    if (!answer) return 0;
    return accepted(answer) ? 1 : 2;
}

qint32 LinkCom::B_SetBaseName(qint32 port, qint32 baud, const QByteArray& prefix, qint32 station,
                              qint32 remote) {
    return confirmed(
        request(port, baud, kSetName, fixed(prefix, 3) + int32Payload({station, remote})));
}

qint32 LinkCom::B_SetBaseRadio(qint32 port, qint32 baud, qint32 reserved1, qint32 radioBaud,
                               qint32 reserved2) {
    return confirmed(
        request(port, baud, kSetRadio, int32Payload({reserved1, radioBaud, reserved2})));
}

qint32 LinkCom::B_SetBaseBaudRate2(qint32 port, qint32 oldBaud, qint32 newBaud) {
    if (newBaud <= 0 || !accepted(request(port, oldBaud, kSetSerialBaud, int32Payload({newBaud}))))
        return 0;
    lastBaud_ = newBaud;
    if (linkServes(port)) link_->setBaud(newBaud);
    return 1;
}

qint32 LinkCom::B_SetSerialOrRadio(qint32 port, qint32 baud, qint32 mode) {
    return confirmed(request(port, baud, kSetSendTo, int32Payload({mode})));
}

void LinkCom::TCPIP_Start(const QByteArray& address) {
    if (tcpMode_ && address == tcpAddress_) return;
    closeLink();
    tcpMode_ = true;
    tcpAddress_ = address;
}

void LinkCom::TCPIP_Stop() {
    if (!tcpMode_) return;
    closeLink();
    tcpMode_ = false;
    tcpAddress_.clear();
}

void LinkCom::StopAllProcesses() {
    transfer_.reset();
    closeLink();
    inbox_.clear();
    taken_.clear();
    takenOrder_.clear();
    events_.clear();
    routine_ = nullptr;
}

}  // namespace quv
