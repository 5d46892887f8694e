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

std::optional<OneAtATime::Hold> TransferCommands::start() {
    if (busy()) return std::nullopt;
    return once_.tryStart();
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
    Wait_Seconds(kAfterRs232Seconds);
}

void TransferCommands::Send_program_Click() {
    if (const auto hold = start()) uploader_.Transmit_program(1);
}

void TransferCommands::Transmit_By_Radio_Without_Confirmation_Click() {
    if (const auto hold = start()) uploader_.Transmit_program(3);
}

void TransferCommands::repeatedWirelessUpload() {
    const auto hold = start();
    if (!hold) return;
    const qint32 count = repeatCount(s_.dialogs.input(kCountPrompt, kCountTitle, kCountDefault));
    for (qint32 i = 1; i <= count && !closing(); ++i) {
        // One blocking sleep: nothing else runs, not even the link monitor.
        const int pause = pauseBeforeNextMs(state_.LastSendTime, s_.clock.timeOfDay());
        if (pause > 0) s_.clock.sleepMs(pause);
        uploader_.Transmit_program(3);
        if (closing()) return;
        state_.LastSendTime = s_.clock.timeOfDay();
    }
}

void TransferCommands::Wait_Seconds(double seconds) {
    const double from = s_.clock.timeOfDay();
    while (secondsSince(from, s_.clock.timeOfDay()) < seconds && !closing()) s_.pump.pumpOnce();
}

bool TransferCommands::test_serial_port() {
    if (s_.com.IO_Open(s_.link.CommPort, s_.link.BaudRate) == 0) return false;
    s_.com.IO_Close(s_.link.CommPort);
    return true;
}

}  // namespace quv
