// Each upload end to end through the real library into the base station
// emulator, over TCP and over a pseudo-terminal, and the faults of the line.
#include "comm/link_com.h"
#include "core/event_pump.h"
#include "core/settings_store.h"
#include "sim_process.h"
#include "upload_rig.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QTimer>
#include <QtTest>

using namespace quv;
using namespace quv::test;

namespace {

const QByteArray kHeader = QByteArray::fromHex("0102030405060708");

QByteArray image(const QString& kind) {
    if (kind == "empty") return QByteArray("");
    if (kind == "ff") return QByteArray(300, '\xff');
    return patternBytes(kind.toInt());
}

// The rig on the real library, with the link monitor ticking every 200 ms.
// The clock moves only while a transfer runs in the background, 0.2 s a
// tick, so that each rate shown is known.
struct LiveRig : UploadRig {
    MemorySettingsStore settings;
    std::unique_ptr<quvsim::SimProcess> sim;
    std::unique_ptr<LinkCom> com;
    QtEventPump pump{&link.AppClosing};
    QStringList log;
    QTimer tick;

    bool start(const QString& via, QStringList simOptions = {}) {
        simOptions << (via == "tcp" ? QStringList{"--tcp", "0"} : QStringList{"--pty"});
        sim = std::make_unique<quvsim::SimProcess>(simOptions);
        if (!sim->start()) return false;
        if (via == "pty") settings.save("ComDevice1", sim->ptyPath());
        com = std::make_unique<LinkCom>(settings, pump);
        if (via == "tcp") com->TCPIP_Start(sim->tcpAddress());
        build(*com, pump, log);
        QObject::connect(&tick, &QTimer::timeout, [this] {
            if (t->state().background) clock.seconds += 0.2;
            t->Timer1_Timer();
        });
        tick.start(200);
        return true;
    }
    // "reset": the terminal asks once the upload waits; "esc": the user gives up.
    void during(const QString& script) {
        if (script == "reset") QTimer::singleShot(300, [this] { sim->command("reset"); });
        if (script == "esc") QTimer::singleShot(300, [this] { t->escape(); });
    }
    bool waitEnd(int ms) {
        return pumpUntil(
            pump, [this] { return !t->busy(); }, ms);
    }
    QStringList shown(const QString& hook) const {
        return log.filter(QRegularExpression('^' + hook));
    }
};

}  // namespace

class TestUploads : public QObject {
    Q_OBJECT
  private slots:
    // Each row: mode, image ("empty", "ff" or a length), what happens in the wait.
    void eachMode_data() {
        QTest::addColumn<QString>("via");
        QTest::addColumn<QString>("row");
        for (const char* via : {"tcp", "pty"})
            for (const char* row :
                 {"1 empty", "1 ff", "1 3000", "3 3000", "2 3000 reset", "2 3000 esc"})
                QTest::addRow("%s %s", via, row) << via << row;
    }
    void eachMode() {
        QFETCH(QString, via);
        QFETCH(QString, row);
        const int mode = row.section(' ', 0, 0).toInt();
        const QString script = row.section(' ', 2);
        const QByteArray img = image(row.section(' ', 1, 1));
        LiveRig r;
        QVERIFY(r.start(via, {"--terminal", "TERM0001", "--terminal", "TERM0002"}));
        r.program(kHeader, img);
        r.during(script);
        r.t->uploader().Transmit_program(mode);
        QVERIFY(r.waitEnd(10000));
        QCOMPARE(r.dialogs.texts(), QStringList());
        QCOMPARE(r.caption, QString("Old"));
        if (mode == 2)
            QCOMPARE(r.shown("caption"), (QStringList{"caption(Waiting Terminal Request ...)",
                                                      "caption(Sending... )", "caption(Old)"}));
        if (script == "esc") {
            QCOMPARE(r.shown("rate"), QStringList());
            QVERIFY(!r.sim->waitReports("program", 1, 500));
            return;
        }
        const int reports = mode == 3 ? 2 : 1;
        QVERIFY(r.sim->waitReports("program", reports, 4000));
        for (const QJsonObject& p : r.sim->reports("program")) {
            QCOMPARE(p.value("via").toString(), mode == 1   ? "serial"
                                                : mode == 2 ? "radio"
                                                            : "broadcast");
            QCOMPARE(p.value("checksums").toString(), QString("good"));
            QCOMPARE(readTestFile(p.value("path").toString()), img);
        }
        if (mode == 1) {
            // The frame as it crossed the line, byte for byte.
            const QByteArray head = "S" + kHeader;
            QCOMPARE(readTestFile(r.sim->reports("program").first().value("frame").toString()),
                     head + Checksum::of(head).trailer() + img + Checksum::of(img).trailer());
        }
        // Modes 1 and 3 took no time on the test clock (divisor 1); mode 2
        // took the ticks up to its end event.
        const double seconds = mode == 2 ? r.clock.seconds - 36000 : 0;
        QVERIFY(mode != 2 || seconds > 0);
        const qint64 rate = static_cast<qint64>(img.size() * 10 / (mode == 2 ? seconds : 1));
        QCOMPARE(r.shown("rate"), QStringList{QStringLiteral("rate(%1 Baud)").arg(rate)});
    }

    // Each fault ends the upload within a bound, with the message that says
    // what happened; a damaged byte is repaired on the way.
    // Each row: mode, then the emulator's fault option and its count, or
    // "gone" for an emulator that ends in the middle of the transfer.
    void faults_data() {
        QTest::addColumn<QString>("via");
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("message");
        const QString failed = LinkMonitor::kDeliveryFailed;
        for (const char* via : {"tcp", "pty"}) {
            QTest::addRow("%s dropped", via) << via << "2 --drop-after 3000" << failed;
            QTest::addRow("%s corrupted", via) << via << "2 --corrupt-in 3000"
                                               << "";
            QTest::addRow("%s silent in transfer", via) << via << "2 --silent-after 3000" << failed;
            QTest::addRow("%s silent, radio", via)
                << via << "2 --silent-after 0" << Uploader::kErrorOpeningComPort;
            QTest::addRow("%s broadcast cut", via)
                << via << "3 --drop-after 3000" << Uploader::kBroadcastFailed;
            QTest::addRow("%s silent, broadcast", via)
                << via << "3 --silent-after 0" << Uploader::kErrorAntena;
        }
        QTest::addRow("pty device disappears") << "pty"
                                               << "2 gone" << failed;
    }
    void faults() {
        QFETCH(QString, via);
        QFETCH(QString, row);
        QFETCH(QString, message);
        QStringList options = row.split(' ');
        const int mode = options.takeFirst().toInt();
        const bool gone = options == QStringList{"gone"};
        if (gone) options.clear();
        LiveRig r;
        QVERIFY(r.start(via, options << "--baud"
                                     << "38400"));
        const QByteArray img = image("12000");
        r.program(kHeader, img);
        r.during("reset");
        if (gone) QTimer::singleShot(1500, [&] { QVERIFY(r.sim->terminate()); });
        QElapsedTimer clock;
        clock.start();
        r.t->uploader().Transmit_program(mode);
        QVERIFY(r.waitEnd(15000));
        QCOMPARE(r.dialogs.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        // The radio part: 12 KB at 38400 baud take 3.2 s; a fault ends it in
        // the library's 2 s after the line went wrong.
        QVERIFY2(clock.elapsed() < 7000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(r.caption, QString("Old"));
        QCOMPARE(r.shown("rate").size(), message.isEmpty() ? 1 : 0);
        if (message.isEmpty()) {
            QVERIFY(r.sim->waitReports("program", 1, 2000));
            QCOMPARE(readTestFile(r.sim->reports("program").first().value("path").toString()), img);
        }
    }
};

QTEST_GUILESS_MAIN(TestUploads)
#include "tst_uploads.moc"
