#include "transfer/monitor_session.h"

#include "comm/quvcom.h"
#include "core/clock.h"
#include "core/link_state.h"
#include "transfer/link_monitor.h"
#include "transfer/transfer_commands.h"

#include <QTime>

namespace quv {

namespace {
constexpr qint32 kRawChunk = 4096;
}  // namespace

MonitorSession::MonitorSession(TransferServices services, TransferCommands& transfer, Hooks hooks)
    : s_(services), transfer_(transfer), hooks_(std::move(hooks)) {}

// Only the window's close talks to the link: at this point the program is
// going and its waits could reach what is gone already.
MonitorSession::~MonitorSession() {
    if (transfer_.state().tap == this) transfer_.state().tap = nullptr;
}

void MonitorSession::setHooks(Hooks hooks) {
    if (!hooks.overTcpip) hooks.overTcpip = hooks_.overTcpip;
    hooks_ = std::move(hooks);
}

bool MonitorSession::start(Mode mode, qint32 rate) {
    stop();
    mode_ = mode;
    rate_ = rate > 0 ? rate : kDefaultRawRate;
    transfer_.state().tap = this;
    if (!open()) return false;
    add(MonitorKind::LinkBack, {}, {});
    return true;
}

void MonitorSession::stop() {
    if (transfer_.state().tap == this) transfer_.state().tap = nullptr;
    close();
    lent_ = false;
}

bool MonitorSession::open() {
    const qint32 port = s_.link.CommPort;
    bool opened = false;
    if (mode_ == Mode::Base) {
        transfer_.uploader().listen();
        opened = s_.com.InitializeComm(port, s_.link.BaudRate) != 0;
    } else {
        opened = s_.com.IO_Open(port, rate_) != 0;
    }
    if (!opened) {
        const bool overTcpip = mode_ == Mode::Base && hooks_.overTcpip && hooks_.overTcpip();
        lost(errorOpeningLink(overTcpip));
        return false;
    }
    up_ = true;
    if (hooks_.linkState) hooks_.linkState(true, {});
    return true;
}

void MonitorSession::close() {
    if (!up_) return;
    up_ = false;
    const qint32 port = s_.link.CommPort;
    if (mode_ == Mode::Raw) {
        if (const auto rest = raw_.flush(0, true)) add(MonitorKind::Raw, {}, *rest);
        s_.com.IO_Close(port);
        return;
    }
    // An upload that waits for a terminal, or sends to one, ends the
    // attachment itself.
    const TransferState& st = transfer_.state();
    if (!st.background && st.activity != Activity::WaitingForTerminal) s_.com.TerminateComm(port);
}

void MonitorSession::lost(const QString& why) {
    close();
    add(MonitorKind::LinkLost, {}, why.toUtf8());
    if (hooks_.linkState) hooks_.linkState(false, why);
}

void MonitorSession::releasePort() {
    if (!up_) return;
    close();
    lent_ = true;
}

void MonitorSession::retakePort() {
    if (!lent_) return;
    lent_ = false;
    open();
}

void MonitorSession::poll() {
    if (polling_ || !up_) return;
    polling_ = true;
    if (mode_ == Mode::Base)
        transfer_.Timer1_Timer();
    else
        readRaw();
    polling_ = false;
}

void MonitorSession::readRaw() {
    const qint32 port = s_.link.CommPort;
    QByteArray buffer(kRawChunk, '\0');
    const auto nowMs = [this] { return static_cast<qint64>(s_.clock.monotonic() * 1000); };
    for (;;) {
        const qint32 n = s_.com.IO_Read(port, kRawChunk, buffer, 0);
        if (n <= 0 || !up_) break;
        for (const QByteArray& row : raw_.add(buffer.left(n), nowMs()))
            add(MonitorKind::Raw, {}, row);
    }
    if (const auto rest = raw_.flush(nowMs())) add(MonitorKind::Raw, {}, *rest);
}

QString MonitorSession::send(const QByteArray& address, const QByteArray& bytes) {
    const qint32 port = s_.link.CommPort;
    const auto length = static_cast<qint32>(bytes.size());
    if (mode_ == Mode::Raw) {
        if (!up_ || s_.com.IO_Write(port, length, bytes) != length) return kNotWritten;
        add(MonitorKind::Sent, {}, bytes);
        return {};
    }
    if (address.trimmed().isEmpty()) return kNoAddress;
    // As the library sends it, and as the terminal's messages name it.
    const QByteArray to = address.leftJustified(QuvCom::kAddressLength, ' ', true);
    if (!up_ || s_.com.Send_Message(port, to, bytes, length) != 1) return kNotSent;
    add(MonitorKind::Sent, to, bytes);
    return {};
}

void MonitorSession::traffic(MonitorKind kind, const QByteArray& address, const QByteArray& bytes) {
    if (kind == MonitorKind::LinkLost) {
        if (up_ && mode_ == Mode::Base) lost(kLinkLostRow);
        return;
    }
    add(kind, address, bytes);
}

void MonitorSession::add(MonitorKind kind, const QByteArray& address, const QByteArray& bytes) {
    const auto ms = static_cast<int>(s_.clock.timeOfDay() * 1000);
    MonitorRow row;
    row.time = QDateTime(s_.clock.today(), QTime::fromMSecsSinceStartOfDay(ms));
    row.kind = kind;
    row.address = address;
    row.bytes = bytes;
    timeline_.append(std::move(row));
    if (hooks_.changed) hooks_.changed();
}

}  // namespace quv
