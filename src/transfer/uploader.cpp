#include "transfer/uploader.h"

#include "comm/quvcom.h"
#include "comm/wire.h"
#include "core/app_paths.h"
#include "core/busy_pointer.h"
#include "core/clock.h"
#include "core/current_document.h"
#include "core/dialogs.h"
#include "core/event_pump.h"
#include "core/link_state.h"
#include "core/options.h"
#include "transfer/link_monitor.h"
#include "transfer/program_files.h"
#include "transfer/transfer_rules.h"

#include <QFileInfo>

namespace quv {

namespace {

// The RS232 upload: "!DOWN" at the fast rate, the frame at the upload rate.
constexpr qint32 kDownRate = 115200;
constexpr qint32 kUploadRate = 38400;
constexpr double kDownSettleSeconds = 0.2;
// Stale input is read away a byte at a time, each read waiting this long.
constexpr qint32 kDrainTimeoutMs = 1000;
// A base station that keeps talking cannot hold the upload in the drain
// longer than this (and one read).
constexpr double kDrainSeconds = 2;
// The last two arguments of the message without confirmation.
constexpr qint32 kAirRepeats = 1;
constexpr qint32 kAirGapMs = 200;

template <typename F, typename... A>
void call(const F& hook, A&&... args) {
    if (hook) hook(std::forward<A>(args)...);
}

}  // namespace

Uploader::Uploader(TransferServices services, TransferState& state, const TransferHooks& hooks)
    : s_(services), st_(state), hooks_(hooks) {}

double Uploader::now() const {
    return s_.clock.monotonic();
}

bool Uploader::closing() const {
    return s_.link.AppClosing || s_.pump.closing();
}

Uploader::Ending Uploader::fail(BusyPointer& busy, const QString& text, UploadFailure why) {
    st_.failure = why;
    tellMonitor(st_, MonitorKind::UploadFailed, {}, text.toUtf8());
    busy.release();
    s_.dialogs.message(text);
    return Ending::Failed;
}

Uploader::Ending Uploader::openFailed(BusyPointer& busy) {
    return fail(busy, errorOpeningLink(hooks_.overTcpip && hooks_.overTcpip()),
                UploadFailure::Port);
}

Uploader::Ending Uploader::Transmit_program(int TransferMode) {
    const auto running = once_.tryStart();
    if (!running) return Ending::NotStarted;
    const Doing uploading(st_, Activity::Uploading);
    st_.failure = UploadFailure::None;
    st_.escaped = false;
    BusyPointer busy(hooks_.setBusy);
    const auto program = prepare(busy);
    if (!program) return Ending::NotStarted;

    Ending ending = Ending::Done;
    if (TransferMode == 1)
        ending = rs232(*program, busy);
    else if (TransferMode == 3)
        ending = withoutConfirmation(*program, busy);
    else if (TransferMode == 2)
        ending = onRequest(*program, busy);
    if (ending == Ending::Stopped)
        tellMonitor(st_, MonitorKind::UploadFailed, {}, kStoppedRow.toUtf8());
    if (ending != Ending::Done && ending != Ending::Background) return ending;

    // The common ending.
    busy.release();
    call(hooks_.showMainWindow);
    call(hooks_.setBar, 0);
    return ending;
}

std::optional<Uploader::Program> Uploader::prepare(BusyPointer& busy) {
    const QString name = s_.document.fileName();
    if (name.isEmpty()) {
        st_.failure = UploadFailure::NotCompiled;
        s_.dialogs.message(kFileNotOpen);
        return std::nullopt;
    }
    busy.hold();
    // The question, and the report of a save that failed, show with the
    // default pointer. A save that failed stops the upload.
    if (s_.options.EditorEnabled && s_.document.changed()) {
        busy.release();
        if (!s_.document.askToSave()) return std::nullopt;
        busy.hold();
    }
    const auto notCompiled = [&](const QString& text) {
        fail(busy, text, UploadFailure::NotCompiled);
        return std::nullopt;
    };
    const auto base = baseNameWithDot(name);
    const QString headerPath = base ? headerFileName(*base) : QString();
    if (!base || !QFileInfo::exists(headerPath)) return notCompiled(kNotCompiled);
    if (s_.options.EditorEnabled && QFileInfo(headerPath).size() == 0) {
        const std::optional<int> built = hooks_.compile ? hooks_.compile() : std::nullopt;
        if (!built || *built == 0) {
            st_.failure = UploadFailure::NotCompiled;
            return std::nullopt;
        }
    }
    ReadResult header = readProgramHeader(headerPath);
    if (!header.bytes)
        return notCompiled(kCannotRead.arg(QStringLiteral("header"), headerPath, header.error));
    if (header.bytes->size() < kHeaderBytes) return notCompiled(kNotCompiled);
    // A missing or empty image is no compiled program: nothing is sent.
    const QString imagePath = imageFileName(*base);
    const QFileInfo imageInfo(imagePath);
    if (!imageInfo.exists() || (imageInfo.isFile() && imageInfo.size() == 0))
        return notCompiled(kEmptyImage.arg(imagePath));
    ReadResult image = readWholeFile(imagePath, kMaxImageBytes);
    if (!image.bytes)
        return notCompiled(kCannotRead.arg(QStringLiteral("image"), imagePath, image.error));
    Program p;
    p.header = std::move(*header.bytes);
    p.image = std::move(*image.bytes);
    st_.SizeMessageSended = static_cast<qint32>(p.image.size());
    return p;
}

void Uploader::registerEvents(qint16 ignored) {
    s_.com.BackGetEvent([this](qint32 code, qint32 param, qint32 reserved, const QByteArray& text) {
        Comm_Event(code, param, reserved, text);
    });
    st_.IgnoredEvent = ignored;
}

Uploader::Ending Uploader::rs232(const Program& p, BusyPointer& busy) {
    QuvCom& com = s_.com;
    const qint32 port = s_.link.CommPort;
    // The Terminal Monitor lets the port go for the upload's length.
    struct PortLent {
        TransferState& st;
        explicit PortLent(TransferState& state) : st(state) {
            if (st.tap) st.tap->releasePort();
        }
        ~PortLent() {
            if (st.tap) st.tap->retakePort();
        }
    } lent(st_);
    registerEvents(wire::kEventWriteProgress);
    if (com.IO_Open(port, kDownRate) == 0) return openFailed(busy);
    if (com.ChangeBaseNameAntenaFast(port, "!DOWN") != 0)
        pumpFor(s_.pump, s_.clock, kDownSettleSeconds);
    com.IO_Close(port);
    if (closing()) return Ending::Stopped;
    if (com.IO_Open(port, kUploadRate) == 0) return openFailed(busy);
    s_.pump.pumpOnce();

    started({}, QStringLiteral("RS232"));
    st_.BufferOutput = true;
    st_.checksum.Reset_Checksum();
    Send_Char('S');
    Send_String(p.header);
    Send_Checksum();
    st_.checksum.Reset_Checksum();
    st_.start_time = now();
    Send_String(p.image);
    Send_Checksum();
    const bool whole = Flush_Buffer();
    st_.BufferOutput = false;
    com.IO_Close(port);

    if (closing()) return Ending::Stopped;
    st_.IgnoredEvent = -1;
    st_.LastEvent = 0;
    st_.events.clear();
    if (!whole) return fail(busy, kFrameNotWritten, UploadFailure::Transfer);
    showRate();
    return Ending::Done;
}

Uploader::Ending Uploader::withoutConfirmation(const Program& p, BusyPointer& busy) {
    QuvCom& com = s_.com;
    LinkState& link = s_.link;
    const qint32 port = link.CommPort;
    if (!link.BaseStatusKnown) {
        qint32 rate = link.BaudRate;
        QByteArray info(QuvCom::kStatusBufferLength, ' ');
        // A rate of 0 or less would leave the link unusable: no answer.
        if (com.B_BaseGetStatus(port, rate, info) != 1 || rate <= 0)
            return fail(busy, kErrorAntena, UploadFailure::Base);
        link.BaudRate = rate;
        link.BaseStatusKnown = true;
    }
    com.B_PutBaseUpload(port, link.BaudRate);
    if (com.IO_Open(port, link.BaudRate) == 0) return openFailed(busy);
    if (!drain(port)) {
        com.IO_Close(port);
        return Ending::Stopped;
    }
    registerEvents(wire::kEventBroadcastProgress);
    const QByteArray payload = radioPayload(p.image);
    started({}, QStringLiteral("by radio without confirmation"));
    st_.start_time = now();
    const bool taken = com.Send_Message_Without_Confirmation_ombrex(
                           port, kProgramTag, payload, static_cast<qint32>(payload.size()),
                           kAirRepeats, kAirGapMs) != 0;
    call(hooks_.setBar, 0);
    com.IO_Close(port);
    if (closing()) return Ending::Stopped;
    // A transfer the base station did not take whole shows no rate.
    if (!taken) return fail(busy, kBroadcastFailed, UploadFailure::Transfer);
    showRate();
    return Ending::Done;
}

Uploader::Ending Uploader::onRequest(const Program& p, BusyPointer& busy) {
    QuvCom& com = s_.com;
    const qint32 port = s_.link.CommPort;
    if (com.InitializeComm(port, s_.link.BaudRate) == 0) return openFailed(busy);
    registerEvents(wire::kEventBroadcastProgress);
    const QByteArray payload = radioPayload(p.image);
    st_.MyCaption = hooks_.caption ? hooks_.caption() : QString();
    call(hooks_.setCaption, kWaiting);
    st_.ReceiveTerminal.clear();
    st_.linkLost = false;
    {
        // The link monitor fills ReceiveTerminal with the address of a
        // terminal that asks, or says that the link went away; Esc and the
        // program closing end the wait too.
        const Doing waiting(st_, Activity::WaitingForTerminal);
        while (st_.ReceiveTerminal.isEmpty() && !st_.linkLost && !stopped()) s_.pump.pumpOnce();
    }
    if (st_.linkLost && !closing()) {
        endAttachment(com, port, st_);
        call(hooks_.setCaption, st_.MyCaption);
        return fail(busy, kLinkLost, UploadFailure::LinkLost);
    }
    call(hooks_.setCaption, kSending);
    if (st_.ReceiveTerminal.isEmpty() || st_.ReceiveTerminal == kEsc || stopped()) {
        endAttachment(com, port, st_);
        call(hooks_.setCaption, st_.MyCaption);
        return Ending::Stopped;
    }
    const QByteArray TerminalAddress = st_.ReceiveTerminal.toLatin1();
    started(TerminalAddress, QStringLiteral("by radio on request"));
    st_.start_time = now();
    st_.lastProgressAt = st_.start_time;
    st_.background = true;
    com.BackSendMessage(TerminalAddress, payload, static_cast<qint32>(payload.size()));
    call(hooks_.setBar, 0);
    return Ending::Background;
}

QByteArray Uploader::radioPayload(const QByteArray& image) {
    st_.checksum.Reset_Checksum();
    st_.checksum.add(image);
    return image + st_.checksum.trailer();
}

void Uploader::started(const QByteArray& terminal, const QString& how) {
    if (!st_.tap) return;
    const QString what = kStartRow.arg(how, s_.document.fileName()).arg(st_.SizeMessageSended);
    tellMonitor(st_, MonitorKind::UploadStart, terminal, what.toUtf8());
    // A radio upload's image checksums are known before it starts.
    if (how != QLatin1String("RS232"))
        tellMonitor(st_, MonitorKind::ChecksumsSent, terminal, st_.checksum.trailer());
}

void Uploader::showRate() {
    const auto text = rateText(st_.SizeMessageSended, now() - st_.start_time, true);
    if (text) call(hooks_.showRate, *text);
    tellMonitor(st_, MonitorKind::UploadEnd, {}, text.value_or(kDeliveredRow).toUtf8());
}

void Uploader::Comm_Event(qint32 code, qint32 param, qint32, const QByteArray&) {
    const auto c = static_cast<qint16>(code);
    if (c == st_.IgnoredEvent || st_.IgnoredEvent == -1) return;
    queueEvent(st_.events, {c, static_cast<qint16>(param)});
    s_.pump.pumpOnce();
}

bool Uploader::drain(qint32 port) {
    const Doing draining(st_, Activity::Draining);
    QByteArray one(1, ' ');
    const double from = now();
    qint32 n = 0;
    do {
        s_.pump.pumpOnce();
        if (stopped()) return false;
        n = s_.com.IO_Read(port, 1, one, kDrainTimeoutMs);
    } while (n > 0 && now() - from < kDrainSeconds);
    return !stopped();
}

bool Uploader::Send_Char(char c) {
    st_.checksum.Do_Checksum(static_cast<unsigned char>(c));
    if (st_.BufferOutput)
        st_.OutputBuffer.append(c);
    else
        s_.com.IO_Write(s_.link.CommPort, 1, QByteArray(1, c));
    return true;
}

bool Uploader::Send_String(const QByteArray& s) {
    st_.checksum.add(s);
    if (st_.BufferOutput)
        st_.OutputBuffer.append(s);
    else
        s_.com.IO_Write(s_.link.CommPort, static_cast<qint32>(s.size()), s);
    return true;
}

void Uploader::Send_Checksum() {
    const QByteArray trailer = st_.checksum.trailer();
    Send_String(trailer);
    tellMonitor(st_, MonitorKind::ChecksumsSent, {}, trailer);
}

bool Uploader::Flush_Buffer() {
    bool whole = true;
    if (st_.BufferOutput) {
        const auto size = static_cast<qint32>(st_.OutputBuffer.size());
        whole = s_.com.IO_Write(s_.link.CommPort, size, st_.OutputBuffer) == size;
    }
    st_.OutputBuffer.clear();
    return whole;
}

}  // namespace quv
