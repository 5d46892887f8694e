// Prints how close uploads through the base station emulator come to the
// line's limit at 38400 baud (3840 bytes a second): payload bytes a second
// divided by 3840, for a 64 KiB program sent as a background transfer and
// as the raw RS232 frame, over TCP and over a pseudo-terminal.

#include "comm/link_com.h"
#include "core/checksum.h"
#include "core/event_pump.h"
#include "core/settings_store.h"
#include "sim_process.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonObject>

#include <cstdio>

namespace {

constexpr qint32 kBaud = 38400;
constexpr double kLineBytesPerSecond = kBaud / 10.0;
constexpr int kImageSize = 64 * 1024;

QByteArray makeImage() {
    QByteArray b(kImageSize, '\0');
    for (int i = 0; i < kImageSize; ++i) b[i] = static_cast<char>((i * 131 + i / 97) & 0xFF);
    return b;
}

void print(const char* what, const char* via, qint64 payload, double seconds, bool good) {
    const double efficiency = payload / seconds / kLineBytesPerSecond;
    std::printf("%-22s %-4s %7lld bytes in %7.3f s: %8.1f bytes/s, efficiency %.4f%s\n", what, via,
                static_cast<long long>(payload), seconds, payload / seconds, efficiency,
                good ? "" : "  (FAILED)");
    std::fflush(stdout);
}

quv::QtEventPump pump;

struct Setup {
    quv::MemorySettingsStore settings;
    quv::LinkCom com{settings, pump};
    Setup(const QString& via, quvsim::SimProcess& sim) {
        if (via == "pty")
            settings.save(QStringLiteral("ComDevice1"), sim.ptyPath());
        else
            com.TCPIP_Start(sim.tcpAddress());
    }
};

void backgroundTransfer(quvsim::SimProcess& sim, const QString& via, const QByteArray& image) {
    Setup s(via, sim);
    qint32 ended = 1;
    s.com.BackGetEvent([&](qint32 code, qint32 value, qint32, const QByteArray&) {
        if (code == 2) ended = value;
    });
    if (!s.com.InitializeComm(1, kBaud)) {
        std::printf("background transfer over %s: the base station does not answer\n",
                    qPrintable(via));
        return;
    }
    const QByteArray payload = image + quv::Checksum::of(image).trailer();
    QElapsedTimer clock;
    clock.start();
    s.com.BackSendMessage("TERM0001", payload, static_cast<qint32>(payload.size()));
    quv::pumpUntil(
        pump, [&] { return ended != 1; }, 120000);
    const double seconds = clock.nsecsElapsed() / 1e9;
    s.com.TerminateComm(1);
    print("background transfer", qPrintable(via), payload.size(), seconds, ended == 0);
}

void rs232Frame(quvsim::SimProcess& sim, const QString& via, const QByteArray& image) {
    Setup s(via, sim);
    const QByteArray head = "S" + QByteArray(8, '\x11');
    const QByteArray frame =
        head + quv::Checksum::of(head).trailer() + image + quv::Checksum::of(image).trailer();
    const qsizetype before = sim.reports("program").size();
    if (!s.com.IO_Open(1, 115200) || !s.com.ChangeBaseNameAntenaFast(1, "!DOWN")) {
        std::printf("RS232 frame over %s: the base station does not answer\n", qPrintable(via));
        return;
    }
    s.com.IO_Close(1);
    s.com.IO_Open(1, kBaud);
    QElapsedTimer clock;
    clock.start();
    s.com.IO_Write(1, static_cast<qint32>(frame.size()), frame);
    s.com.IO_Close(1);
    sim.waitReports("program", static_cast<int>(before) + 1, 120000);
    const double seconds = clock.nsecsElapsed() / 1e9;
    const auto reports = sim.reports("program");
    const bool good = reports.size() > before &&
                      reports.last().value("checksums").toString() == QLatin1String("good");
    print("raw RS232 frame", qPrintable(via), image.size(), seconds, good);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    quvsim::SimProcess sim({"--tcp", "0", "--pty", "--baud", QString::number(kBaud)});
    if (!sim.start()) {
        std::fprintf(stderr, "the emulator did not start\n%s\n", sim.log().constData());
        return 1;
    }
    std::printf("64 KiB program through quvbase-sim paced at %d baud (limit %.0f bytes/s)\n", kBaud,
                kLineBytesPerSecond);
    const QByteArray image = makeImage();
    for (const QString& via : {QStringLiteral("tcp"), QStringLiteral("pty")}) {
        backgroundTransfer(sim, via, image);
        rs232Frame(sim, via, image);
    }
    sim.stop();
    return 0;
}
