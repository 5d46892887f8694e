// Floods the Terminal Monitor with terminal messages from the base station
// emulator, 1,000 a second for 10 seconds over TCP, and prints: the messages
// shown against those sent, the longest time the window's event loop did
// not run, the latency from handing a message to the emulator to its row in
// the window, and the memory at the end. A second flood on a timeline kept
// to 2,000 rows shows that the memory stays bounded however long it runs.

#include "bench_common.h"
#include "comm/link_com.h"
#include "core/clock.h"
#include "core/event_pump.h"
#include "core/link_state.h"
#include "core/options.h"
#include "core/settings_store.h"
#include "sim_process.h"
#include "support/scripted_dialogs.h"
#include "transfer/monitor_window.h"
#include "transfer/transfer_commands.h"

#include <QApplication>
#include <QFile>

#include <cstdio>
#include <vector>

using namespace quv;
using namespace quv::bench;

namespace {

constexpr int kPerSecond = 1000;
constexpr int kSeconds = 10;
constexpr int kBatchMs = 10;

// The resident memory of this process, in MiB.
double residentMiB() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ')[0].toDouble() / 1024;
    return -1;
}

struct Flood {
    qint64 sent = 0;
    qint64 shown = 0;
    std::vector<double> latencies;
};

// Says kPerSecond messages a second for kSeconds through the emulator, each
// "n <sent at, ms>", and counts the rows that reach the window's model.
Flood flood(quvsim::SimProcess& sim, QtEventPump& pump, MonitorModel& model,
            const QElapsedTimer& clock) {
    Flood f;
    const auto counting = QObject::connect(
        &model, &QAbstractItemModel::rowsInserted, [&](const QModelIndex&, int first, int last) {
            for (int r = first; r <= last; ++r) {
                const MonitorRow* row = model.rowAt(r);
                if (!row || row->kind != MonitorKind::Received) continue;
                ++f.shown;
                f.latencies.push_back(static_cast<double>(clock.elapsed()) -
                                      row->bytes.split(' ').value(1).toDouble());
            }
        });
    const qint64 from = clock.elapsed();
    const qint64 total = qint64{kPerSecond} * kSeconds;
    while (f.sent < total) {
        const qint64 due = std::min(total, (clock.elapsed() - from) * kPerSecond / 1000 + 1);
        QByteArray lines;
        for (; f.sent < due; ++f.sent)
            lines += "say T" + QByteArray::number(f.sent % 4 + 1) + " " +
                     QByteArray::number(f.sent) + " " + QByteArray::number(clock.elapsed()) + "\n";
        if (!lines.isEmpty()) sim.command(lines.chopped(1));
        pumpUntil(
            pump, [] { return false; }, kBatchMs);
    }
    pumpUntil(
        pump, [&] { return f.shown >= f.sent; }, 5000);
    QObject::disconnect(counting);
    return f;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList terminals;
    for (const char* t : {"T1", "T2", "T3", "T4"}) terminals << "--terminal" << t;
    quvsim::SimProcess sim(terminals << "--tcp"
                                     << "0");
    if (!sim.start()) {
        std::printf("bench_monitor: the emulator did not start\n");
        return 1;
    }
    MemorySettingsStore settings;
    LinkState link;
    QtEventPump pump{&link.AppClosing};
    LinkCom com(settings, pump);
    com.TCPIP_Start(sim.tcpAddress());
    test::ScriptedDialogs dialogs;
    SystemClock systemClock;
    Document document;
    Options options;
    TransferCommands transfer(
        TransferServices{com, dialogs, systemClock, pump, document, options, link}, {});
    QTimer timer1;
    QObject::connect(&timer1, &QTimer::timeout, [&] { transfer.Timer1_Timer(); });
    timer1.start(200);
    MonitorWindow window(transfer.monitorSession(), dialogs, nullptr, nullptr);
    window.show();
    if (!transfer.monitorSession().listening()) {
        std::printf("bench_monitor: the window did not connect\n");
        return 1;
    }
    QElapsedTimer clock;
    clock.start();
    const double before = residentMiB();

    StallProbe probe;
    const Flood f = flood(sim, pump, window.model(), clock);
    const StallProbe::Stall stall = probe.stall();
    std::printf("flood of %d messages a second for %d s over TCP, 4 terminals\n", kPerSecond,
                kSeconds);
    std::printf("  shown %lld of %lld sent%s\n", static_cast<long long>(f.shown),
                static_cast<long long>(f.sent), f.shown == f.sent ? "" : "  (MISSING)");
    std::printf("  longest time the event loop did not run: %.1f ms (own work in it: %.1f ms)\n",
                stall.longestMs, stall.busiestMs);
    std::printf("  latency to the row: median %.1f ms, 95%% %.1f ms, longest %.1f ms\n",
                percentile(f.latencies, 0.5), percentile(f.latencies, 0.95),
                percentile(f.latencies, 1));
    std::printf("  memory: %.1f MiB before, %.1f MiB after, %lld rows kept\n", before,
                residentMiB(), static_cast<long long>(transfer.monitorSession().timeline().size()));

    transfer.monitorSession().timeline().setCapacity(2000);
    window.model().rebuild();
    const double small = residentMiB();
    const Flood again = flood(sim, pump, window.model(), clock);
    const MonitorTimeline& timeline = transfer.monitorSession().timeline();
    std::printf("the same flood on a timeline kept to 2,000 rows\n");
    std::printf("  shown %lld of %lld sent; %lld rows kept, %lld dropped\n",
                static_cast<long long>(again.shown), static_cast<long long>(again.sent),
                static_cast<long long>(timeline.size()),
                static_cast<long long>(timeline.dropped()));
    std::printf("  memory: %.1f MiB before, %.1f MiB after\n", small, residentMiB());
    window.close();
    return 0;
}
