// quvupload: its command line as a table, and the built program end to end
// into the base station emulator, over TCP and a pseudo-terminal, in each
// mode and in each class of failure.
#include "cli/upload_run.h"
#include "sim_process.h"
#include "support/test_files.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace quv::cli;

namespace {

// A command line's outcome in one line: mode, link, repeat, time-out, program.
QString summary(const CommandLine& c) {
    if (c.action == CommandLine::Action::Help) return "help";
    if (c.action == CommandLine::Action::Version) return "version";
    if (c.action == CommandLine::Action::Usage) return c.error.isEmpty() ? "no reason" : "usage";
    const UploadOptions& o = c.options;
    const QString links[] = {"stored", "port:" + QString::number(o.port), "device:" + o.device,
                             "tcp:" + QString::fromLatin1(o.address)};
    return QStringLiteral("%1 %2 %3 %4 %5")
        .arg(o.mode)
        .arg(links[static_cast<int>(o.link)])
        .arg(o.repeat)
        .arg(o.timeoutSeconds)
        .arg(o.program);
}

const char* const kDelivered = "^delivered: \\d+ Baud$";

// Each row: the emulator's options, the stored settings (";" between lines),
// quvupload's arguments, its exit code, a pattern its output must show, the
// programs the emulator must report received intact, and how long the run
// may take in seconds (0 to 10 unless given). @TCP and @PTY stand for the
// emulator's address and pseudo-terminal; "reset" makes the terminal ask
// once quvupload waits, "term" sends it SIGTERM once it has delivered.
struct Run {
    const char *name, *sim, *stored, *args;
    int exit;
    const char *shows, *received;
    int minSeconds = 0, maxSeconds = 10;
};
const Run kRuns[] = {
    {"rs232, stored tcp", "", "TCPIP=1;TCPIPAddr=@TCP", "--rs232 prog.c", 0, kDelivered, "serial"},
    {"rs232, --port over stored tcp", "", "TCPIP=1;TCPIPAddr=127.0.0.1:1;ComDevice3=@PTY",
     "--rs232 --port 3 prog.bin", 0, kDelivered, "serial"},
    {"radio, --device", "", "TCPIP=1;TCPIPAddr=127.0.0.1:1", "--device @PTY prog.c", 0, kDelivered,
     "broadcast"},
    {"request, --tcp", "--baud 38400 reset", "", "--request --tcp @TCP prog.c", 0,
     "^Waiting Terminal Request ...$[^\\r]*^progress \\d+%$[^\\r]*^delivered to TERM0001: \\d+ "
     "Baud$",
     "radio"},
    {"request, stored device", "reset", "ComDevice1=@PTY", "--request prog.c", 0,
     "^delivered to TERM0001: \\d+ Baud$", "radio"},
    {"not compiled", "", "", "--tcp @TCP other.c", 1, "^quvupload: Program not compiled !$", ""},
    {"port: no such device", "", "", "--device /nonexistent/tty prog.c", 2,
     "^quvupload: Error Opening ComPort$", ""},
    {"port: closed tcp port", "", "", "--tcp 127.0.0.1:1 prog.c", 2,
     "^quvupload: Error Opening IP Connection$", ""},
    {"base silent, radio", "--silent-after 0", "", "--tcp @TCP prog.c", 3,
     "comunicate with antena!$", ""},
    {"base silent, request", "--silent-after 0", "", "--request --device @PTY prog.c", 3,
     "did not answer$", ""},
    {"transfer failed: line dropped", "--baud 38400 --drop-after 3000 reset", "",
     "--request --device @PTY prog.c", 4, "^quvupload: Upload failed: the terminal did not", ""},
    {"transfer failed: radio line dropped", "--baud 38400 --drop-after 3000", "",
     "--tcp @TCP prog.c", 4, "^quvupload: Upload failed: the base station did not", ""},
    {"link lost while waiting", "drop", "", "--request --tcp @TCP prog.c", 2,
     "^quvupload: Upload stopped: the link to the base station was lost", ""},
    {"time-out: no terminal asks", "", "", "--request --timeout 1 --tcp @TCP prog.c", 5,
     "^Waiting Terminal Request ...\\n\\nquvupload: time-out after 1 s: no terminal asked", "", 0,
     4},
    // Two uploads 10 seconds apart; the deadline cuts the pause before the third.
    {"repeat, radio, time-out", "", "TCPIP=1;TCPIPAddr=@TCP", "--repeat 3 --timeout 14 prog.c", 5,
     "^delivered \\(2 of 3\\): \\d+ Baud$", "broadcast broadcast", 11, 16},
    // The 10 seconds between two uploads end at once.
    {"SIGTERM in the radio pause", "term", "TCPIP=1;TCPIPAddr=@TCP", "--repeat 2 prog.c", 130,
     "^delivered \\(1 of 2\\)", "broadcast", 0, 8},
    {"usage", "", "", "--bogus prog.c", 64, "Unknown option", ""},
    {"help", "", "", "--help", 0, "^Exit codes:$", ""},
};

}  // namespace

class TestQuvUpload : public QObject {
    Q_OBJECT
  private slots:
    void commandLine() {
        const char* rows[][2] = {
            {"prog.c", "3 stored 1 0 prog.c"},
            {"--rs232 dir/prog.bin", "1 stored 1 0 dir/prog.bin"},
            {"--request prog.c", "2 stored 1 60 prog.c"},
            {"--request --timeout=1.5 prog.c", "2 stored 1 1.5 prog.c"},
            {"--timeout 0 --request prog.c", "2 stored 1 0 prog.c"},
            {"--radio --repeat 3 --port 2 prog.c", "3 port:2 3 0 prog.c"},
            {"--device /tmp/q prog.bin --rs232", "1 device:/tmp/q 1 0 prog.bin"},
            {"--tcp 127.0.0.1:5000 prog.c", "3 tcp:127.0.0.1:5000 1 0 prog.c"},
            {"--tcp base prog.c", "3 tcp:base 1 0 prog.c"},
            {"prog.c --help", "help"},
            {"-h", "help"},
            {"--version", "version"},
            {"", "usage"},
            {"a.c b.c", "usage"},
            {"--rs232 --radio p.c", "usage"},
            {"--port 1 --tcp h p.c", "usage"},
            {"--port 1 --port 2 p.c", "usage"},
            {"--port 0 p.c", "usage"},
            {"--port x p.c", "usage"},
            {"--repeat 0 p.c", "usage"},
            {"--repeat 1.5 p.c", "usage"},
            {"--timeout -1 p.c", "usage"},
            {"--timeout 1e9 p.c", "usage"},
            {"--timeout soon p.c", "usage"},
            {"--tcp :5 p.c", "usage"},
            {"p.c --port", "usage"},
        };
        for (const auto& [line, expected] : rows) {
            const QStringList args = QString(line).split(' ', Qt::SkipEmptyParts);
            QCOMPARE(line + (" = " + summary(parseCommandLine(args))),
                     line + (" = " + QString(expected)));
        }
    }

    void endToEnd_data() {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kRuns)); ++i) QTest::newRow(kRuns[i].name) << i;
    }
    void endToEnd() {
        QFETCH(int, row);
        const Run& run = kRuns[row];
        QStringList simOptions = QString(run.sim).split(' ', Qt::SkipEmptyParts);
        // "reset": a terminal asks once the upload waits; "drop": the base
        // station goes away then.
        const QString during = simOptions.removeAll("reset") > 0  ? "reset"
                               : simOptions.removeAll("drop") > 0 ? "drop"
                                                                  : "";
        const bool term = simOptions.removeAll("term") > 0;
        quvsim::SimProcess emulator(simOptions << "--tcp"
                                               << "0"
                                               << "--pty");
        QVERIFY(emulator.start());
        const auto place = [&](QString text) {
            return text.replace("@TCP", emulator.tcpAddress()).replace("@PTY", emulator.ptyPath());
        };
        // The program beside its source, and a home of its own with the settings.
        QTemporaryDir dir;
        const QByteArray image = quv::test::patternBytes(12000);
        const QByteArray settings =
            place("[Startup]\n" + QString(run.stored).replace(';', '\n') + '\n').toUtf8();
        const QString conf =
            quv::test::writeTestFile(dir.path(), "home/config/QuvDeveloper.conf", settings);
        QVERIFY(!quv::test::writeTestFile(dir.path(), "prog.hea", "HEADER01").isEmpty() &&
                !quv::test::writeTestFile(dir.path(), "prog.bin", image).isEmpty() &&
                !conf.isEmpty());
        QProcess upload;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", dir.filePath("home"));
        env.insert("XDG_CONFIG_HOME", dir.filePath("home/config"));
        upload.setProcessEnvironment(env);
        upload.setWorkingDirectory(dir.path());
        QString out;
        bool asked = false;
        QObject::connect(&upload, &QProcess::readyReadStandardOutput, [&] {
            out += QString::fromLocal8Bit(upload.readAllStandardOutput());
            if (!during.isEmpty() && !asked && out.contains("Waiting Terminal Request"))
                asked = true, emulator.command(during.toLatin1());
            if (term && !asked && out.contains("delivered")) asked = true, upload.terminate();
        });
        QElapsedTimer clock;
        clock.start();
        upload.start(QUVUPLOAD_EXECUTABLE, place(run.args).split(' '));
        // Bounded: a run that does not end is killed and fails the row.
        if (!emulator.waitFor([&] { return upload.state() == QProcess::NotRunning; }, 30000)) {
            upload.kill();
            QVERIFY(upload.waitForFinished(5000) && false);
        }
        const qint64 ms = clock.elapsed();
        out += QString::fromLocal8Bit(upload.readAllStandardOutput() + "\n" +
                                      upload.readAllStandardError());
        QCOMPARE(upload.exitCode(), run.exit);
        QVERIFY2(out.contains(QRegularExpression(run.shows, QRegularExpression::MultilineOption)),
                 qPrintable(out));
        QVERIFY2(!out.contains('\r'), "plain lines only when the output is not a terminal");
        QVERIFY2(ms >= run.minSeconds * 1000 && ms <= run.maxSeconds * 1000,
                 qPrintable(QString::number(ms)));
        const QStringList vias = QString(run.received).split(' ', Qt::SkipEmptyParts);
        if (!vias.isEmpty()) QVERIFY(emulator.waitReports("program", vias.size(), 4000));
        QStringList got;
        for (const QJsonObject& p : emulator.reports("program"))
            if (p.value("checksums") == "good" &&
                quv::test::readTestFile(p.value("path").toString()) == image)
                got << p.value("via").toString();
        QCOMPARE(got, vias);
        QCOMPARE(quv::test::readTestFile(conf), settings);  // the stored settings stay as they were
    }
};

QTEST_GUILESS_MAIN(TestQuvUpload)
#include "tst_quvupload.moc"
