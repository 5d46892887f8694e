// The transfer rules as tables, the order of the library calls and hooks of
// each upload over the recording library on the test clock, the wiring in the
// main window; and each upload end to end through the real library into the
// base station emulator over TCP and a pseudo-terminal, with the line's faults.
#include "app/documents.h"
#include "app/status_panels.h"
#include "support/app_fixture.h"
#include "support/recording_com.h"
#include "support/test_pump.h"
#include "transfer/program_files.h"
#include "transfer/transfer_rules.h"
#include "upload_rig.h"

#include <QAction>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QPushButton>
#include <QtTest>

using namespace quv;
using namespace quv::test;

namespace {

// The rig on the recording library: hooks and calls in one log, and the
// link monitor ticking every 0.2 s of the test clock.
struct CallRig : UploadRig {
    RecordingCom com;
    TestPump pump{clock, &link.AppClosing};
    explicit CallRig(double start = 36000) {
        clock.seconds = start;
        com.statusBaud = 19200;
        build(com, pump, com.calls);
        program("HEADER01", "ab");
        ticks();
        pump.after(100, [this] { pump.close(); });  // a wait that never ends fails its row
    }
    void ticks() {
        pump.after(0.2, [this] { t->Timer1_Timer(), ticks(); });
    }
    // Steps 0.5 s apart, each of actions at the same moment separated by
    // ",": "R" a terminal asks, "S" it says hello, "E" Esc, "J" the time of
    // day jumps an hour, "c:v" an event.
    void script(const QString& steps) {
        double at = 0;
        for (const QString& step : steps.split(';', Qt::SkipEmptyParts))
            pump.after(at += 0.5, [this, step] {
                for (const QString& s : step.split(',')) act(s);
            });
    }
    void act(const QString& s) {
        if (s == "E") return t->escape();
        if (s == "J") return void(clock.dayShift += 3600);
        const bool said = s == "R" || s == "S";
        if (said) com.messages << qMakePair(QByteArray("TERM0001"), s == "R" ? "RESET" : "hi");
        com.routine(said ? 1 : s.section(':', 0, 0).toInt(), s.section(':', 1).toInt(), 0, {});
    }
    // The log without the data bytes, which the emulator tests check, the
    // folder as "@" and a call repeated n times as one with "*n".
    QString trace() const {
        QString log = com.calls.join('|').replace(dir.path(), "@");
        log.remove(QRegularExpression(", [0-9a-f]{8,}(?=[,)])"));
        const QRegularExpression repeated("(?<![^|])([^|]+)(?:\\|\\1)+(?![^|])");
        for (QRegularExpressionMatch m; (m = repeated.match(log)).hasMatch();)
            log.replace(m.capturedStart(), m.capturedLength(),
                        m.captured(1) + QStringLiteral("*%1").arg((m.capturedLength() + 1) /
                                                                  (m.capturedLength(1) + 1)));
        return log;
    }
};

const QByteArray kHeader = QByteArray::fromHex("0102030405060708");

}  // namespace

class TestUploads : public QObject {
    Q_OBJECT
  private slots:
    // Each row: mode, image length, what happens in the wait ("-": nothing),
    // then the emulator's fault option and its count, or "gone" for an
    // emulator that ends in the middle of the transfer. Each upload ends
    // within a bound, with the message that says what went wrong, if
    // anything; a damaged byte is repaired on the way.
    void eachMode_data() {
        QTest::addColumn<QString>("via");
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("message");
        const QString failed = LinkMonitor::kDeliveryFailed;
        for (const char* via : {"tcp", "pty"}) {
            const auto row = [via](const char* name, const char* row, const QString& message = {}) {
                QTest::addRow("%s %s", via, name) << QString(via) << QString(row) << message;
            };
            row("rs232", "1 3000 -");
            row("broadcast", "3 3000 -");
            row("on request", "2 3000 reset");
            row("Esc", "2 3000 esc");
            row("dropped", "2 12000 reset --drop-after 3000", failed);
            row("corrupted", "2 12000 reset --corrupt-in 3000");
            row("silent in transfer", "2 12000 reset --silent-after 3000", failed);
            row("silent, radio", "2 12000 reset --silent-after 0", Uploader::kErrorOpeningComPort);
            row("broadcast cut", "3 12000 reset --drop-after 3000", Uploader::kBroadcastFailed);
            row("silent, broadcast", "3 12000 reset --silent-after 0", Uploader::kErrorAntena);
        }
        QTest::addRow("pty device disappears")
            << QString("pty") << QString("2 12000 reset gone") << failed;
    }
    void eachMode() {
        QFETCH(QString, via);
        QFETCH(QString, row);
        QFETCH(QString, message);
        QStringList options = row.split(' ');
        const int mode = options.takeFirst().toInt();
        const QByteArray img = patternBytes(options.takeFirst().toInt());
        const QString script = options.takeFirst();
        const bool gone = options.removeAll("gone") > 0;
        LiveRig r;
        options << QString("--baud 38400 --terminal TERM0001 --terminal TERM0002").split(' ');
        QVERIFY(r.start(via, options));
        r.program(kHeader, img);
        // "reset": the terminal asks once the upload waits; "esc": the user gives up.
        if (script == "reset") QTimer::singleShot(300, [&] { r.sim->command("reset"); });
        if (script == "esc") QTimer::singleShot(300, [&] { r.t->escape(); });
        if (gone) QTimer::singleShot(1500, [&] { QVERIFY(r.sim->terminate()); });
        QElapsedTimer clock;
        clock.start();
        r.t->uploader().Transmit_program(mode);
        const auto ended = [&] { return !r.t->busy(); };
        QVERIFY(pumpUntil(r.pump, ended, 15000));
        QCOMPARE(r.dialogs.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        // The radio part: 12 KB at 38400 baud take 3.2 s; a fault ends it in
        // the library's 2 s after the line went wrong.
        QVERIFY2(clock.elapsed() < 7000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(r.caption, QString("Old"));
        if (mode == 2 && message.isEmpty())
            QCOMPARE(r.shown("caption"), (QStringList{"caption(Waiting Terminal Request ...)",
                                                      "caption(Sending... )", "caption(Old)"}));
        if (script == "esc" || !message.isEmpty()) {
            QCOMPARE(r.shown("rate"), QStringList());
            QVERIFY(!message.isEmpty() || !r.sim->waitReports("program", 1, 500));
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
        // Mode 2 shows the rate at its end event, modes 1 and 3 with a second more.
        const double seconds = r.rateShownAt - r.t->state().start_time + (mode == 2 ? 0 : 1);
        QVERIFY(seconds > 0);
        const qint64 rate = static_cast<qint64>(img.size() * 10 / seconds);
        QCOMPARE(r.shown("rate"), QStringList{QStringLiteral("rate(%1 Baud)").arg(rate)});
    }

    void rulesAndTheLinkMonitor() {
        const std::tuple<qint64, double, bool, const char*> rates[] = {{3840, 3, true, "9600 Baud"},
                                                                       {500, 10, false, "500 Baud"},
                                                                       {0, 0, true, "0 Baud"},
                                                                       {100, 0, false, ""}};
        for (const auto& [bytes, elapsed, addOne, rate] : rates)
            QCOMPARE(rateText(bytes, elapsed, addOne).value_or(""), QString(rate));
        const std::pair<std::optional<QString>, int> counts[] = {
            {"2.5", 2}, {"3.5", 4},      {"", 0},  {std::nullopt, 0},
            {"abc", 0}, {" 3 times", 3}, {"-3", 0}};
        for (const auto& [answer, count] : counts) QCOMPARE(repeatCount(answer), count);
        const std::tuple<double, double, double> pauses[] = {
            {0, 5, 0}, {100, 104, 6}, {100, 100, 10}, {100, 112, 0}, {100, 95, 10}};
        for (const auto& [last, now, left] : pauses) QCOMPARE(pauseBeforeNext(last, now), left);
        // What waits for the link monitor, as "code:value".
        EventQueue q;
        QStringList got;
        for (const QString& e : QString("3:1 3:2 1:1 1:2 2:0 1:3 6:0 6:0 2:0 2:-1 5:9").split(' '))
            queueEvent(q,
                       {qint16(e.section(':', 0, 0).toInt()), qint16(e.section(':', 1).toInt())});
        for (const BackgroundEvent& e : q) got << QStringLiteral("%1:%2").arg(e.code).arg(e.param);
        QCOMPARE(got.join(' '), QString("3:2 1:2 2:0 1:3 6:0 2:-1 5:9"));
        // However many arrive, the queue stays bounded and keeps the ends.
        q = {{2, 0}};
        for (int i = 0; i < 1000; ++i) queueEvent(q, {qint16(1 + i % 2 * 2), 0});
        queueEvent(q, {6, 0});
        QVERIFY(q.size() == kQueuedEvents + 1 && q.front().code == 2 && q.back().code == 6);
        // Every message waiting is taken on one tick, the last "RESET" decides;
        // after an RS232 upload no event reaches the monitor.
        CallRig r;
        r.com.messages = {{"T1", "RESET"}, {"TERM0002", "RESET now"}, {"T3", "RESE"}};
        r.t->state().events = {{1, 0}};
        r.t->Timer1_Timer();
        QVERIFY(r.t->state().ReceiveTerminal == "TERM0002" && r.com.messages.isEmpty() &&
                r.t->state().events.empty());
        r.t->Send_program_Click();
        r.com.routine(3, 40, 0, {});
        QVERIFY(r.t->state().events.empty());
        // A whole percent that takes longer than the silence limit, while the
        // library keeps reporting the same value, ends as delivered with its
        // rate; so it does across midnight and through a change of the time of
        // day, which measure nothing.
        const QString percent = QString("3:40;").repeated(12);
        for (const auto& [start, jump] :
             {std::pair(36000.0, "3:40"), {86395.0, "3:40"}, {36000.0, "J"}}) {
            CallRig slow(start);
            slow.program("HEADER01", patternBytes(3000));
            slow.script("R;" + percent + jump + ";" + percent + "2:0");
            slow.t->uploader().Transmit_program(2);
            for (int i = 0; i < 1000 && slow.t->busy(); ++i) slow.pump.pumpOnce();
            // 3000 bytes from the request to the end, 13 s later: about 2300 baud.
            QCOMPARE(slow.com.calls.filter(QRegularExpression("^rate\\(2[23]\\d\\d Baud")).size(),
                     1);
            QCOMPARE(slow.dialogs.texts(), QStringList());
        }
    }

    // Each row: mode # setup # script # the log, where $name stands for a
    // piece below and "*n" for a call made n times. Setup: "X=v" a library
    // result, "known" the status read, "stale=n" bytes waiting, "name=" the
    // document (@: the folder), "hea="/"bin=" the program's files ("none":
    // missing, "dir": a folder), "full" full mode with a changed document,
    // "compile=v" the build's result, "tcp" the link over TCP/IP, "close" the
    // program closing at the first pump.
    void callOrder_data() {
        QTest::addColumn<QString>("row");
        const auto row = [](const char* name, const char* text) { QTest::newRow(name) << text; };
        row("rs232", "1 ### $rs232|$frame|IO_Close(1)|rate(20 Baud)$end");
        row("no !DOWN",
            "1 # ChangeBaseNameAntenaFast=0 ## $rs232|$frame|IO_Close(1)|rate(20 Baud)$end");
        row("frame cut",
            "1 # IO_Write=0 ## $rs232|$frame|IO_Close(1)|busy(0)|msg($cut)|fail(Transfer)");
        row("closing in the !DOWN wait",
            "1 # close ## busy(1)|BackGetEvent()|IO_Open(1, 115200)|ChangeBaseNameAntenaFast(1, "
            "!DOWN)|IO_Close(1)|busy(0)");
        row("no port",
            "1 # IO_Open=0 ## busy(1)|BackGetEvent()|IO_Open(1, 115200)|busy(0)|"
            "msg(Error Opening ComPort)|fail(Port)");
        row("broadcast",
            "3 ### busy(1)|B_BaseGetStatus(1, 38400, 200)|B_PutBaseUpload(1, 19200)|"
            "IO_Open(1, 19200)|$read$air");
        row("known, stale input",
            "3 # known;stale=2 ## busy(1)|B_PutBaseUpload(1, 38400)|IO_Open(1, 38400)|$read*3$air");
        row("endless stale input",
            "3 # known;stale=99999 ## busy(1)|B_PutBaseUpload(1, 38400)|IO_Open(1, 38400)|"
            "$read*40$air");
        row("Esc in the stale input",
            "3 # known;stale=99999 # E # busy(1)|B_PutBaseUpload(1, 38400)|IO_Open(1, 38400)|"
            "$read*9|IO_Close(1)|busy(0)");
        row("no antenna",
            "3 # B_BaseGetStatus=0 ## busy(1)|B_BaseGetStatus(1, 38400, 200)|"
            "busy(0)|msg(Error trying to comunicate with antena!)|fail(Base)");
        row("on request",
            "2 ## R;3:40;2:0 # $asked|$get|bar(40)|$get$stop|rate(19 Baud)|"
            "caption(Old)");
        // The end and the terminals' messages in one tick: the end still counts.
        row("end, then messages",
            "2 ## R;2:0,S,R,R # $asked|$get|GetStringFromPtr(2, 2)|$get|GetStringFromPtr(3, 5)|"
            "$get|GetStringFromPtr(4, 5)|$get$stop|rate(33 Baud)|caption(Old)");
        row("failed, then the link lost",
            "2 ## R;2:-1,6:0 # $asked|$get$stop|caption(Old)|msg($failed)|fail(Transfer)");
        row("library silent", "2 ## R # $asked$stop|caption(Old)|msg($silent)|fail(Transfer)");
        row("Esc", "2 ## E # $wait|caption(Sending... )|TerminateComm(1)|caption(Old)|busy(0)");
        row("link lost while waiting",
            "2 ## 6:0 # $wait|$get|TerminateComm(1)|caption(Old)|busy(0)|msg($lost)|"
            "fail(LinkLost)");
        row("no link over TCP/IP",
            "2 # tcp;InitializeComm=0 ## busy(1)|InitializeComm(1, 38400)|busy(0)|"
            "msg(Error Opening IP Connection)|fail(Port)");
        row("no document", "1 # name= ## msg(File Not Open)|fail(NotCompiled)");
        row("no header", "1 # hea=none ## busy(1)|$notCompiled");
        row("short header", "1 # hea=1234567 ## busy(1)|$notCompiled");
        row("unreadable header",
            "1 # hea=dir ## busy(1)|busy(0)|msg(The program header @/prog.hea could not be "
            "read: It is not a regular file.)|fail(NotCompiled)");
        row("no dot in the file name", "3 # name=@/prog.d/prog ## busy(1)|$notCompiled");
        row("empty image", "1 # bin= ## busy(1)|busy(0)|msg($empty)|fail(NotCompiled)");
        row("no image", "3 # bin=none ## busy(1)|busy(0)|msg($empty)|fail(NotCompiled)");
        row("build fails",
            "1 # full;hea=;compile=0 ## busy(1)|busy(0)|busy(1)|compile()|busy(0)|"
            "fail(NotCompiled)");
        row("build leaves no header",
            "1 # full;hea= ## busy(1)|busy(0)|busy(1)|compile()|$notCompiled");
        row("other mode", "7 ### busy(1)$end");
    }
    void callOrder() {
        QFETCH(QString, row);
        const QHash<QString, QString> pieces = {
            {"$rs232",
             "busy(1)|BackGetEvent()|IO_Open(1, 115200)|ChangeBaseNameAntenaFast(1, "
             "!DOWN)|IO_Close(1)|IO_Open(1, 38400)"},
            {"$frame", "IO_Write(1, 19)"},
            {"$read", "IO_Read(1, 1, 1000)"},
            {"$air",
             "|BackGetEvent()|Send_Message_Without_Confirmation_ombrex(1, Z7Q_PROG, 6, 1, "
             "200)|bar(0)|IO_Close(1)|rate(20 Baud)$end"},
            {"$asked",
             "$wait|$get|GetStringFromPtr(1, 5)|$get|caption(Sending... )|"
             "BackSendMessage(TERM0001, 6)|bar(0)$end"},
            {"$wait",
             "busy(1)|InitializeComm(1, 38400)|BackGetEvent()|caption(Waiting Terminal "
             "Request ...)"},
            {"$get", "Get_Message(100000, 0)"},
            {"$stop", "|TerminateComm(1)|bar(0)"},
            {"$end", "|busy(0)|front()|bar(0)"},
            {"$notCompiled", "busy(0)|msg(Program not compiled !)|fail(NotCompiled)"},
            {"$cut", Uploader::kFrameNotWritten},
            {"$failed", LinkMonitor::kDeliveryFailed},
            {"$silent", LinkMonitor::kSilent},
            {"$lost", Uploader::kLinkLost},
            {"$empty", Uploader::kEmptyImage.arg("@/prog.bin")}};
        const QStringList f = row.split('#');
        QString expected = f[3].trimmed();
        while (expected.contains('$'))
            for (auto [key, piece] : pieces.asKeyValueRange()) expected.replace(key, piece);
        CallRig r;
        for (const QString& s : f[1].trimmed().split(';', Qt::SkipEmptyParts)) {
            const QString key = s.section('=', 0, 0), value = s.section('=', 1);
            if (key == "known") r.link.BaseStatusKnown = true;
            if (key == "stale") r.com.readData = QByteArray(value.toInt(), 'x');
            if (key == "name") r.doc.name = QString(value).replace("@", r.dir.path());
            if (key == "full") r.options.EditorEnabled = r.doc.isChanged = true;
            if (key == "compile") r.compileResult = value.toInt();
            if (key == "tcp") r.tcp = true;
            if (key == "close") r.pump.next([&r] { r.pump.close(); });
            if (key == "hea" || key == "bin")
                r.write("prog." + key, value == "none" || value == "dir"
                                           ? std::nullopt
                                           : std::optional(value.toLatin1()));
            if (value == "dir") QDir(r.dir.path()).mkdir("prog." + key);
            if (key[0].isUpper()) r.com.results[key] = value.toInt();
        }
        r.script(f[2].trimmed());
        r.t->uploader().Transmit_program(f[0].toInt());
        for (int i = 0; i < 1000 && r.t->busy(); ++i) r.pump.pumpOnce();
        const QStringList causes = QString("|NotCompiled|Port|Base|Transfer|LinkLost").split('|');
        if (const int cause = int(r.t->state().failure))
            r.com.calls << "fail(" + causes[cause] + ")";
        QCOMPARE(r.trace().split('|'), expected.split('|'));
    }

    // The count box, the repetitions 10 s apart on the test clock, the
    // program closing and Esc in the pause, which refuses another upload.
    void repeatedWirelessUpload() {
        const struct {
            std::optional<QString> answer;
            const char* at5;  // "close", "esc" or nothing
            int sent, pauses;
            bool refused;
        } rows[] = {{"1", "", 1, 0, false},     {"3", "", 3, 2, true},
                    {"2.5", "", 2, 1, true},    {std::nullopt, "", 0, 0, false},
                    {"3", "close", 1, 0, true}, {"3", "esc", 1, 0, true}};
        for (const auto& row : rows) {
            CallRig r;
            r.dialogs.inputAnswers << row.answer;
            r.pump.after(5, [&] {
                r.t->Command1_Click(3);
                if (QString(row.at5) == "close") r.pump.close();
                if (QString(row.at5) == "esc") r.t->escape();
            });
            r.t->state().LastSendTime = 36000;
            r.t->Command1_Click(4);
            QCOMPARE(r.com.calls.first(),
                     QString("input(Numero de vezes a enviar, Wireless Upload, 1)"));
            QCOMPARE(r.com.callsNamed({"Send_Message_Without_Confirmation_ombrex"}).size(),
                     row.sent);
            QCOMPARE(r.com.callsNamed({"B_BaseGetStatus"}).size(), row.sent ? 1 : 0);
            QCOMPARE(int((r.clock.seconds - 36000) / 10), row.pauses);
            QCOMPARE(r.dialogs.texts(),
                     row.refused ? QStringList{TransferCommands::kBusyPausing} : QStringList());
        }
    }

    // The window: the buttons and the Transmit menu upload (F9 asks the
    // count: Cancel sends nothing), the rate shows in its panel, an
    // activation makes the next upload read the base station again, an
    // upload command given while one runs is refused with a word, Esc and
    // the program closing end the wait for a terminal.
    void window() {
        AppFixture f;
        f.com.statusBaud = 19200;
        MainWindow& w = f.start();
        f.writeFile("p.hea", "HEADER01");
        f.writeFile("p.bin", "abc");
        w.documents().Open_File(f.writeFile("p.c", "main(){}"));
        const QString caption = w.windowTitle();
        f.dialogs.inputAnswers << "2" << std::nullopt << "1";
        w.Command1(4)->click();
        w.menuItem("Transmit_By_Radio_Without_Confirmation")->trigger();
        QCOMPARE(w.StatusBar1()->panelText("Baud"), QString("30 Baud"));
        w.Form_Activate();
        w.menuItem("Transmit_By_Radio_Without_Confirmation")->trigger();
        // S: the status read; M: the upload.
        QCOMPARE(f.com.callsNamed({"B_BaseGetStatus", "Send_Message_Without_Confirmation_ombrex"})
                     .replaceInStrings(QRegularExpression("^B.*"), "S")
                     .replaceInStrings(QRegularExpression("^Se.*"), "M")
                     .join(""),
                 QString("SMMSM"));
        QCOMPARE(f.dialogs.inputPrompts.size(), 3);
        f.pump.after(1, [&] { w.menuItem("Transmit_By_Radio_Without_Confirmation")->trigger(); });
        w.Command1(3)->click();
        QCOMPARE(f.com.callsNamed({"IO_Write"}).size(), 1);
        f.com.calls.clear();
        f.pump.after(0.3, [&] { w.menuItem("Send_program")->trigger(); });  // refused
        f.pump.after(0.5, [&] { QTest::keyClick(&w, Qt::Key_Escape); });
        w.Command1(5)->click();
        QCOMPARE(w.windowTitle(), caption);
        QCOMPARE(f.com.callsNamed({"IO_Open"}), QStringList());
        QCOMPARE(f.dialogs.texts(),
                 (QStringList{TransferCommands::kBusyAfterRs232, TransferCommands::kBusyWaiting}));
        f.pump.after(0.5, [&] { w.close(); });
        w.Command1(5)->click();
        QCOMPARE(f.com.callsNamed({"TerminateComm", "StopAllProcesses"}),
                 (QStringList{"TerminateComm(1)", "StopAllProcesses()", "TerminateComm(1)"}));
        QCOMPARE(w.windowTitle(), caption);
    }
};

QTEST_MAIN(TestUploads)
#include "tst_uploads.moc"
