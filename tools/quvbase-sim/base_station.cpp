#include "base_station.h"

#include "core/checksum.h"
#include "line.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <vector>

namespace quvsim {

using namespace quv::wire;
using quv::Frame;

namespace {

constexpr int kArmedMs = 10000;        // "!DOWN" holds this long
constexpr int kReliableRetryMs = 300;  // a message or an event unanswered is sent again
constexpr int kKeepaliveMs = 500;      // a transfer that moves says so at least this often
constexpr int kSayAfterProgramMs = 50;
constexpr int kReliableTries = 10;
constexpr size_t kReliableLimit = 1000;
constexpr int kDuplicateWindowMs = 10000;
constexpr qint32 kMaxTransfer = 16 * 1024 * 1024;

QByteArray twoDigits(qint32 n) {
    return QByteArray::number(qBound(0, n, 99)).rightJustified(2, '0');
}

// The image and whether the four bytes after it are its checksums.
std::pair<QByteArray, bool> splitPayload(const QByteArray& payload) {
    if (payload.size() < 4) return {payload, false};
    const QByteArray image = payload.left(payload.size() - 4);
    return {image, quv::Checksum::of(image).trailer() == payload.right(4)};
}

template <typename Incoming>
int percentOf(const Incoming& in) {
    return in.begin.total ? static_cast<int>(in.data.size() * 100 / in.begin.total) : 100;
}

}  // namespace

BaseStation::BaseStation(Options options, std::function<void(const QByteArray&)> report,
                         std::function<void(const QString&)> log)
    : options_(std::move(options)), report_(std::move(report)), log_(std::move(log)) {
    config_.version = "Q10";
    config_.localName = "BAS01";
    config_.remoteName = "BAS00";
    downloadTimer_.setInterval(10);
    connect(&downloadTimer_, &QTimer::timeout, this, [this] { checkDownloads(); });
    reliableTimer_.setInterval(kReliableRetryMs);
    connect(&reliableTimer_, &QTimer::timeout, this, [this] { onReliableTimer(); });
}

BaseStation::~BaseStation() {
    for (auto& [line, session] : sessions_) {
        line->onBytes = nullptr;
        line->onClosed = nullptr;
        delete line;
    }
}

// ---- Configuration

bool BaseStation::loadConfig(QString* error) {
    QFile file(options_.configPath);
    if (!file.exists()) return saveConfig() || (*error = "cannot write " + file.fileName(), false);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = "cannot read " + file.fileName();
        return false;
    }
    const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
    config_.version = fixed(o.value("version").toString("Q10").toLatin1(), 3);
    config_.localName = fixed(o.value("localName").toString("BAS01").toLatin1(), 5);
    config_.remoteName = fixed(o.value("remoteName").toString("BAS00").toLatin1(), 5);
    // A rate the status record cannot carry gives way to the default.
    const int radio = o.value("radioBaud").toInt(20000);
    const int serial = o.value("serialBaud").toInt(38400);
    config_.radioBaud = StatusRecord::radioBaudFits(radio) ? radio : 20000;
    config_.serialBaud = StatusRecord::serialBaudFits(serial) ? serial : 38400;
    config_.sendTo = o.value("sendTo").toString("0") == "1" ? '1' : '0';
    return true;
}

bool BaseStation::saveConfig() {
    QSaveFile file(options_.configPath);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(statusJson() + '\n');
    return file.commit();
}

QByteArray BaseStation::statusJson() const {
    QJsonObject o;
    o["version"] = QString::fromLatin1(config_.version);
    o["localName"] = QString::fromLatin1(config_.localName);
    o["remoteName"] = QString::fromLatin1(config_.remoteName);
    o["radioBaud"] = config_.radioBaud;
    o["serialBaud"] = config_.serialBaud;
    o["sendTo"] = QString(QLatin1Char(config_.sendTo));
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

// ---- Lines

void BaseStation::dropLines() {
    std::vector<Line*> lines;
    for (const auto& entry : sessions_) lines.push_back(entry.first);
    for (Line* line : lines) line->drop();
}

void BaseStation::addLine(Line* line) {
    auto session = std::make_unique<Session>();
    session->line = line;
    Session* s = session.get();
    sessions_.emplace(line, std::move(session));
    line->onBytes = [this, s](const QByteArray& bytes) { onBytes(*s, bytes); };
    line->onClosed = [this, line] { closeSession(line); };
    log_("line open: " + line->name());
}

void BaseStation::closeSession(Line* line) {
    const auto it = sessions_.find(line);
    if (it == sessions_.end()) return;
    Session* s = it->second.get();
    if (s->download) finishDownload(*s);
    if (attached_ == s) attached_ = nullptr;
    if (flightSession_ == s) {
        flightSession_ = nullptr;
        inFlight_ = false;
    }
    log_("line closed: " + line->name());
    line->onBytes = nullptr;
    line->onClosed = nullptr;
    line->deleteLater();
    sessions_.erase(it);
}

void BaseStation::onBytes(Session& s, QByteArray bytes) {
    if (s.download) {
        s.download->feed(bytes);
        return;
    }
    if (armed_.isValid() && armed_.elapsed() < kArmedMs && s.decoder.pending() == 0 &&
        bytes.startsWith('S')) {
        armed_.invalidate();
        s.download = std::make_unique<SerialDownload>();
        s.download->feed(bytes);
        downloadTimer_.start();
        log_("RS232 upload begins on " + s.line->name());
        return;
    }
    s.decoder.feed(bytes);
    quv::FrameDecoder::Item item;
    while (s.decoder.next(item)) onFrame(s, item);
    // Bytes of a transfer keep coming, even of a piece not yet whole.
    if (s.incoming.active && s.incoming.sinceProgress.elapsed() >= kKeepaliveMs) sendProgress(s);
}

void BaseStation::checkDownloads() {
    bool any = false;
    for (auto& [line, s] : sessions_) {
        if (!s->download) continue;
        if (s->download->ended())
            finishDownload(*s);
        else
            any = true;
    }
    if (!any) downloadTimer_.stop();
}

void BaseStation::finishDownload(Session& s) {
    const std::unique_ptr<SerialDownload> d = std::move(s.download);
    const bool good = d->headerGood() && d->imageGood();
    program(options_.terminals.value(0), d->image(), good, d->seconds(), "serial", &d->frame());
}

// ---- Frames from the host

void BaseStation::answer(Session& s, const Frame& request, quint8 status, const QByteArray& data) {
    QByteArray payload(1, static_cast<char>(status));
    payload.append(data);
    const QByteArray bytes =
        Frame{static_cast<quint8>(request.command | kReply), request.sequence, payload}.encode();
    s.lastRequest = request.encode();
    s.lastAnswer = bytes;
    s.lastRequestAt.start();
    s.line->send(bytes);
}

void BaseStation::onFrame(Session& s, const quv::FrameDecoder::Item& item) {
    const Frame& f = item.frame;
    if (&s == attached_ && stalled_) {
        stalled_ = false;
        sendReliable();
    }
    if (item.damaged) {
        log_(QStringLiteral("damaged frame (command %1) on %2").arg(f.command).arg(s.line->name()));
        if (f.command == kTransferData && s.incoming.active) {
            if (!s.incoming.resendAsked) ackData(s, f.sequence, kResendFrom);
        } else if (!(f.command & kReply)) {
            s.line->send(Frame{kNak, f.sequence, {}}.encode());
        }
        return;
    }
    if (f.command == kNak) {
        if (inFlight_ && flightSession_ == &s && f.sequence == reliable_.front().sequence)
            s.line->send(reliable_.front().encode());
        return;
    }
    if (f.command & kReply) {  // the host answers a message or an event
        if (inFlight_ && flightSession_ == &s && f.sequence == reliable_.front().sequence &&
            f.command == (reliable_.front().command | kReply)) {
            reliable_.pop_front();
            inFlight_ = false;
            reliableTimer_.stop();
            sendReliable();
        }
        return;
    }
    if (options_.silentOn.contains(f.command)) {
        log_(
            QStringLiteral("request 0x%1 left unanswered").arg(f.command, 2, 16, QLatin1Char('0')));
        return;
    }
    if (f.command == kTransferData) {
        onTransferData(s, f);
        return;
    }
    // A request sent again because its answer was lost gets the same answer.
    if (s.lastRequestAt.isValid() && s.lastRequestAt.elapsed() < kDuplicateWindowMs &&
        f.encode() == s.lastRequest) {
        s.line->send(s.lastAnswer);
        return;
    }
    if (f.command == kTransferBegin) {
        onTransferBegin(s, f);
        return;
    }
    QByteArray data;
    const quint8 status = serve(s, f, data);
    answer(s, f, status, data);
}

quint8 BaseStation::serve(Session& s, const Frame& f, QByteArray& data) {
    const QByteArray& p = f.payload;
    switch (f.command) {
        case kGetStatus:
            data = config_.toText();
            return kOk;
        case kPutUpload:
            report_(R"({"event":"put-upload"})");
            return kOk;
        case kClearProgram:
            report_(QByteArray(R"({"event":"clear","count":)") + QByteArray::number(++clears_) +
                    "}");
            return kOk;
        case kResetProgram:
            report_(QByteArray(R"({"event":"reset","count":)") + QByteArray::number(++resets_) +
                    "}");
            return kOk;
        case kSetName:
            if (p.size() != 11) return kBadRequest;
            config_.localName = fixed(p.left(3), 3) + twoDigits(getInt32(p, 3));
            config_.remoteName = fixed(p.left(3), 3) + twoDigits(getInt32(p, 7));
            break;
        case kSetRadio:
            if (p.size() != 12 || !StatusRecord::radioBaudFits(getInt32(p, 4))) return kBadRequest;
            config_.radioBaud = getInt32(p, 4);
            break;
        case kSetSerialBaud:
            if (p.size() != 4 || !StatusRecord::serialBaudFits(getInt32(p, 0))) return kBadRequest;
            config_.serialBaud = getInt32(p, 0);
            break;
        case kSetSendTo:
            if (p.size() != 4) return kBadRequest;
            config_.sendTo = getInt32(p, 0) == 0 ? '0' : '1';
            break;
        case kChangeNameFast:
            if (p == "!DOWN") {
                armed_.start();
                log_("RS232 upload armed on " + s.line->name());
                return kOk;
            }
            if (p.isEmpty() || p.startsWith('!')) return kRefused;
            config_.localName = fixed(p, 5);
            break;
        case kAttach:
            attached_ = &s;
            stalled_ = false;
            log_("host attached on " + s.line->name());
            QTimer::singleShot(0, this, [this] { sendReliable(); });
            return kOk;
        case kDetach:
            if (attached_ == &s) attached_ = nullptr;
            return kOk;
        case kTerminalMessage:
            return onTerminalMessage(p);
        default:
            return kBadRequest;
    }
    // The configuration changed.
    if (!saveConfig()) log_("cannot write " + options_.configPath);
    report_(QByteArray(R"({"event":"config","config":)") + statusJson() + "}");
    return kOk;
}

// ---- Messages to terminals

quint8 BaseStation::onTerminalMessage(const QByteArray& payload) {
    const auto message = TerminalText::fromPayload(payload);
    if (!message || !message->textFits()) return kBadRequest;
    const QByteArray& terminal = message->address;
    const QByteArray& text = message->text;
    if (!options_.terminals.contains(terminal)) {
        log_("a message to the unknown terminal " + QString::fromLatin1(terminal) + " refused");
        return kUnknownTerminal;
    }
    // Each byte is the character with its code: JSON escapes keep every one.
    QJsonObject o;
    o["event"] = "message";
    o["terminal"] = QString::fromLatin1(terminal);
    o["text"] = QString::fromLatin1(text);
    o["bytes"] = text.size();
    report_(QJsonDocument(o).toJson(QJsonDocument::Compact));
    // The echo follows the answer, as a terminal's reply would.
    if (options_.echo)
        QTimer::singleShot(0, this,
                           [this, terminal, text] { terminalSays(terminal, "ECHO " + text); });
    return kOk;
}

// ---- Transfers to terminals

void BaseStation::onTransferBegin(Session& s, const Frame& f) {
    const auto begin = TransferBegin::fromPayload(f.payload);
    if (!begin || begin->total > kMaxTransfer) {
        answer(s, f, kBadRequest);
        return;
    }
    if (begin->kind == TransferKind::Addressed && !options_.terminals.contains(begin->target)) {
        answer(s, f, kUnknownTerminal);
        return;
    }
    Incoming& in = s.incoming;
    in = Incoming();
    s.relay.reset();
    in.begin = *begin;
    in.active = true;
    in.data.reserve(begin->total);
    in.started.start();
    in.sinceProgress.start();
    answer(s, f, kOk);
    if (begin->total == 0) completeIncoming(s);
}

void BaseStation::ackData(Session& s, quint8 sequence, quint8 status) {
    QByteArray payload(1, static_cast<char>(status));
    payload.append(
        TransferMark{s.incoming.begin.id, static_cast<qint32>(s.incoming.data.size())}.toPayload());
    s.line->send(Frame{static_cast<quint8>(kTransferData | kReply), sequence, payload}.encode());
    if (status == kResendFrom) s.incoming.resendAsked = true;
}

void BaseStation::onTransferData(Session& s, const Frame& f) {
    Incoming& in = s.incoming;
    const auto mark = TransferMark::fromPayload(f.payload);
    if (!in.active || !mark || mark->id != in.begin.id) return;
    const qint32 expected = static_cast<qint32>(in.data.size());
    if (mark->offset > expected) {
        if (!in.resendAsked) ackData(s, f.sequence, kResendFrom);
        return;
    }
    if (mark->offset == expected) {
        const QByteArray bytes = f.payload.mid(TransferMark::kLength, in.begin.total - expected);
        in.data.append(bytes);
        in.resendAsked = false;
    }
    // Progress goes before the answer: the host may stop listening once
    // every byte is answered.
    if (percentOf(in) != in.lastPercent) sendProgress(s);
    ackData(s, f.sequence, kOk);
    if (in.data.size() == in.begin.total) completeIncoming(s);
}

void BaseStation::sendProgress(Session& s) {
    Incoming& in = s.incoming;
    in.lastPercent = percentOf(in);
    in.sinceProgress.restart();
    const qint16 code =
        in.begin.kind == TransferKind::Addressed ? kEventProgress : kEventBroadcastProgress;
    const EventRecord record{code, static_cast<qint16>(in.lastPercent), in.begin.id};
    s.line->send(Frame{kProgress, 0, record.toPayload()}.encode());
}

void BaseStation::completeIncoming(Session& s) {
    Incoming& in = s.incoming;
    in.active = false;
    const double seconds = in.started.nsecsElapsed() / 1e9;
    const auto split = splitPayload(in.data);
    if (in.begin.kind == TransferKind::Broadcast) {
        log_(QStringLiteral("broadcast %1 sent %2 time(s), %3 ms apart")
                 .arg(QString::fromLatin1(in.begin.target))
                 .arg(in.begin.repeat)
                 .arg(in.begin.gapMs));
        for (const QByteArray& terminal : options_.terminals)
            program(terminal, split.first, split.second, seconds, "broadcast");
        in.data.clear();
        return;
    }
    const auto deliver = [this, split, seconds, terminal = in.begin.target, id = in.begin.id] {
        program(terminal, split.first, split.second, seconds, "radio");
        queueReliable(kEvent, EventRecord{static_cast<qint16>(kEventTransferEnd),
                                          static_cast<qint16>(split.second ? 0 : -1), id}
                                  .toPayload());
        for (int i = 0; i < options_.sayAfterProgram.size(); ++i)
            QTimer::singleShot(i * kSayAfterProgramMs, this,
                               [this, terminal, text = options_.sayAfterProgram.at(i)] {
                                   terminalSays(terminal, text);
                               });
    };
    if (options_.relayMs <= 0) {
        deliver();
        in.data.clear();
        return;
    }
    // The base station relays the program to the terminal, saying meanwhile
    // that it still works.
    s.relay = std::make_unique<QTimer>();
    QElapsedTimer relaying;
    relaying.start();
    connect(s.relay.get(), &QTimer::timeout, this, [this, &s, relaying, deliver] {
        if (relaying.elapsed() < options_.relayMs) return sendProgress(s);
        s.relay.release()->deleteLater();
        s.incoming.data.clear();
        deliver();
    });
    s.relay->start(kKeepaliveMs);
}

void BaseStation::program(const QByteArray& terminal, const QByteArray& image, bool good,
                          double seconds, const char* via, const QByteArray* frame) {
    const QString path = QDir(options_.outDir)
                             .filePath(QStringLiteral("%1-%2.bin")
                                           .arg(QString::fromLatin1(terminal).trimmed())
                                           .arg(++programs_, 4, 10, QLatin1Char('0')));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size())
        log_("cannot write " + path);
    file.close();
    QJsonObject o;
    o["event"] = "program";
    o["terminal"] = QString::fromLatin1(terminal);
    o["via"] = via;
    o["path"] = path;
    o["bytes"] = image.size();
    o["checksums"] = good ? "good" : "bad";
    o["seconds"] = qRound(seconds * 1000) / 1000.0;
    if (frame) {
        const QString framePath = path.left(path.size() - 3) + QStringLiteral("frame");
        QFile raw(framePath);
        if (!raw.open(QIODevice::WriteOnly) || raw.write(*frame) != frame->size())
            log_("cannot write " + framePath);
        o["frame"] = framePath;
    }
    report_(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

// ---- Messages and events the host must answer

void BaseStation::terminalSays(const QByteArray& terminal, const QByteArray& text) {
    if (text.isEmpty()) return;
    queueReliable(kMessage, TerminalText{terminal, text}.toPayload());
}

void BaseStation::queueReliable(quint8 command, const QByteArray& payload) {
    // With no host listening, the oldest waiting frames give way (never the
    // one on its way).
    if (reliable_.size() >= kReliableLimit) {
        const auto oldest = reliable_.begin() + (inFlight_ ? 1 : 0);
        if (oldest != reliable_.end()) reliable_.erase(oldest);
    }
    reliable_.push_back(Frame{command, 0, payload});
    sendReliable();
}

void BaseStation::sendReliable() {
    if (inFlight_ || reliable_.empty() || !attached_) return;
    Frame& f = reliable_.front();
    if (f.sequence == 0) {  // a frame keeps its number however often it goes
        f.sequence = nextSeq_++;
        if (nextSeq_ == 0) nextSeq_ = 1;
    }
    inFlight_ = true;
    tries_ = 1;
    flightSession_ = attached_;
    attached_->line->send(f.encode());
    reliableTimer_.start();
}

void BaseStation::onReliableTimer() {
    if (!inFlight_) {
        reliableTimer_.stop();
        return;
    }
    if (flightSession_ != attached_ || !attached_) {
        inFlight_ = false;
        reliableTimer_.stop();
        sendReliable();
        return;
    }
    if (tries_ >= kReliableTries) {  // the host is not listening; wait until it speaks
        inFlight_ = false;
        stalled_ = true;
        reliableTimer_.stop();
        return;
    }
    ++tries_;
    attached_->line->send(reliable_.front().encode());
}

}  // namespace quvsim
