// quvmonitor end to end into the base station emulator over TCP: the lines
// and JSON objects it prints, --send, --count, and each way a run ends.
#include "sim_process.h"
#include "support/test_files.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Each row: the emulator's options, the stored settings (";" between lines),
// quvmonitor's arguments ("|" between them; @TCP: the emulator's address),
// what the emulator is told once quvmonitor watches (";" between commands;
// "term": SIGTERM to quvmonitor), the exit code, a pattern its output then
// its error output must show (@T: a time to the millisecond), how many
// message lines it prints, the text a terminal must receive, and how long
// the run takes in seconds.
struct Run {
    const char *name, *sim, *stored, *args, *during;
    int exit;
    const char* shows;
    int lines;
    const char* received;
    int minSeconds, maxSeconds;
};
const Run kRuns[] = {
    {"send, echo, stored link", "--echo", "TCPIP=1;TCPIPAddr=@TCP",
     "--send|TERM0001|hi \xc3\xa9\t|--count|1", "", 0,
     "^@T  TERM0001  ECHO hi \\\\xC3\\\\xA9\\\\t$", 1, "hi \xc3\xa9\t", 0, 5},
    {"json, every byte", "--echo", "",
     "--tcp|@TCP|--json|--send|TERM0001|a\"b\\c\x01\xc3\xa9|--count|1", "", 0,
     R"(^\{"time":"@T","address":"TERM0001","text":"ECHO a\\"b\\\\c\\u0001Ã©"\}$)", 1,
     "a\"b\\c\x01\xc3\xa9", 0, 5},
    {"count", "", "", "--tcp|@TCP|--count|2", "say TERM0001 one;say TERM0001 two;say TERM0001 3", 0,
     "^@T  TERM0001  one\\n@T  TERM0001  two$", 2, "", 0, 5},
    {"count 0: send and end", "--echo", "", "--tcp|@TCP|--send|TERM0001|hi|--count|0", "", 0,
     "watching the terminals", 0, "hi", 0, 5},
    {"refused", "--echo", "", "--tcp|@TCP|--send|NOBODY01|hi", "", 3,
     "did not take the text for NOBODY01", 0, "", 0, 5},
    {"time-out", "", "", "--tcp|@TCP|--timeout|1", "", 5, "time-out after 1 s$", 0, "", 1, 4},
    {"SIGTERM", "", "", "--tcp|@TCP", "term", 130, "watching", 0, "", 0, 4},
    {"closed tcp port", "", "", "--tcp|127.0.0.1:1", "", 2, "Error Opening IP Connection$", 0, "",
     0, 5},
    {"link lost", "", "", "--tcp|@TCP", "drop", 2, "link to the base station was lost$", 0, "", 0,
     5},
    {"base silent", "--silent-after 0", "", "--tcp|@TCP", "", 3, "did not answer$", 0, "", 0, 8},
    {"usage", "", "", "--send|TERM0001", "", 64, "takes one TEXT", 0, "", 0, 5},
};

}  // namespace

class TestQuvMonitor : public QObject {
    Q_OBJECT
  private slots:
    void endToEnd_data() {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kRuns)); ++i) QTest::newRow(kRuns[i].name) << i;
    }
    void endToEnd() {
        QFETCH(int, row);
        const Run& run = kRuns[row];
        quvsim::SimProcess emulator(QString(run.sim).split(' ', Qt::SkipEmptyParts) << "--tcp"
                                                                                    << "0");
        QVERIFY(emulator.start());
        const auto place = [&](QString text) {
            return text.replace("@TCP", emulator.tcpAddress());
        };
        QTemporaryDir dir;
        QVERIFY(!quv::test::writeTestFile(
                     dir.path(), "config/QuvDeveloper.conf",
                     place("[Startup]\n" + QString(run.stored).replace(';', '\n') + '\n').toUtf8())
                     .isEmpty());

        QProcess monitor;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", dir.path());
        env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        monitor.setProcessEnvironment(env);
        QByteArray out, err;
        QObject::connect(&monitor, &QProcess::readyReadStandardOutput,
                         [&] { out += monitor.readAllStandardOutput(); });
        QObject::connect(&monitor, &QProcess::readyReadStandardError, [&] {
            const bool watching = err.contains("watching");
            err += monitor.readAllStandardError();
            if (watching || !err.contains("watching")) return;
            if (QByteArray(run.during) == "term") return monitor.terminate();
            for (const QByteArray& command : QByteArray(run.during).split(';'))
                if (!command.isEmpty()) emulator.command(command);
        });
        QElapsedTimer clock;
        clock.start();
        monitor.start(QUVMONITOR_EXECUTABLE, place(run.args).split('|'));
        // Bounded: a run that does not end is killed and fails the row.
        if (!emulator.waitFor([&] { return monitor.state() == QProcess::NotRunning; }, 20000)) {
            monitor.kill();
            QVERIFY(monitor.waitForFinished(5000) && false);
        }
        const qint64 ms = clock.elapsed();
        out += monitor.readAllStandardOutput();
        err += monitor.readAllStandardError();

        QCOMPARE(monitor.exitCode(), run.exit);
        const QString time = "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}";
        QVERIFY2(QString::fromUtf8(out + '\n' + err)
                     .contains(QRegularExpression(QString(run.shows).replace("@T", time),
                                                  QRegularExpression::MultilineOption)),
                 (out + err).constData());
        QCOMPARE(out.count('\n'), run.lines);
        QVERIFY2(ms >= run.minSeconds * 1000 && ms <= run.maxSeconds * 1000,
                 qPrintable(QString::number(ms)));
        if (*run.received) {
            QVERIFY(emulator.waitReports("message", 1, 2000));
            QCOMPARE(emulator.reports("message").first().value("text").toString().toLatin1(),
                     QByteArray(run.received));
        }
    }
};

QTEST_GUILESS_MAIN(TestQuvMonitor)
#include "tst_quvmonitor.moc"
