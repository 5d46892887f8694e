// quvmonitor end to end into the base station emulator over TCP, and in raw
// line mode over a pseudo-terminal: the lines and JSON objects it prints,
// --send, --write, --count, and each way a run ends.
#include "core/monitor_timeline.h"
#include "sim_process.h"
#include "support/test_files.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Each row: the emulator's options (none: a raw line on a pseudo-terminal),
// the stored settings (";" between lines), quvmonitor's arguments ("|"
// between them; @TCP: the emulator's address, @PTY: the pseudo-terminal),
// what the emulator is told, or what the terminal on the raw line sends
// (escaped), once quvmonitor watches (";" between commands; "term": SIGTERM
// to quvmonitor once it has printed its lines), the exit code, a pattern its
// output then its error output must show (@T: a time to the millisecond), how
// many message lines it prints, the text a terminal must receive (escaped on
// a raw line), and how long the run takes in seconds (0 to 5 unless given).
struct Run {
    const char *name, *sim, *stored, *args, *during;
    int exit;
    const char* shows;
    int lines;
    const char* received;
    int minSeconds = 0, maxSeconds = 5;
};
const Run kRuns[] = {
    {"send, echo, stored link", "--echo", "TCPIP=1;TCPIPAddr=@TCP",
     "--send|TERM0001|hi \xc3\xa9\t|--count|1", "", 0,
     "^@T  TERM0001  ECHO hi \\\\xC3\\\\xA9\\\\t$", 1, "hi \xc3\xa9\t"},
    {"json, every byte", "--echo", "",
     "--tcp|@TCP|--json|--send|TERM0001|a\"b\\c\x01\xc3\xa9|--count|1", "", 0,
     R"(^\{"time":"@T","address":"TERM0001","text":"ECHO a\\"b\\\\c\\u0001Ã©"\}$)", 1,
     "a\"b\\c\x01\xc3\xa9"},
    {"count", "", "", "--tcp|@TCP|--count|2", "say TERM0001 one;say TERM0001 two;say TERM0001 3", 0,
     "^@T  TERM0001  one\\n@T  TERM0001  two$", 2, ""},
    {"count 0: send and end", "--echo", "", "--tcp|@TCP|--send|TERM0001|hi|--count|0", "", 0,
     "watching the terminals", 0, "hi"},
    {"refused", "--echo", "", "--tcp|@TCP|--send|NOBODY01|hi", "", 3,
     "did not take the text for NOBODY01", 0, ""},
    {"time-out", "", "", "--tcp|@TCP|--timeout|1", "", 5, "time-out after 1 s$", 0, "", 1, 4},
    {"SIGTERM", "", "", "--tcp|@TCP", "term", 130, "watching", 0, "", 0, 4},
    {"closed tcp port", "", "", "--tcp|127.0.0.1:1", "", 2, "Error Opening IP Connection$", 0, ""},
    {"link lost", "", "", "--tcp|@TCP", "drop", 2, "link to the base station was lost$", 0, ""},
    {"base silent", "--silent-after 0", "", "--tcp|@TCP", "", 3, "did not answer$", 0, "", 0, 8},
    {"usage", "", "", "--send|TERM0001", "", 64, "takes one TEXT", 0, ""},
    {"raw: every byte both ways, count", nullptr, "TCPIP=1",
     R"(--raw|--device|@PTY|--write|a\x00\xff\r\n|--count|3)", R"(x\x00\xFF\r\ny\nquiet)", 0,
     R"(^@T  x\\x00\\xFF\\r\\n\n@T  y\\n\n@T  quiet$)", 3, R"(a\x00\xFF\r\n)"},
    {"raw: json, SIGTERM", nullptr, "", "--raw|--device|@PTY|--json", R"(q\x00\xFF\r;term)", 130,
     R"(^\{"time":"@T","text":"q\\u0000ÿ\\r"\}$)", 1, ""},
};

// A pseudo-terminal pair: quvmonitor opens the device at path, the test is
// the terminal at the master side. The test holds the device open too, in
// raw mode, so that no byte is changed and the master never reads a hang-up.
struct Pty {
    int master = -1, device = -1;
    QString path;
    QByteArray got;
    bool open() {
        termios mode{};
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || ::fcntl(master, F_SETFL, O_NONBLOCK) || ::grantpt(master) ||
            ::unlockpt(master))
            return false;
        path = QString::fromLocal8Bit(::ptsname(master));
        device = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
        if (device < 0 || ::tcgetattr(device, &mode)) return false;
        ::cfmakeraw(&mode);
        return ::tcsetattr(device, TCSANOW, &mode) == 0;
    }
    void read() {
        char bytes[256];
        for (ssize_t n; (n = ::read(master, bytes, sizeof bytes)) > 0;) got.append(bytes, n);
    }
    ~Pty() {
        for (int fd : {device, master})
            if (fd >= 0) ::close(fd);
    }
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
        const bool raw = !run.sim;
        quvsim::SimProcess emulator(QString(run.sim).split(' ', Qt::SkipEmptyParts) << "--tcp"
                                                                                    << "0");
        Pty pty;
        QVERIFY(raw ? pty.open() : emulator.start());
        const auto place = [&](QString text) {
            return text.replace("@TCP", emulator.tcpAddress()).replace("@PTY", pty.path);
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
        bool term = false;
        QObject::connect(&monitor, &QProcess::readyReadStandardOutput,
                         [&] { out += monitor.readAllStandardOutput(); });
        QObject::connect(&monitor, &QProcess::readyReadStandardError, [&] {
            const bool watching = err.contains("watching");
            err += monitor.readAllStandardError();
            if (watching || !err.contains("watching")) return;
            for (const QByteArray& command : QByteArray(run.during).split(';')) {
                const QByteArray bytes = quv::unescapedBytes(command).value_or("");
                if (command == "term")
                    term = true;
                else if (raw)
                    QCOMPARE(::write(pty.master, bytes.data(), bytes.size()), bytes.size());
                else if (!command.isEmpty())
                    emulator.command(command);
            }
        });
        QElapsedTimer clock;
        clock.start();
        monitor.start(QUVMONITOR_EXECUTABLE, place(run.args).split('|'));
        // Bounded: a run that does not end is killed and fails the row.
        const auto ended = [&] {
            pty.read();
            if (term && out.count('\n') >= run.lines) {
                term = false;
                monitor.terminate();
            }
            return monitor.state() == QProcess::NotRunning;
        };
        if (!emulator.waitFor(ended, 20000)) {
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
        if (raw) {
            pty.read();
            QCOMPARE(quv::escapedBytes(pty.got), QString(run.received));
        } else if (*run.received) {
            QVERIFY(emulator.waitReports("message", 1, 2000));
            QCOMPARE(emulator.reports("message").first().value("text").toString().toLatin1(),
                     QByteArray(run.received));
        }
    }
};

QTEST_GUILESS_MAIN(TestQuvMonitor)
#include "tst_quvmonitor.moc"
