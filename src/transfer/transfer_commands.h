// The transfer subsystem as the main window holds it: the upload buttons 3
// to 5, the Transmit menu, the repeated wireless upload, the short wait after
// an RS232 upload, the port test, the link monitor's tick and Esc. Commands
// run one at a time; one given while an upload runs, also in the background,
// is refused with a message that says what runs and how to stop it.
#pragma once

#include "core/one_at_a_time.h"
#include "transfer/link_monitor.h"
#include "transfer/monitor_session.h"
#include "transfer/transfer_state.h"
#include "transfer/uploader.h"

#include <memory>
#include <optional>

namespace quv {

class TransferCommands {
  public:
    inline static const QString kCountPrompt = QStringLiteral("Numero de vezes a enviar");
    inline static const QString kCountTitle = QStringLiteral("Wireless Upload");
    inline static const QString kCountDefault = QStringLiteral("1");
    // The wait after an RS232 upload, in seconds.
    static constexpr double kAfterRs232Seconds = 3;

    // What busyText() says, by what runs.
    inline static const QString kBusyWaiting = QStringLiteral(
        "An upload is running: a wireless upload is waiting for a terminal to ask for its "
        "program. Press Esc to stop waiting, then try again.");
    inline static const QString kBusyDraining = QStringLiteral(
        "An upload is running: a wireless upload is reading old input from the base station "
        "before it sends. Press Esc to stop it, or wait a few seconds.");
    inline static const QString kBusyPausing = QStringLiteral(
        "An upload is running: the repeated wireless upload is pausing 10 seconds between two "
        "uploads. Press Esc to stop the remaining uploads.");
    inline static const QString kBusyAfterRs232 = QStringLiteral(
        "An upload is running: an RS232 upload has just ended and the port is given 3 seconds. "
        "Wait for it to end, then try again.");
    inline static const QString kBusyTransfer = QStringLiteral(
        "An upload is running: a program is on its way to a terminal. Wait for it to end, then "
        "try again.");

    TransferCommands(TransferServices services, TransferHooks hooks);
    ~TransferCommands();
    TransferCommands(const TransferCommands&) = delete;
    TransferCommands& operator=(const TransferCommands&) = delete;

    // Tool button index: 3 the RS232 upload and its wait, 4 the repeated
    // wireless upload, 5 the wireless upload on request. From 4 up, every
    // click first forgets when the last repetition ended.
    void Command1_Click(int index);
    // Transmit > Rs232 Transmit Program: the RS232 upload without the wait.
    void Send_program_Click();
    // Transmit > Wireless Transmit Program: as the "Raw Wireless Upload"
    // button, it asks how many times first, so that a stray key sends nothing.
    void Transmit_By_Radio_Without_Confirmation_Click() { Command1_Click(4); }
    // Asks how many times, then uploads by radio without confirmation that
    // often, at least 10 seconds apart; Esc in a pause stops the rest.
    void repeatedWirelessUpload();
    // The pause before the next repetition; false when Esc or the program
    // closing ended it.
    bool pauseBeforeNextRepetition();

    // Pumps events until the seconds have passed or the program closes.
    void Wait_Seconds(double seconds);
    // The configured port opens (and is closed again).
    bool test_serial_port();
    // The tick of Timer1.
    void Timer1_Timer() { monitor_.Timer1_Timer(); }
    // Esc: a wireless upload waiting for a terminal gives up; so does the
    // drain before a wireless upload, and the repeated upload's pause.
    void escape() {
        state_.ReceiveTerminal = Uploader::kEsc;
        state_.escaped = true;
    }

    // An upload command runs, or an upload runs in the background.
    bool busy() const { return once_.running() || uploader_.running() || state_.background; }
    // While busy, what runs and how to stop it; empty otherwise.
    QString busyText() const;
    TransferState& state() { return state_; }
    // The Terminal Monitor's session, made the first time it is asked for; it
    // reads the same events and messages as the link monitor.
    MonitorSession& monitorSession();
    Uploader& uploader() { return uploader_; }

  private:
    // Nothing, after the message, while another command runs.
    std::optional<OneAtATime::Hold> start();
    bool closing() const;

    TransferServices s_;
    TransferHooks hooks_;
    TransferState state_;
    Uploader uploader_;
    LinkMonitor monitor_;
    OneAtATime once_;
    // Goes first, while the state it taps is still there.
    std::unique_ptr<MonitorSession> session_;
};

}  // namespace quv
