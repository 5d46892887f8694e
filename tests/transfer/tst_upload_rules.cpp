// The transfer rules as tables, the order of the library calls and hooks of
// each upload over the recording library on the test clock, and the wiring
// of the buttons, the Transmit menu and Esc in the main window.
#include "app/documents.h"
#include "app/status_panels.h"
#include "support/app_fixture.h"
#include "support/recording_com.h"
#include "support/test_pump.h"
#include "transfer/program_files.h"
#include "transfer/transfer_rules.h"
#include "upload_rig.h"

#include <QAction>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

using namespace quv;
using namespace quv::test;

namespace {

// The rig on the recording library: hooks and calls in one log, and the
// link monitor ticking every 0.2 s of the test clock.
struct CallRig : UploadRig {
    RecordingCom com;
    TestPump pump{clock, &link.AppClosing};
    CallRig() {
        com.statusBaud = 19200;
        build(com, pump, com.calls);
        program("HEADER01", "ab");
        ticks();
    }
    void ticks() {
        pump.after(0.2, [this] { t->Timer1_Timer(), ticks(); });
    }
    // Steps 0.5 s apart: "R" a terminal asks, "E" Esc, "c:v" an event.
    void script(const QString& steps) {
        double at = 0;
        for (const QString& s : steps.split(';', Qt::SkipEmptyParts))
            pump.after(at += 0.5, [this, s] {
                if (s == "E") return t->escape();
                if (s == "R")
                    com.messages << qMakePair(QByteArray("TERM0001"), QByteArray("RESET"));
                com.routine(s == "R" ? 1 : s.section(':', 0, 0).toInt(), s.section(':', 1).toInt(),
                            0, {});
            });
    }
    // The log without the data bytes, which the emulator tests check.
    QString trace() const {
        return com.calls.join('|').remove(QRegularExpression(", [0-9a-f]{8,}(?=[,)])"));
    }
};

}  // namespace

class TestUploadRules : public QObject {
    Q_OBJECT
  private slots:
    void rules() {
        const struct {
            qint64 bytes;
            double start, now;
            bool addOne;
            const char* rate;
        } rates[] = {{3840, 100, 103, true, "9600 Baud"},
                     {500, 100, 110, false, "500 Baud"},
                     {3840, 86398, 1, true, "9600 Baud"},
                     {0, 5, 5, true, "0 Baud"},
                     {100, 5, 5, false, ""},
                     {7, 86399.5, 86399.5, false, ""}};
        for (const auto& r : rates)
            QCOMPARE(rateText(r.bytes, secondsSince(r.start, r.now), r.addOne).value_or(""),
                     QString(r.rate));
        const std::pair<std::optional<QString>, int> counts[] = {
            {"2.5", 2}, {"3.5", 4},      {"", 0},  {std::nullopt, 0},
            {"abc", 0}, {" 3 times", 3}, {"-3", 0}};
        for (const auto& [answer, count] : counts) QCOMPARE(repeatCount(answer), count);
        const std::tuple<double, double, int> pauses[] = {
            {0, 5, 0}, {100, 104, 6000}, {100, 100, 10000}, {86398, 3, 5000}, {100, 112, 0}};
        for (const auto& [last, now, ms] : pauses) QCOMPARE(pauseBeforeNextMs(last, now), ms);
        QCOMPARE(programBaseName("/p/prog.c"), std::optional<QString>("/p/prog."));
        QCOMPARE(programBaseName("/p/a.b/prog"), std::optional<QString>("/p/a."));
        QCOMPARE(programBaseName("prog"), std::nullopt);
    }

    void callOrder_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        const QString end = "|busy(0)|front()|bar(0)";
        const QString rs232 =
            "busy(1)|BackGetEvent()|IO_Open(1, 115200)|"
            "ChangeBaseNameAntenaFast(1, !DOWN)|IO_Close(1)|IO_Open(1, 38400)";
        const QString air = "|B_PutBaseUpload(1, 19200)|IO_Open(1, 19200)|IO_Read(1, 1, 1000)";
        const QString air0 = QString(air).replace("19200", "38400");
        const QString send =
            "|BackGetEvent()|Send_Message_Without_Confirmation_ombrex(1, Z7Q_PROG, "
            "6, 1, 200)|bar(0)|IO_Close(1)|rate(20 Baud)" +
            end;
        const QString wait =
            "busy(1)|InitializeComm(1, 38400)|BackGetEvent()|"
            "caption(Waiting Terminal Request ...)";
        const QString asked =
            wait +
            "|Get_Message(100000, 0)|GetStringFromPtr(1, 5)|"
            "Get_Message(100000, 0)|caption(Sending... )|BackSendMessage(TERM0001, 6)|"
            "bar(0)" +
            end;
        const QString ended = "|TerminateComm(1)|bar(0)";
        const QString notCompiled = "busy(1)|busy(0)|msg(Program not compiled !)";
        QTest::newRow("rs232") << 1 << ""
                               << ""
                               << rs232 + "|IO_Write(1, 19)|IO_Close(1)|rate(20 Baud)" + end +
                                      "|200";
        QTest::newRow("rs232, no !DOWN")
            << 1 << "ChangeBaseNameAntenaFast=0"
            << "" << rs232 + "|IO_Write(1, 19)|IO_Close(1)|rate(20 Baud)" + end + "|";
        QTest::newRow("rs232, frame cut") << 1 << "IO_Write=0"
                                          << ""
                                          << rs232 + "|IO_Write(1, 19)|IO_Close(1)|busy(0)|msg(" +
                                                 Uploader::kFrameNotWritten + ")|200";
        QTest::newRow("rs232, no port")
            << 1 << "IO_Open=0"
            << ""
            << "busy(1)|BackGetEvent()|IO_Open(1, 115200)|busy(0)|msg(Error Opening ComPort)";
        QTest::newRow("broadcast")
            << 3 << ""
            << ""
            << "busy(1)|B_BaseGetStatus(1, 38400, 200)" + air + send + "|19200 1";
        QTest::newRow("broadcast, status known, stale input")
            << 3 << "known;stale=xy"
            << ""
            << "busy(1)" + air0 + "|IO_Read(1, 1, 1000)|IO_Read(1, 1, 1000)" + send;
        QTest::newRow("broadcast, no antenna")
            << 3 << "B_BaseGetStatus=0"
            << ""
            << "busy(1)|B_BaseGetStatus(1, 38400, 200)|busy(0)|"
               "msg(Error trying to comunicate with antena!)|38400 0";
        QTest::newRow("on request")
            << 2 << ""
            << "R;3:40;2:0"
            << asked + "|Get_Message(100000, 0)|bar(40)|Get_Message(100000, 0)" + ended +
                   "|rate(19 Baud)|caption(Old)";
        QTest::newRow("on request, failed")
            << 2 << ""
            << "R;2:-1"
            << asked + "|Get_Message(100000, 0)" + ended + "|caption(Old)|msg(" +
                   LinkMonitor::kDeliveryFailed + ")";
        QTest::newRow("on request, library silent")
            << 2 << ""
            << "R" << asked + ended + "|caption(Old)|msg(" + LinkMonitor::kSilent + ")";
        QTest::newRow("on request, Esc")
            << 2 << ""
            << "E" << wait + "|caption(Sending... )|TerminateComm(1)|caption(Old)|busy(0)";
        QTest::newRow("on request, no link")
            << 2 << "InitializeComm=0"
            << ""
            << "busy(1)|InitializeComm(1, 38400)|busy(0)|msg(Error Opening ComPort)";
        QTest::newRow("no document") << 1 << "name="
                                     << ""
                                     << "msg(File Not Open)";
        QTest::newRow("no header") << 1 << "header=none"
                                   << "" << notCompiled;
        QTest::newRow("short header") << 1 << "header=1234567"
                                      << "" << notCompiled;
        QTest::newRow("no dot") << 3 << "name=/tmp/prog"
                                << "" << notCompiled;
        QTest::newRow("empty header, build fails") << 1 << "full;header=;compile=0"
                                                   << ""
                                                   << "busy(1)|busy(0)|busy(1)|compile()|busy(0)";
        QTest::newRow("empty header, build still empty")
            << 1 << "full;header="
            << ""
            << "busy(1)|busy(0)|busy(1)|compile()|busy(0)|msg(Program not compiled !)";
        QTest::newRow("other mode") << 7 << ""
                                    << ""
                                    << "busy(1)" + end;
    }
    void callOrder() {
        QFETCH(int, mode);
        QFETCH(QString, setup);
        QFETCH(QString, script);
        QFETCH(QString, expected);
        CallRig r;
        for (const QString& s : setup.split(';', Qt::SkipEmptyParts)) {
            const QString key = s.section('=', 0, 0), value = s.section('=', 1);
            if (key == "known")
                r.link.BaseStatusKnown = true;
            else if (key == "stale")
                r.com.readData = value.toLatin1();
            else if (key == "name")
                r.doc.name = value;
            else if (key == "header")
                r.write("prog.hea",
                        value == "none" ? std::nullopt : std::optional(value.toLatin1()));
            else if (key == "full")
                r.options.EditorEnabled = r.doc.isChanged = true;
            else if (key == "compile")
                r.compileResult = value.toInt();
            else
                r.com.results[key] = value.toInt();
        }
        r.script(script);
        r.t->uploader().Transmit_program(mode);
        for (int i = 0; i < 1000 && r.t->busy(); ++i) r.pump.pumpOnce();
        QString trace = r.trace();
        if (mode == 1 && !expected.endsWith(')')) {
            QStringList sleeps;
            for (int ms : r.clock.sleeps) sleeps << QString::number(ms);
            trace += '|' + sleeps.join(',');
        }
        if (mode == 3 && !expected.endsWith(')'))
            trace += QStringLiteral("|%1 %2").arg(r.link.BaudRate).arg(r.link.BaseStatusKnown);
        QCOMPARE(trace.split('|'), expected.split('|'));
    }

    // Every message waiting is taken on one tick, the last "RESET" decides;
    // after an RS232 upload no event reaches the monitor.
    void monitor() {
        CallRig r;
        r.com.messages = {{"T1", "RESET"}, {"TERM0002", "RESET now"}, {"T3", "RESE"}};
        r.t->state().LastEvent = 1;
        r.t->Timer1_Timer();
        QCOMPARE(r.t->state().ReceiveTerminal, QString("TERM0002"));
        QVERIFY(r.com.messages.isEmpty());
        QCOMPARE(r.t->state().LastEvent, 0);
        r.t->Send_program_Click();
        r.com.routine(3, 40, 0, {});
        QCOMPARE(r.t->state().LastEvent, 0);
    }

    // The count box, the repetitions 10 s apart on the test clock, and the
    // program closing during the second one.
    void repeatedWirelessUpload_data() {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<double>("closeAfter");
        QTest::addColumn<int>("sent");
        QTest::addColumn<QList<int>>("sleeps");
        QTest::newRow("once") << std::optional<QString>("1") << -1.0 << 1 << QList<int>{};
        QTest::newRow("3 times") << std::optional<QString>("3") << -1.0 << 3
                                 << QList<int>{10000, 10000};
        QTest::newRow("2.5") << std::optional<QString>("2.5") << -1.0 << 2 << QList<int>{10000};
        QTest::newRow("cancel") << std::optional<QString>() << -1.0 << 0 << QList<int>{};
        QTest::newRow("closing") << std::optional<QString>("3") << 5.0 << 1 << QList<int>{10000};
    }
    void repeatedWirelessUpload() {
        QFETCH(std::optional<QString>, answer);
        QFETCH(double, closeAfter);
        QFETCH(int, sent);
        QFETCH(QList<int>, sleeps);
        CallRig r;
        r.dialogs.inputAnswers << answer;
        if (closeAfter >= 0) r.pump.after(closeAfter, [&] { r.pump.close(); });
        r.t->state().LastSendTime = 36000;
        r.t->Command1_Click(4);
        QCOMPARE(r.com.calls.first(),
                 QString("input(Numero de vezes a enviar, Wireless Upload, 1)"));
        QCOMPARE(r.com.callsNamed({"Send_Message_Without_Confirmation_ombrex"}).size(), sent);
        QCOMPARE(r.com.callsNamed({"B_BaseGetStatus"}).size(), sent ? 1 : 0);
        QCOMPARE(r.clock.sleeps, sleeps);
    }

    // The window: the buttons and the Transmit menu upload, the rate shows
    // in its panel, an activation makes the next upload read the base
    // station again, Esc and the program closing end the wait for a terminal.
    void window() {
        AppFixture f;
        f.com.statusBaud = 19200;
        MainWindow& w = f.start();
        f.writeFile("p.hea", "HEADER01");
        f.writeFile("p.bin", "abc");
        w.documents().Open_File(f.writeFile("p.c", "main(){}"));
        const QString caption = w.windowTitle();
        f.dialogs.inputAnswers << "2";
        w.Command1(4)->click();
        w.menuItem("Transmit_By_Radio_Without_Confirmation")->trigger();
        QCOMPARE(w.StatusBar1()->panelText("Baud"), QString("30 Baud"));
        w.Form_Activate();
        w.menuItem("Transmit_By_Radio_Without_Confirmation")->trigger();
        QCOMPARE(f.com.callsNamed({"B_BaseGetStatus", "Send_Message_Without_Confirmation_ombrex"})
                     .replaceInStrings(QRegularExpression("\\(.*"), ""),
                 (QStringList{"B_BaseGetStatus", "Send_Message_Without_Confirmation_ombrex",
                              "Send_Message_Without_Confirmation_ombrex",
                              "Send_Message_Without_Confirmation_ombrex", "B_BaseGetStatus",
                              "Send_Message_Without_Confirmation_ombrex"}));
        w.menuItem("Send_program")->trigger();
        QCOMPARE(f.com.callsNamed({"IO_Write"}).size(), 1);
        f.com.calls.clear();
        f.pump.after(0.5, [&] { QTest::keyClick(&w, Qt::Key_Escape); });
        w.Command1(5)->click();
        QCOMPARE(w.windowTitle(), caption);
        f.pump.after(0.5, [&] { w.close(); });
        w.Command1(5)->click();
        QCOMPARE(f.com.callsNamed({"TerminateComm", "StopAllProcesses"}),
                 (QStringList{"TerminateComm(1)", "StopAllProcesses()", "TerminateComm(1)"}));
        QCOMPARE(w.windowTitle(), caption);
    }
};

QTEST_MAIN(TestUploadRules)
#include "tst_upload_rules.moc"
