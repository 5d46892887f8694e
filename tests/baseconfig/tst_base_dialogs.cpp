// The port texts, the field rules of the base configuration form, the status
// read, the ordered write, the clear and "Update" over the recording library;
// the two dialogs through their controls against the base station emulator
// over TCP and a pseudo-terminal, and inside the main window.
#include "app/help_viewer.h"
#include "base_rig.h"
#include "baseconfig/base_config.h"
#include "baseconfig/base_dialog.h"
#include "baseconfig/port_text.h"
#include "baseconfig/serial_dialog.h"
#include "comm/link_com.h"
#include "sim_process.h"
#include "support/app_fixture.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWheelEvent>

using namespace quv;
using namespace quv::test;
using After = BaseCommands::After;
using Id = BaseForm::Id;

namespace {
// Form steps, "com:Name=result" for the library's answers, and
// "closing:Name" for the program starting to close inside that call.
void run(BaseRig& r, const QString& script) {
    QStringList form;
    for (const QString& s : parts(script))
        if (s.startsWith("com:"))
            r.com.results[s.mid(4).section('=', 0, 0)] = s.section('=', 1).toInt();
        else if (s.startsWith("closing:"))
            r.com.inside[s.mid(8)] = [&r] { r.link.AppClosing = true; };
        else
            form << s;
    apply(r.form, form.join(';'));
}
void columns(std::initializer_list<const char*> names) {
    for (const char* n : names) QTest::addColumn<QString>(n);
}
template <typename... Texts>
void row(const char* name, const Texts&... texts) {
    (QTest::newRow(name) << ... << QString(texts));
}
const QString kBad =
    "The field \"%1\" does not hold a valid number. Nothing was written to the base.";
QString bad(const char* field) {
    return kBad.arg(field);
}
const QString kError = BaseCommands::kErrorReading;
const QString kOk = BaseCommands::kUpdateSuccessful;
const QString kFailed = BaseCommands::kCommunicationError;
const QString kUpload = "An upload runs: Esc stops it.";

// The dialogs on the real library, pointed at the emulator.
struct SimRig {
    MemorySettingsStore settings;
    ScriptedDialogs dialogs;
    LinkState link;
    QtEventPump pump{&link.AppClosing};
    std::unique_ptr<quvsim::SimProcess> sim;
    std::unique_ptr<LinkCom> com;
    QWidget host;
    std::unique_ptr<BaseConfig> config;

    bool start(const QString& via, QStringList options = {}) {
        options << (via == "tcp" ? QStringList{"--tcp", "0"} : QStringList{"--pty"});
        sim = std::make_unique<quvsim::SimProcess>(options);
        if (!sim->start()) return false;
        settings.save("TCPIP", via == "tcp" ? "1" : "0");
        settings.save("TCPIPAddr", QString::fromLatin1(sim->tcpAddress()));
        settings.save("ComDevice1", sim->ptyPath());
        com = std::make_unique<LinkCom>(settings, pump);
        config = std::make_unique<BaseConfig>(BaseConfig::Services{*com, dialogs, settings, link},
                                              &host, nullptr);
        return true;
    }
};

// An item chosen in a box's open list: opened with F4, then chosen with the
// arrow keys and Enter, or clicked.
void pick(QComboBox* box, const QString& item, bool click = false) {
    QTest::keyClick(box, Qt::Key_F4);
    QAbstractItemView* list = box->view();
    const int row = box->findText(item);
    if (click)
        return QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                 list->visualRect(box->model()->index(row, 0)).center());
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < row; ++i) QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
}
// Text typed into a box, then a key (Tab leaves the box).
void type(QComboBox* box, const QString& text, Qt::Key then) {
    box->window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(box->window()));
    box->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, then);
}
// One step of the mouse wheel over a box, towards its next item.
void wheel(QComboBox* box) {
    QWheelEvent step({5, 5}, box->mapToGlobal(QPointF(5, 5)), {}, {0, -120}, Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(box, &step);
}
}  // namespace

class TestBaseDialogs : public QObject {
    Q_OBJECT
  private slots:
    // A silent base station gives the defaults within the time bound; one
    // that does not confirm the send-to choice fails the write.
    void readWriteAndClear_data() {
        columns({"via", "fault"});
        row("tcp", "tcp", "");
        row("pty", "pty", "");
        row("tcp silent", "tcp", "--silent-after 0");
        row("pty silent", "pty", "--silent-after 0");
        row("tcp send-to unconfirmed", "tcp", "--silent-on 0x17");
    }
    void readWriteAndClear() {
        QFETCH(QString, via);
        QFETCH(QString, fault);
        const bool silent = fault.contains("after");
        const bool cut = fault.contains("0x17");
        SimRig r;
        QVERIFY(r.start(via, fault.split(' ', Qt::SkipEmptyParts)));
        BaseDialog& d = *r.config->Form2();
        QElapsedTimer clock;
        clock.start();
        r.config->base_Click();
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(d.isVisible() && r.link.BaseStatusKnown, !silent);
        if (silent) {
            QCOMPARE(r.dialogs.texts(), QStringList{BaseCommands::kErrorReading});
            QCOMPARE(d.windowTitle(), "Base Version DEF");
            QCOMPARE(d.combo(Id::Combo1)->currentText(), "20000  ");
            return;
        }
        // The emulator's own configuration: BAS01 and BAS00, 20000 and 38400 baud, Serial.
        QCOMPARE(d.windowTitle(), "Base Version Q10");
        QCOMPARE(d.combo(Id::Combo3)->currentText(), "Serial");
        expectState(d.form(), "Text1=BAS;Text2=01;Text3=00;Label4=BAS01;Combo1=20000;Combo2=38400");
        // Typed and picked through the controls.
        d.edit(Id::Text1)->setText("XYZ");
        d.edit(Id::Text2)->setText("7");
        d.edit(Id::Text3)->setText("12");
        pick(d.combo(Id::Combo1), "80000");
        pick(d.combo(Id::Combo2), "19200", true);
        pick(d.combo(Id::Combo3), "Serial");
        QVERIFY(d.edit(Id::Text3)->isHidden() && d.label(Id::Label1)->text() == "Base Name");
        pick(d.combo(Id::Combo3), "Radio", true);
        d.Command(2)->click();
        QCOMPARE(r.dialogs.texts(), QStringList{cut ? BaseCommands::kCommunicationError : kOk});
        QVERIFY(!d.isVisible());
        // Shown again, the dialog reads what the write left in the base.
        r.config->base_Click();
        const QString serial = via == "tcp" ? "38400" : "19200";  // not sent over TCP/IP
        expectState(d.form(), "Text1=XYZ;Text2=07;Text3=12;Combo1=80000;Combo2=" + serial +
                                  ";Combo3=" + (cut ? "Serial" : "Radio"));
        QCOMPARE(r.link.BaudRate, serial.toInt());
        r.dialogs.answers << Answer::No << Answer::Yes;
        d.Command(1)->click();
        QVERIFY(d.isVisible());
        d.Command(1)->click();
        QVERIFY(!d.isVisible());
        QVERIFY(r.sim->stop());
        QCOMPARE(r.sim->reports("reset").size(), cut ? 0 : 1);
        QCOMPARE(r.sim->reports("clear").size(), 1);
    }

    // A device chosen for a COM number is stored once the port opens.
    void serialDialogPicksTheDevice() {
        SimRig r;
        QVERIFY(r.start("pty"));
        SerialDialog& d = *r.config->Form3();
        r.settings.save("TCPIP", "1");
        r.config->Serial_Click();
        QVERIFY(d.isVisible() && !d.Compport()->isEnabled() && !d.Label10()->isEnabled());
        d.TCPIP_Check()->setChecked(false);
        QVERIFY(d.Compport()->isEnabled() && d.ComDevice()->isEnabled());
        QCOMPARE(d.ComDevice()->currentText(), r.sim->ptyPath());
        // Typed text stays as typed; the wheel changes nothing.
        d.ComDevice()->addItem("/dev/ttyUSB0");
        type(d.Compport(), "com3", Qt::Key_Return);
        type(d.ComDevice(), "/dev/ttyusb0", Qt::Key_Tab);
        wheel(d.Compport());
        QCOMPARE(d.Compport()->currentText() + d.ComDevice()->currentText(), "com3/dev/ttyusb0");
        pick(d.Compport(), "Com2");
        QCOMPARE(d.ComDevice()->currentText(), "/dev/ttyS1");
        d.ComDevice()->setEditText(r.sim->ptyPath());
        d.Command1()->click();
        QVERIFY(r.dialogs.messages.isEmpty() && !d.isVisible() && r.link.CommPort == 2);
        QCOMPARE(r.settings.get("ComDevice2"), r.sim->ptyPath());
        r.config->Serial_Click();
        QCOMPARE(d.Compport()->itemData(1, Qt::ToolTipRole).toString(), r.sim->ptyPath());
    }

    // Text typed into a box (then Tab or Enter) stays as typed and picks
    // nothing, nor does the wheel; a port chosen in the list is tested before
    // it is taken. The write goes on to its end when the dialog is closed
    // meanwhile.
    void typingPickingAndClosingDuringAWrite() {
        BaseRig r;
        QWidget host;
        BaseConfig config({r.com, r.dialogs, r.settings, r.link}, &host, nullptr);
        BaseDialog& d = *config.Form2();
        config.base_Click();
        type(d.combo(Id::Compport), "Com4", Qt::Key_Tab);
        type(d.combo(Id::Combo2), "9600", Qt::Key_Return);
        wheel(d.combo(Id::Combo1));
        type(d.combo(Id::Combo3), "serial", Qt::Key_Tab);
        expectState(d.form(), "Compport=Com4;Combo2=9600;Combo1=40000;Combo3=serial;flags=O");
        QCOMPARE(r.com.callsNamed({"IO_Open"}).size(), 1);  // the read's
        r.com.results["IO_Open"] = 0;
        pick(d.combo(Id::Compport), "Com9");
        QCOMPARE(d.combo(Id::Compport)->currentText(), "Com1");
        QCOMPARE(r.stored(), "CommPort=1");
        r.com.results["IO_Open"] = 1;
        pick(d.combo(Id::Compport), "Com4", true);
        d.Command(3)->click();  // the link choice is stored, then read
        QCOMPARE(r.stored(), "CommPort=4;TCPIP=0;TCPIPAddr=127.0.0.1");
        d.edit(Id::Text1)->setText("XYZ");
        bool shown = true;
        r.com.inside["B_SetBaseName"] = [&] {
            d.close();
            config.base_Click();  // busy: neither read nor shown
            shown = d.isVisible();
        };
        d.Command(2)->click();
        QVERIFY(!d.isVisible() && !shown);
        QCOMPARE(r.com.callsNamed({"B_BaseGetStatus", "B_ResetBaseProgram"}).size(), 3);
        QCOMPARE(r.dialogs.texts(), QStringList({BaseCommands::kErrorOpeningComPort,
                                                 BaseCommands::kUpdateSuccessful}));
    }

    // The menu items show the dialogs modeless; F1 shows the control's topic.
    void mainWindowShowsTheDialogs() {
        AppFixture f;
        MainWindow& w = f.start();
        w.baseConfig().setRunningUpload([] { return kUpload; });
        w.menuItem("base")->trigger();  // refused, with the upload's text
        QCOMPARE(f.dialogs.texts(), QStringList{kUpload});
        w.baseConfig().setRunningUpload({});
        w.menuItem("base")->trigger();
        w.menuItem("base")->trigger();
        BaseDialog& d = *w.baseConfig().Form2();
        QVERIFY(d.isVisible() && w.isEnabled());
        QCOMPARE(f.com.callsNamed({"B_BaseGetStatus"}).size(), 1);
        w.menuItem("Serial")->trigger();
        QVERIFY(w.baseConfig().Form3()->isVisible());
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.Command(2)->setFocus();
        QTest::keyClick(d.Command(2), Qt::Key_F1);
        QCOMPARE(w.helpViewer()->currentTopic(), 55);
    }

    void portNumbers() {
        const std::pair<const char*, int> rows[] = {
            {"Com7", 7}, {"Com16", 16}, {"Com1 6", 16}, {"Com 3", 3},     {"COMx", 0},  {"Com", 0},
            {"Co", 0},   {"Com2.5", 2}, {"Com3.5", 4},  {"Com12abc", 12}, {"Com-2", -2}};
        for (const auto& [text, port] : rows) QCOMPARE(PortNumberFromText(text), port);
        QCOMPARE(PortNumberFromText(portTexts().last()), kPortCount);
    }

    void fieldRules_data() {
        columns({"steps", "expected"});
        row("loaded", "", "caption=Base Configuration;Label1=Retr.Name;Text3.visible=1;flags=");
        row("two letters", "Text1=AB", "Label4=BAS00;Label5=;flags=N");
        row("third letter", "Text1=AB;Text1=ABC", "Label4=ABC00;Label5=ABC00");
        row("station 7", "Text1=ABC;Text2=7", "Label4=ABC07;Text3.enabled=1");
        row("station 00 from Radio", "pick Combo3=Radio;clear;Text2=00",
            "Combo3=Serial;Text3.enabled=0;Text3.visible=0;Label2=Base Number;flags=NO");
        row("station 0, Serial already", "Text2=5;clear;Text2=0", "Text3.enabled=0;flags=N");
        row("station emptied",
            "pick Combo3=Radio;Text2=5;clear;Text2=", "Label4=BAS05;Text3.enabled=1;flags=N");
        row("remote emptied", "Text3=4;clear;Text3=", "Label5=BAS04;flags=N");
        row("Radio layout", "pick Combo3=Radio",
            "Text3.visible=1;Label3.visible=1;Label5.visible=1;Line1.visible=1;Label9.visible=1;"
            "Label11.visible=1;Label1=Retr. Name;Label2=Retr. Number;flags=O");
        row("Serial layout", "pick Combo3=Radio;pick Combo3=Serial",
            "Text3.visible=0;Label3.visible=0;Label5.visible=0;Line2.visible=0;Line3.visible=0;"
            "Label9.visible=0;Label11.visible=0;Label12.visible=1;Label8.visible=1;"
            "Label1=Base Name;Label2=Base Number");
        row("other send-to text", "pick Combo3=Radio;clear;Combo3=Undefined",
            "Text3.visible=1;Label1=Retr. Name;flags=O");
        row("typed rates", "Combo1=40000;Combo2=38400;Compport=Com3", "Combo1=40000;flags=");
        row("TCP/IP", "check=1",
            "TCPIP_Text.enabled=1;Label10.enabled=0;Label7.enabled=0;Compport.enabled=0;"
            "Combo2.enabled=0;Combo1.enabled=1");
        row("COM port", "check=1;check=0",
            "TCPIP_Text.enabled=0;Label10.enabled=1;Compport.enabled=1;Combo2.enabled=1");
    }
    void fieldRules() {
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        BaseForm form;
        apply(form, steps);
        expectState(form, expected);
    }

    // From port 2 at 38400 baud; the library hands back 4800 as the rate.
    void read_data() {
        columns({"steps", "record", "expected", "messages", "baud"});
        const char* defaults =
            "caption=Base Version DEF;Text1=BAS;Text2=00;Text3=00;Label4=BAS00;Label5=BAS00;"
            "Combo1=20000  ;Combo2=38400;Combo3=Serial;flags=E";
        const char* example = kExample.constData();
        row("worked example", "Text1=XY", example,
            "caption=Base Version V21;Text1=ABC;Text2=05;Text3=03;Label4=ABC05;Label5=ABC03;"
            "Combo1=40000;Combo2=19200;Combo3=Radio;Text3.enabled=1;Compport=Com2;flags=",
            "", "19200");
        row("remote prefix", "", "V21ABC05XYZ0340000 192001", "Label5=XYZ03;Text1=ABC", "",
            "19200");
        row("blank send-to", "", "V21ABC05ABC0340000 19200 ",
            "Combo3=Undefined;Text3.enabled=0;flags=", "", "19200");
        row("no answer", "com:B_BaseGetStatus=0", example, defaults, kError, "38400");
        row("serial rate no number", "", "V21ABC05ABC0340000 19x001", defaults, kError, "38400");
        row("serial rate 0", "", "V21ABC05ABC0340000     01", defaults, kError, "38400");
        row("closing", "com:B_BaseGetStatus=0;closing:B_BaseGetStatus", example, "flags=E", "",
            "38400");
        row("port fails", "Text1=XY;com:IO_Open=0", example,
            "caption=Base Configuration;Text1=XY;Compport=Com1;flags=N",
            BaseCommands::kErrorOpeningComPort, "38400");
        row("IP fails", "com:IO_Open=0;tcpip", example,
            "caption=Base Configuration;TCPIP_Text.enabled=1", BaseCommands::kErrorOpeningIp,
            "38400");
    }
    void read() {
        QFETCH(QString, steps);
        QFETCH(QString, record);
        BaseRig r;
        r.link.CommPort = 2;
        r.com.statusRecord = record.toLatin1();
        r.com.statusBaud = 4800;
        if (steps.contains("tcpip")) r.settings.save("TCPIP", "1");
        run(r, steps.remove("tcpip"));
        const auto result = r.commands.ReadBaseConfiguration(r.form);
        QFETCH(QString, expected);
        expectState(r.form, expected);
        QTEST(r.dialogs.texts().join(';'), "messages");
        QTEST(QString::number(r.link.BaudRate), "baud");
        QCOMPARE(r.link.BaseStatusKnown, result == BaseCommands::ReadResult::Answered);
        QVERIFY(!r.settings.contains("BaudRate"));
        if (QTest::currentDataTag() == QLatin1String("worked example"))
            QCOMPARE(r.com.calls.join(';'),
                     "TCPIP_Stop();IO_Open(2, 38400);IO_Close(2);"
                     "B_BaseGetStatus(2, 38400, 200);IO_Close(2)");
    }

    // A read of the worked example (19200 baud), the steps, then the write.
    void write_data() {
        columns({"steps", "calls", "messages", "flags"});
        row("no flag", "", "TCPIP_Stop();B_ResetBaseProgram(1, 19200)", kOk, "");
        row("reset fails", "com:B_ResetBaseProgram=2", "TCPIP_Stop();B_ResetBaseProgram(1, 19200)",
            kFailed, "");
        row("serial rate over COM",
            "pick Combo2=38400;Text1=XYZ;pick Combo1=80000;pick Combo3=Serial",
            "TCPIP_Stop();B_SetBaseBaudRate2(1, 19200, 38400);B_SetBaseName(1, 38400, XYZ, 5, 3);"
            "B_SetBaseRadio(1, 38400, 0, 80000, 0);B_SetSerialOrRadio(1, 38400, 0);"
            "B_ResetBaseProgram(1, 38400)",
            kOk, "NRSO");
        row("serial rate over TCP/IP", "check=1;pick Combo2=38400;Text1=XYZ",
            "TCPIP_Start(127.0.0.1);B_SetBaseName(1, 19200, XYZ, 5, 3);"
            "B_ResetBaseProgram(1, 19200)",
            kOk, "NS");
        row("serial rate unconfirmed", "pick Combo2=38400;Text1=XYZ;com:B_SetBaseBaudRate2=0",
            "TCPIP_Stop();B_SetBaseBaudRate2(1, 19200, 38400)", kFailed, "NS");
        // The remote number, hidden in the Serial layout, goes as read.
        row("send-to unconfirmed", "Text3=x;pick Combo3=Serial;com:B_SetSerialOrRadio=0",
            "TCPIP_Stop();B_SetBaseName(1, 19200, ABC, 5, 3);B_SetSerialOrRadio(1, 19200, 0)",
            kFailed, "NO");
        row("after a failed read", "fail;pick Combo3=Radio",
            "TCPIP_Stop();B_SetBaseName(1, 38400, BAS, 0, 0);"
            "B_SetBaseRadio(1, 38400, 0, 20000, 0);B_SetSerialOrRadio(1, 38400, 1)",
            "", "ENRSO");
        row("other send-to text", "Combo3=Undefined;Text2=12;Text3=7",
            "TCPIP_Stop();B_SetBaseName(1, 19200, ABC, 12, 7);B_SetSerialOrRadio(1, 19200, 1);"
            "B_ResetBaseProgram(1, 19200)",
            kOk, "NO");
        // The program closing ends the write, silently.
        row("closing", "Text1=QRS;closing:B_SetBaseName",
            "TCPIP_Stop();B_SetBaseName(1, 19200, QRS, 5, 3)", "", "N");
        // Refused before anything is sent or stored.
        row("empty number", "Text3=", "", bad("Base Number"), "N");
        row("serial rate no number", "pick Combo2=38400;Combo2=fast", "", bad("Serial BaudRate"),
            "S");
        row("radio rate 0", "pick Combo1=40000;Combo1=0", "", bad("Radio BaudRate"), "R");
        row("serial rate not sent", "check=1;pick Combo2=38400;Combo2=fast",
            "TCPIP_Start(127.0.0.1);B_ResetBaseProgram(1, 19200)", kOk, "S");
    }
    void write() {
        QFETCH(QString, steps);
        QFETCH(QString, calls);
        QFETCH(QString, messages);
        BaseRig r;
        if (steps.contains("fail")) r.com.results["B_BaseGetStatus"] = 0;
        r.commands.ReadBaseConfiguration(r.form);
        r.com.calls.clear();
        r.dialogs.messages.clear();
        run(r, steps.remove("fail"));
        const After after = r.commands.WriteBaseConfiguration(r.form);
        QCOMPARE(r.com.calls.join(';'), calls);
        QCOMPARE(r.dialogs.texts().join(';'), messages);
        QTEST(state(r.form, "flags"), "flags");
        QCOMPARE(after, calls.isEmpty() ? After::StayOpen : After::Close);
        QCOMPARE(r.settings.get("BaudRate"),
                 calls.contains("BaudRate2") && messages == kOk ? "38400" : "");
        QCOMPARE(r.stored().contains("CommPort=1;TCPIP="), !calls.isEmpty());
    }

    // "Update" of the Serial Configurations dialog, from port 1.
    void update_data() {
        columns({"port", "check", "opens", "calls", "stored"});
        const auto row = [](const char* port, const char* check, const char* opens,
                            const char* calls, const char* stored) {
            QTest::newRow(port) << port << check << opens << calls
                                << QString(stored) + "TCPIP=" + check +
                                       ";TCPIPAddr=" + (*check == '1' ? "" : "127.0.0.1");
        };
        row("Com16", "0", "1", "TCPIP_Stop();IO_Open(16, 38400);IO_Close(16)", "CommPort=16;");
        row("Com5", "0", "0", "TCPIP_Stop();IO_Open(5, 38400)", "");
        row("Com6", "1", "0", "TCPIP_Start()", "");
        // A device picked for Com3: kept once the port opens.
        row("Com3", "0", "1", "TCPIP_Stop();IO_Open(3, 38400);IO_Close(3)",
            "ComDevice3=/dev/ttyUSB0;CommPort=3;");
        row("Com4", "0", "0", "TCPIP_Stop();IO_Open(4, 38400)", "");
    }
    void update() {
        QFETCH(QString, port);
        QFETCH(QString, check);
        QFETCH(QString, opens);
        QFETCH(QString, stored);
        BaseRig r;
        r.com.results["IO_Open"] = opens.toInt();
        SerialForm form = r.commands.loadSerialForm();
        form.Compport = port;
        r.commands.portTextChanged(form);
        if (port == "Com3" || port == "Com4") form.device = "/dev/ttyUSB0";
        form.TCPIP_Check = check.toInt();
        form.TCPIP_Text = check == "1" ? "" : "127.0.0.1";
        const bool failed = r.commands.Update(form) == After::StayOpen;
        QTEST(r.com.calls.join(';'), "calls");
        QCOMPARE(r.stored(), stored);
        QCOMPARE(failed, opens == "0" && check == "0");
        QCOMPARE(r.dialogs.texts().join(';'), failed ? BaseCommands::kErrorOpeningComPort : "");
        QCOMPARE(form.Compport, failed ? "Com1" : port);
        QCOMPARE(r.link.CommPort, stored.contains("CommPort") ? PortNumberFromText(port) : 1);
    }

    // Inside a running write, where the library runs events, no other
    // command starts; nor while an upload runs.
    void oneCommandAtATime() {
        BaseRig r;
        QString inside;
        const auto tryAll = [&] {
            SerialForm form;
            BaseForm other;
            BaseCommands& c = r.commands;
            const auto n = [](auto v) { return QString::number(int(v)); };
            inside += n(c.busy()) + n(c.ReadBaseConfiguration(other)) + n(c.Command3_Click(other)) +
                      n(c.WriteBaseConfiguration(other)) + n(c.ClearBaseProgram()) +
                      n(c.Update(form));
            c.SelectComPort(other);
        };
        r.com.inside["B_SetBaseName"] = tryAll;
        r.commands.ReadBaseConfiguration(r.form);
        apply(r.form, "Text1=XYZ");
        r.commands.WriteBaseConfiguration(r.form);
        QCOMPARE(inside, "100000");
        QCOMPARE(r.com.calls.mid(5).join(';'),
                 "TCPIP_Stop();B_SetBaseName(1, 19200, XYZ, 5, 3);B_ResetBaseProgram(1, 19200)");
        QVERIFY(r.dialogs.messages.size() == 1 && !r.commands.busy());
        // While an upload runs, none starts, and each says what runs.
        r.commands.runningUpload = [] { return kUpload; };
        const QStringList calls = r.com.calls;
        tryAll();
        QVERIFY(r.com.calls == calls && r.dialogs.texts().mid(1) == QStringList(6, kUpload));
    }
};

QTEST_MAIN(TestBaseDialogs)
#include "tst_base_dialogs.moc"
