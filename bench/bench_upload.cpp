// Prints how close each upload, run through Transmit_program, comes to the
// line's limit at 38400 baud (3840 bytes a second) for a 64 KiB program sent
// into the base station emulator over TCP and over a pseudo-terminal:
// payload bytes a second divided by 3840. Mode 1 is timed from the call to
// the emulator's report of the whole frame, mode 3 over the call, mode 2
// from the terminal's "RESET" to the end event; with each upload, the longest
// time the event loop did not run meanwhile (goal: under 16 ms, one frame).
// It also prints the time the program spends on its own in Transmit_program
// (reading the files, the checksums, the frame), measured on a library that
// answers at once.

#include "bench_common.h"
#include "comm/link_com.h"
#include "core/clock.h"
#include "core/current_document.h"
#include "core/event_pump.h"
#include "core/link_state.h"
#include "core/options.h"
#include "core/settings_store.h"
#include "sim_process.h"
#include "support/fixed_clock.h"
#include "support/recording_com.h"
#include "support/scripted_dialogs.h"
#include "transfer/transfer_commands.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace quv;
using namespace quv::bench;

namespace {

constexpr qint32 kBaud = 38400;
constexpr double kLineBytesPerSecond = kBaud / 10.0;
constexpr int kImageSize = 64 * 1024;

// The compiled program prog.hea and prog.bin in a folder of its own.
struct Program {
    QTemporaryDir dir;
    Document document;
    Program() {
        QByteArray image(kImageSize, '\0');
        for (int i = 0; i < kImageSize; ++i)
            image[i] = static_cast<char>((i * 131 + i / 97) & 0xFF);
        write("prog.hea", QByteArray(8, '\x11'));
        write("prog.bin", image);
        document.name = dir.filePath("prog.c");
    }
    void write(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::WriteOnly)) f.write(bytes);
    }
};

// The transfer subsystem on the given library and clock, its link monitor
// ticking every 200 ms as in the window.
struct Uploads {
    test::ScriptedDialogs dialogs;
    LinkState link;
    Options options;
    QtEventPump pump{&link.AppClosing};
    QString caption;
    std::function<void(const QString&)> onCaption;
    TransferCommands commands;
    QTimer tick;
    Uploads(QuvCom& com, Clock& clock, Document& document)
        : commands(TransferServices{com, dialogs, clock, pump, document, options, link}, hooks()) {
        QObject::connect(&tick, &QTimer::timeout, [this] { commands.Timer1_Timer(); });
        tick.start(200);
    }
    TransferHooks hooks() {
        TransferHooks h;
        h.caption = [this] { return caption; };
        h.setCaption = [this](const QString& c) {
            caption = c;
            if (onCaption) onCaption(c);
        };
        return h;
    }
};

void print(const char* what, const char* via, qint64 bytes, double seconds, double lineSeconds,
           bool good, StallProbe::Stall stall) {
    std::printf(
        "%-28s %-4s %6lld bytes in %7.3f s: efficiency %.4f, %+7.0f ms beyond the line "
        "time, event loop stalled at most %.1f ms (%.1f ms of the program's own work)%s\n",
        what, via, static_cast<long long>(bytes), seconds, bytes / seconds / kLineBytesPerSecond,
        (seconds - lineSeconds) * 1000, stall.longestMs, stall.busiestMs, good ? "" : "  (FAILED)");
    std::fflush(stdout);
}

void upload(quvsim::SimProcess& sim, const QString& via, int mode, Program& program) {
    MemorySettingsStore settings;
    if (via == "pty") settings.save(QStringLiteral("ComDevice1"), sim.ptyPath());
    SystemClock clock;
    QtEventPump pump;
    LinkCom com(settings, pump);
    if (via == "tcp") com.TCPIP_Start(sim.tcpAddress());
    Uploads u(com, clock, program.document);
    const qsizetype before = sim.reports("program").size();
    const QByteArray v = via.toLatin1();
    QElapsedTimer t;
    StallProbe probe;
    if (mode == 1) {
        t.start();
        u.commands.uploader().Transmit_program(1);
        // The stall while the program uploads, not while this waits for the report.
        const StallProbe::Stall stall = probe.stall();
        sim.waitReports("program", static_cast<int>(before) + 1, 120000);
        // The emulator reports a frame 50 ms after its last byte.
        const double seconds = t.nsecsElapsed() / 1e9 - 0.05;
        const bool good = sim.reports("program").size() > before &&
                          sim.reports("program").last().value("checksums").toString() == "good";
        print("mode 1, RS232 frame", v, kImageSize, seconds,
              (kImageSize + 17) / kLineBytesPerSecond, good, stall);
    } else if (mode == 3) {
        t.start();
        u.commands.uploader().Transmit_program(3);
        const double seconds = t.nsecsElapsed() / 1e9;
        const double sending = clock.monotonic() - u.commands.state().start_time;
        const StallProbe::Stall stall = probe.stall();
        print("mode 3, whole call", v, kImageSize, seconds, (kImageSize + 4) / kLineBytesPerSecond,
              sim.waitReports("program", static_cast<int>(before) + 1, 5000), stall);
        print("mode 3, from the transfer", v, kImageSize, sending,
              (kImageSize + 4) / kLineBytesPerSecond, true, stall);
    } else {
        u.onCaption = [&](const QString& c) {
            if (c == Uploader::kWaiting) sim.command("reset");
            if (c == Uploader::kSending) t.start();
        };
        u.commands.uploader().Transmit_program(2);
        pumpUntil(
            pump, [&] { return !u.commands.state().background; }, 120000);
        const double seconds = t.nsecsElapsed() / 1e9;
        const StallProbe::Stall stall = probe.stall();
        pumpUntil(
            pump, [&] { return !u.commands.busy(); }, 2000);
        print("mode 2, RESET to end event", v, kImageSize, seconds,
              (kImageSize + 4) / kLineBytesPerSecond, u.dialogs.messages.isEmpty(), stall);
    }
}

// A library that answers at once and keeps no copy of what it is given.
struct InstantCom : test::RecordingCom {
    qint32 IO_Write(qint32, qint32 count, const QByteArray&) override { return count; }
    void BackSendMessage(const QByteArray&, const QByteArray&, qint32) override {}
    qint32 Send_Message_Without_Confirmation_ombrex(qint32, const QByteArray&, const QByteArray&,
                                                    qint32, qint32, qint32) override {
        return 1;
    }
};

// The program's own time in Transmit_program: the library answers at once
// and asks for no wait after "!DOWN".
void ownTime(Program& program) {
    InstantCom com;
    com.results[QStringLiteral("ChangeBaseNameAntenaFast")] = 0;
    test::FixedClock clock;
    Uploads u(com, clock, program.document);
    for (int mode : {1, 3, 2}) {
        if (mode == 2)
            u.onCaption = [&](const QString& c) {
                // The request comes once the wait has begun.
                if (c == Uploader::kWaiting)
                    QTimer::singleShot(0, [&] { u.commands.state().ReceiveTerminal = "TERM0001"; });
            };
        double best = 1e9;
        for (int run = 0; run < 5; ++run) {
            com.calls.clear();
            u.commands.state().background = false;
            QElapsedTimer t;
            t.start();
            u.commands.uploader().Transmit_program(mode);
            best = std::min(best, t.nsecsElapsed() / 1e6);
        }
        std::printf("mode %d: %.1f ms of the program's own work in Transmit_program\n", mode, best);
        std::fflush(stdout);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Program program;
    ownTime(program);
    quvsim::SimProcess sim({"--tcp", "0", "--pty", "--baud", QString::number(kBaud)});
    if (!sim.start()) {
        std::fprintf(stderr, "the emulator did not start\n%s\n", sim.log().constData());
        return 1;
    }
    std::printf(
        "64 KiB program through Transmit_program into quvbase-sim paced at %d baud "
        "(limit %.0f bytes/s)\n",
        kBaud, kLineBytesPerSecond);
    for (const QString& via : {QStringLiteral("tcp"), QStringLiteral("pty")})
        for (int mode : {1, 3, 2}) upload(sim, via, mode, program);
    sim.stop();
    return 0;
}
