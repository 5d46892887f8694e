#include "transfer/transfer_commands.h"

#include "comm/quvcom.h"
#include "core/clock.h"
#include "core/dialogs.h"
#include "core/event_pump.h"
#include "core/link_state.h"
#include "transfer/transfer_rules.h"

namespace quv {

TransferCommands::TransferCommands(TransferServices services, TransferHooks hooks)
    : s_(services),
      hooks_(std::move(hooks)),
      uploader_(services, state_, hooks_),
      monitor_(services, state_, hooks_) {}

TransferCommands::~TransferCommands() = default;

MonitorSession& TransferCommands::monitorSession() {
    if (!session_) {
        MonitorSession::Hooks hooks;
        hooks.overTcpip = hooks_.overTcpip;
        session_ = std::make_unique<MonitorSession>(s_, *this, std::move(hooks));
    }
    return *session_;
}

std::optional<OneAtATime::Hold> TransferCommands::start() {
    if (busy()) {
        s_.dialogs.message(busyText());
        return std::nullopt;
    }
    state_.escaped = false;
    return once_.tryStart();
}

QString TransferCommands::busyText() const {
    if (!busy()) return QString();
    switch (state_.activity) {
        case Activity::WaitingForTerminal:
            return kBusyWaiting;
        case Activity::Draining:
            return kBusyDraining;
        case Activity::Pausing:
            return kBusyPausing;
        case Activity::AfterRs232:
            return kBusyAfterRs232;
        case Activity::Idle:
        case Activity::Uploading:
            break;
    }
    return kBusyTransfer;
}

bool TransferCommands::closing() const {
    return s_.link.AppClosing || s_.pump.closing();
}

void TransferCommands::Command1_Click(int index) {
    if (index >= 4) state_.LastSendTime = 0;
    if (index == 4) {
        repeatedWirelessUpload();
        return;
    }
    if (index != 3 && index != 5) return;
    const auto hold = start();
    if (!hold) return;
    if (index == 5) {
        uploader_.Transmit_program(2);
        return;
    }
    uploader_.Transmit_program(1);
    const Doing waiting(state_, Activity::AfterRs232);
    Wait_Seconds(kAfterRs232Seconds);
}

void TransferCommands::Send_program_Click() {
    if (const auto hold = start()) uploader_.Transmit_program(1);
}

void TransferCommands::repeatedWirelessUpload() {
    const auto hold = start();
    if (!hold) return;
    const qint32 count = repeatCount(s_.dialogs.input(kCountPrompt, kCountTitle, kCountDefault));
    for (qint32 i = 1; i <= count && pauseBeforeNextRepetition(); ++i) {
        uploader_.Transmit_program(3);
        if (closing()) return;
        state_.LastSendTime = s_.clock.monotonic();
    }
}

bool TransferCommands::pauseBeforeNextRepetition() {
    const Doing pausing(state_, Activity::Pausing);
    const double pause = pauseBeforeNext(state_.LastSendTime, s_.clock.monotonic());
    return pumpFor(s_.pump, s_.clock, pause, [this] { return state_.escaped; });
}

void TransferCommands::Wait_Seconds(double seconds) {
    pumpFor(s_.pump, s_.clock, seconds);
}

bool TransferCommands::test_serial_port() {
    if (s_.com.IO_Open(s_.link.CommPort, s_.link.BaudRate) == 0) return false;
    s_.com.IO_Close(s_.link.CommPort);
    return true;
}

}  // namespace quv
