#include "cli/upload_run.h"

#include "comm/link_com.h"
#include "core/app_paths.h"
#include "core/clock.h"
#include "core/current_document.h"
#include "core/dialogs.h"
#include "core/event_pump.h"
#include "core/link_state.h"
#include "core/options.h"
#include "core/settings_store.h"
#include "transfer/transfer_commands.h"
#include "transfer/transfer_rules.h"

#include <QCommandLineParser>
#include <QTimer>

#include <algorithm>

namespace quv::cli {

namespace {

// One line, so that the manual page's synopsis holds it whole.
const QString kUsageLine =
    QStringLiteral("Usage: quvupload [MODE] [LINK] [--repeat N] [--timeout S] PROGRAM");

CommandLine refused(const QString& error) {
    CommandLine c;
    c.error = error;
    return c;
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser p;
    p.addOptions(
        {{"rs232", ""}, {"radio", ""}, {"request", ""}, {"repeat", "", "N"}, {"timeout", "", "S"}});
    addLinkOptions(p);
    p.addPositionalArgument("PROGRAM", "");
    CommandLine c;
    std::tie(c.action, c.error) =
        readArguments(p, "quvupload", arguments, {"port", "device", "tcp", "repeat", "timeout"});
    if (c.action != CommandLine::Action::Run) return c;

    UploadOptions& o = c.options;
    const int modes = int(p.isSet("rs232")) + int(p.isSet("radio")) + int(p.isSet("request"));
    if (modes > 1) return refused(QStringLiteral("choose one of --rs232, --radio and --request"));
    if (p.isSet("rs232")) o.mode = 1;
    if (p.isSet("request")) o.mode = 2;
    if (const QString error = readLinkOptions(p, o); !error.isEmpty()) return refused(error);

    bool ok = true;
    if (const auto v = valueOf(p, "repeat")) {
        o.repeat = v->toInt(&ok);
        if (!ok || o.repeat < 1)
            return refused(QStringLiteral("--repeat takes a whole number from 1"));
    }
    o.timeoutSeconds = o.mode == 2 ? kRequestTimeoutSeconds : 0;
    if (const QString error = readTimeout(p, o.timeoutSeconds); !error.isEmpty())
        return refused(error);
    if (p.positionalArguments().size() != 1)
        return refused(QStringLiteral("name one PROGRAM: the source file or its image"));
    o.program = p.positionalArguments().first();
    return c;
}

QString versionText() {
    return QStringLiteral("quvupload ") + quv::versionText();
}

QString helpText() {
    return kUsageLine + QStringLiteral(R"(

Uploads a compiled program to a terminal, as the window's upload buttons do.
PROGRAM is the source file (prog.c) or its image (prog.bin): the header
prog.hea and the image prog.bin beside it are sent.

MODE:
  --rs232            over the serial line (the window's "Raw RS232 Upload")
  --radio            by radio to every terminal, without confirmation (the
                     window's "Raw Wireless Upload"); the default
  --request          by radio to the terminal that asks for its program with
                     "RESET" (the window's "Wireless Upload")
LINK (default: the link the window stores in its settings):
  --port N           COM port N (its device: the setting ComDevice<N>)
  --device PATH      this serial device, for this run only
  --tcp HOST[:PORT]  TCP/IP to the base station (port 4720 unless given)
Run:
  --repeat N         upload N times, stopping at the first failure; between
                     uploads --rs232 waits 3 seconds, --radio keeps 10
                     seconds, --request waits for the next terminal
  --timeout S        end the whole run after S seconds, 0 for no limit
                     (default: 60 with --request, no limit otherwise)
  --help             show this help and end
  --version          show the version and end

The settings are read, never written. On a terminal a progress bar shows;
otherwise plain lines ("progress 40%", "delivered: 9600 Baud"). Messages go
to the error output.

Exit codes:
  0    delivered
  1    not compiled: no header file, a missing or empty image, or a file
       that cannot be read
  2    port or connection: the port or the TCP/IP connection did not open,
       or the link was lost while --request waited for a terminal
  3    base station not answering
  4    transfer failed: the program did not arrive whole
  5    time-out
  64   usage error
  130  stopped by Ctrl+C or SIGTERM
)");
}

namespace {

// The program named on the command line, as the document it uploads: never
// changed, so nothing is saved.
class ProgramDocument : public CurrentDocument {
  public:
    explicit ProgramDocument(QString name) : name_(std::move(name)) {}
    QString fileName() const override { return name_; }
    bool changed() const override { return false; }
    bool askToSave() override { return true; }
    bool save() override { return true; }
    bool open(const QString&) override { return false; }

  private:
    QString name_;
};

// What the run shows: progress and results on the output, messages on the
// error output.
class Printer {
  public:
    explicit Printer(const Console& c) : c_(c) {}
    void progress(int percent) {
        if (percent <= 0 || percent == shown_) return;
        shown_ = percent;
        if (!c_.terminal) return line(QStringLiteral("progress %1%").arg(percent));
        constexpr int kWidth = 40;
        const int full = std::clamp(percent, 0, 100) * kWidth / 100;
        std::fprintf(c_.out, "\r[%s%s] %3d%%", QByteArray(full, '#').constData(),
                     QByteArray(kWidth - full, '-').constData(), percent);
        std::fflush(c_.out);
        barOpen_ = true;
    }
    void line(const QString& text) {
        endBar();
        std::fprintf(c_.out, "%s\n", text.toLocal8Bit().constData());
        std::fflush(c_.out);
    }
    void error(const QString& text) {
        endBar();
        std::fprintf(c_.err, "quvupload: %s\n", text.toLocal8Bit().constData());
        std::fflush(c_.err);
    }
    // A delivery: on a terminal it ends the full bar.
    void delivered(const QString& text) {
        shown_ = -1;
        if (!barOpen_) return line(text);
        progress(100);
        std::fprintf(c_.out, "  %s\n", text.toLocal8Bit().constData());
        std::fflush(c_.out);
        barOpen_ = false;
    }

  private:
    void endBar() {
        if (barOpen_) std::fputc('\n', c_.out);
        barOpen_ = false;
    }
    const Console& c_;
    int shown_ = -1;
    bool barOpen_ = false;
};

// The upload's messages go to the error output; nothing is asked. A message
// that comes once the run is ending follows from the end and is not shown.
class PrintedDialogs : public UnattendedDialogs {
  public:
    PrintedDialogs(Printer& printer, const EventPump& pump) : printer_(printer), pump_(pump) {}
    Answer message(const QString& text, Buttons buttons, Icon, const QString&) override {
        if (!pump_.closing()) printer_.error(text);
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }

  private:
    Printer& printer_;
    const EventPump& pump_;
};

// The exit code of an upload that did not deliver. Mode 2 reports a base
// station that does not take the link (InitializeComm) as a port that did
// not open; the run has opened that port just before, so the base station
// is what did not answer.
int failureExit(UploadFailure failure, int mode) {
    switch (failure) {
        case UploadFailure::Port:
            return mode == 2 ? kBaseSilent : kPortFailed;
        case UploadFailure::Base:
            return kBaseSilent;
        case UploadFailure::Transfer:
            return kTransferFailed;
        case UploadFailure::LinkLost:
            return kPortFailed;
        case UploadFailure::None:
        case UploadFailure::NotCompiled:
            break;
    }
    return kNotCompiled;
}

QString exitText(int code, double timeoutSeconds, bool waitingForTerminal) {
    switch (code) {
        case kNotCompiled:
            return QStringLiteral("not uploaded: the program is not compiled");
        case kPortFailed:
            return QStringLiteral("not uploaded: the port or the connection failed");
        case kBaseSilent:
            return QStringLiteral("not uploaded: the base station did not answer");
        case kTransferFailed:
            return QStringLiteral("the transfer failed");
        case kTimeOut:
            return QStringLiteral("time-out after %1 s%2")
                .arg(timeoutSeconds)
                .arg(waitingForTerminal ? QStringLiteral(": no terminal asked for its program")
                                        : QString());
        default:
            return QStringLiteral("stopped");
    }
}

QString modeText(int mode) {
    if (mode == 1) return QStringLiteral("over RS232");
    if (mode == 2) return QStringLiteral("by radio to the terminal that asks");
    return QStringLiteral("by radio without confirmation");
}

}  // namespace

int runUpload(const UploadOptions& o, const SettingsStore& stored, const Console& console) {
    MemorySettingsStore linkSettings;
    const ChosenLink chosen = chooseLink(o, stored, linkSettings);
    LinkState link = chosen.state;
    const bool tcp = chosen.tcp;
    const QByteArray& address = chosen.address;
    catchInterrupts();
    RunPump pump(o.timeoutSeconds);
    LinkCom com(linkSettings, pump);
    if (tcp) com.TCPIP_Start(address);
    SystemClock clock;
    ProgramDocument document(o.program);
    const Options options;  // EditorEnabled off: no save, no compile
    Printer printer(console);
    PrintedDialogs dialogs(printer, pump);
    TransferHooks hooks;
    hooks.setCaption = [&printer, &pump](const QString& text) {
        if (!text.trimmed().isEmpty() && !pump.closing()) printer.line(text.trimmed());
    };
    hooks.setBar = [&printer](int value) { printer.progress(value); };
    QString rate;
    hooks.showRate = [&rate](const QString& text) { rate = text; };
    hooks.overTcpip = [tcp] { return tcp; };
    TransferCommands commands(TransferServices{com, dialogs, clock, pump, document, options, link},
                              std::move(hooks));
    TransferState& st = commands.state();
    QTimer timer1;
    QObject::connect(&timer1, &QTimer::timeout, [&commands] { commands.Timer1_Timer(); });
    timer1.start(200);

    const QString linkText = chosen.describe(linkSettings);
    printer.line(
        QStringLiteral("uploading %1 %2 (link: %3)").arg(o.program, modeText(o.mode), linkText));

    const auto ended = [&pump] { return pump.endCode(); };
    // One upload; the code it ends with.
    const auto uploadOnce = [&]() -> int {
        // The upload reports an unreachable base station and an unreachable
        // link alike in mode 3, so the link is tried first.
        if (!commands.test_serial_port()) {
            if (pump.closing()) return ended();
            printer.error(errorOpeningLink(tcp));
            return kPortFailed;
        }
        rate.clear();
        const Uploader::Ending ending = commands.uploader().Transmit_program(o.mode);
        // The link monitor ends a background upload, also when the library
        // goes silent.
        while (st.background && !pump.closing()) pump.pumpOnce();
        if (st.background) com.TerminateComm(link.CommPort);
        if (pump.closing()) return ended();
        if (ending == Uploader::Ending::Done ||
            (ending == Uploader::Ending::Background && st.failure == UploadFailure::None))
            return kDelivered;
        return failureExit(st.failure, o.mode);
    };

    int code = kDelivered;
    for (int i = 1; i <= o.repeat; ++i) {
        // The pause after the window's RS232 upload button, and the spacing of
        // its repeated wireless upload; both end at the deadline, on Ctrl+C
        // and on SIGTERM.
        if (o.mode == 1 && i > 1) commands.Wait_Seconds(TransferCommands::kAfterRs232Seconds);
        if (o.mode == 3) commands.pauseBeforeNextRepetition();
        code = pump.closing() ? ended() : uploadOnce();
        if (code != kDelivered) break;
        QString to;
        if (o.mode == 2) to = QStringLiteral(" to ") + st.ReceiveTerminal.trimmed();
        if (o.repeat > 1) to += QStringLiteral(" (%1 of %2)").arg(i).arg(o.repeat);
        printer.delivered(QStringLiteral("delivered") + to + (rate.isEmpty() ? "" : ": " + rate));
        st.LastSendTime = clock.monotonic();
    }
    if (code != kDelivered)
        printer.error(
            exitText(code, o.timeoutSeconds, o.mode == 2 && st.ReceiveTerminal.isEmpty()));
    timer1.stop();
    com.StopAllProcesses();
    return code;
}

}  // namespace quv::cli
