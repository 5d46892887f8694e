// The transfer subsystem as the main window holds it: the upload buttons 3
// to 5, the Transmit menu, the repeated wireless upload, the short wait after
// an RS232 upload, the port test, the link monitor's tick and Esc. Commands
// run one at a time, and none starts while an upload runs in the background.
#pragma once

#include "core/one_at_a_time.h"
#include "transfer/link_monitor.h"
#include "transfer/transfer_state.h"
#include "transfer/uploader.h"

#include <optional>

namespace quv {

class TransferCommands {
  public:
    inline static const QString kCountPrompt = QStringLiteral("Numero de vezes a enviar");
    inline static const QString kCountTitle = QStringLiteral("Wireless Upload");
    inline static const QString kCountDefault = QStringLiteral("1");
    // The wait after an RS232 upload, in seconds.
    static constexpr double kAfterRs232Seconds = 3;

    TransferCommands(TransferServices services, TransferHooks hooks);
    TransferCommands(const TransferCommands&) = delete;
    TransferCommands& operator=(const TransferCommands&) = delete;

    // Tool button index: 3 the RS232 upload and its wait, 4 the repeated
    // wireless upload, 5 the wireless upload on request. From 4 up, every
    // click first forgets when the last repetition ended.
    void Command1_Click(int index);
    // Transmit > Rs232 Transmit Program: the RS232 upload without the wait.
    void Send_program_Click();
    // Transmit > Wireless Transmit Program: one wireless upload without
    // confirmation, without asking for a count.
    void Transmit_By_Radio_Without_Confirmation_Click();
    // Asks how many times, then uploads by radio without confirmation that
    // often, at least 10 seconds apart; the pause runs no other command.
    void repeatedWirelessUpload();

    // Pumps events until the seconds have passed or the program closes.
    void Wait_Seconds(double seconds);
    // The configured port opens (and is closed again).
    bool test_serial_port();
    // The tick of Timer1.
    void Timer1_Timer() { monitor_.Timer1_Timer(); }
    // Esc: a wireless upload waiting for a terminal gives up.
    void escape() { state_.ReceiveTerminal = Uploader::kEsc; }

    // An upload command runs, or an upload runs in the background.
    bool busy() const { return once_.running() || uploader_.running() || state_.background; }
    TransferState& state() { return state_; }
    Uploader& uploader() { return uploader_; }

  private:
    std::optional<OneAtATime::Hold> start();
    bool closing() const;

    TransferServices s_;
    TransferHooks hooks_;
    TransferState state_;
    Uploader uploader_;
    LinkMonitor monitor_;
    OneAtATime once_;
};

}  // namespace quv
