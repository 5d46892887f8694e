// The port texts, the field rules of the base configuration form, the status
// read, the ordered write, the clear and the link settings' "Update", over
// the recording library.
#include "base_rig.h"
#include "baseconfig/port_text.h"

using namespace quv;
using namespace quv::test;
using After = BaseCommands::After;
using Result = BaseCommands::ReadResult;

namespace {
// Steps for the form, and "com:Name=result" for the library's answers.
void run(BaseRig& r, const QStringList& steps) {
    for (const QString& s : steps)
        if (s.startsWith(QLatin1String("com:")))
            r.com.results[s.mid(4).section('=', 0, 0)] = s.section('=', 1).toInt();
        else
            apply(r.form, s);
}
const QString kBadNumber = QStringLiteral(
    "The field \"%1\" does not hold a valid number. Nothing was written to the base.");
}  // namespace

class TestBaseRules : public QObject {
    Q_OBJECT
  private slots:
    void portNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("port");
        const std::pair<const char*, int> rows[] = {
            {"Com7", 7}, {"Com16", 16}, {"Com1 6", 16}, {"Com 3", 3},     {"COMx", 0},  {"Com", 0},
            {"Co", 0},   {"Com2.5", 2}, {"Com3.5", 4},  {"Com12abc", 12}, {"Com-2", -2}};
        for (const auto& [text, port] : rows) QTest::newRow(text) << text << port;
    }
    void portNumbers() {
        QFETCH(QString, text);
        QFETCH(int, port);
        QCOMPARE(PortNumberFromText(text), port);
        if (port > 0) QCOMPARE(PortNumberFromText(PortText(port)), port);
    }

    void fieldRules_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("expected");
        const auto row = [](const char* name, QStringList steps, QStringList expected) {
            QTest::newRow(name) << steps << expected;
        };
        row("loaded", {},
            {"caption=Base Configuration", "Label1=Retr.Name", "Text3.visible=1",
             "Label9.visible=1", "Combo1=20000", "Combo2=19200", "flags="});
        row("two letters", {"Text1=AB"}, {"Label4=BAS00", "Label5=", "flags=N"});
        row("third letter", {"Text1=AB", "Text1=ABC"}, {"Label4=ABC00", "Label5=ABC00"});
        row("station 7", {"Text1=ABC", "Text2=7"}, {"Label4=ABC07", "Text3.enabled=1"});
        row("station 00 from Radio", {"pick Combo3=Radio", "clear", "Text2=00"},
            {"Combo3=Serial", "Text3.enabled=0", "Text3.visible=0", "Label2=Base Number",
             "flags=NO"});
        row("station 0, Serial already", {"Text2=5", "clear", "Text2=0"},
            {"Text3.enabled=0", "flags=N"});
        row("station emptied", {"pick Combo3=Radio", "Text2=5", "clear", "Text2="},
            {"Label4=BAS05", "Text3.enabled=1", "flags=N"});
        row("remote 3", {"pick Combo3=Radio", "Text2=5", "Text3=3"}, {"Label5=BAS03"});
        row("remote emptied", {"Text3=4", "clear", "Text3="}, {"Label5=BAS04", "flags=N"});
        row("Radio layout", {"pick Combo3=Radio"},
            {"Text3.visible=1", "Label3.visible=1", "Label5.visible=1", "Line1.visible=1",
             "Label9.visible=1", "Label11.visible=1", "Label1=Retr. Name", "Label2=Retr. Number",
             "flags=O"});
        row("Serial layout", {"pick Combo3=Radio", "pick Combo3=Serial"},
            {"Text3.visible=0", "Label3.visible=0", "Label5.visible=0", "Line2.visible=0",
             "Line3.visible=0", "Label9.visible=0", "Label11.visible=0", "Label12.visible=1",
             "Label8.visible=1", "Combo3.visible=1", "Label1=Base Name", "Label2=Base Number"});
        row("other send-to text", {"pick Combo3=Radio", "clear", "Combo3=Undefined"},
            {"Text3.visible=1", "Label1=Retr. Name", "flags=O"});
        row("typed rates", {"Combo1=40000", "Combo2=38400", "Compport=Com3"},
            {"Combo1=40000", "flags="});
        row("picked rates", {"pick Combo1=40000", "pick Combo2=4800"}, {"flags=RS"});
        row("TCP/IP", {"check=1"},
            {"TCPIP_Text.enabled=1", "Label10.enabled=0", "Label7.enabled=0", "Compport.enabled=0",
             "Combo2.enabled=0", "Combo1.enabled=1"});
        row("COM port", {"check=1", "check=0"},
            {"TCPIP_Text.enabled=0", "Label10.enabled=1", "Compport.enabled=1",
             "Combo2.enabled=1"});
    }
    void fieldRules() {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, expected);
        BaseForm form;
        for (const QString& s : steps) apply(form, s);
        expectState(form, expected);
    }

    void read_data() {
        QTest::addColumn<QStringList>("steps");  // before the read
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("baud");
        const QStringList defaults{"caption=Base Version DEF",
                                   "Text1=BAS",
                                   "Text2=00",
                                   "Text3=00",
                                   "Label4=BAS00",
                                   "Label5=BAS00",
                                   "Combo1=20000  ",
                                   "Combo2=38400",
                                   "Combo3=Serial",
                                   "flags=E"};
        const QStringList failed{BaseCommands::kErrorReading};
        QTest::newRow("worked example") << QStringList{"Text1=XY"} << kExample
                                        << QStringList{"caption=Base Version V21",
                                                       "Text1=ABC",
                                                       "Text2=05",
                                                       "Text3=03",
                                                       "Label4=ABC05",
                                                       "Label5=ABC03",
                                                       "Combo1=40000",
                                                       "Combo2=19200",
                                                       "Combo3=Radio",
                                                       "Text3.enabled=1",
                                                       "Compport=Com2",
                                                       "flags="}
                                        << QStringList{} << 19200;
        QTest::newRow("remote prefix")
            << QStringList{} << QByteArray("V21ABC05XYZ0340000 192001")
            << QStringList{"Label5=XYZ03", "Text1=ABC"} << QStringList{} << 19200;
        QTest::newRow("blank send-to")
            << QStringList{} << QByteArray("V21ABC05ABC0340000 19200 ")
            << QStringList{"Combo3=Undefined", "Text3.enabled=0", "flags="} << QStringList{}
            << 19200;
        QTest::newRow("no answer")
            << QStringList{"com:B_BaseGetStatus=0"} << kExample << defaults << failed << 38400;
        QTest::newRow("serial rate not a number")
            << QStringList{} << QByteArray("V21ABC05ABC0340000 19x001") << defaults << failed
            << 38400;
        QTest::newRow("serial rate 0") << QStringList{} << QByteArray("V21ABC05ABC0340000     01")
                                       << defaults << failed << 38400;
        QTest::newRow("port fails")
            << QStringList{"Text1=XY", "com:IO_Open=0"} << kExample
            << QStringList{"caption=Base Configuration", "Text1=XY", "Compport=Com1", "flags=N"}
            << QStringList{BaseCommands::kErrorOpeningComPort} << 38400;
        QTest::newRow("IP connection fails")
            << QStringList{"com:IO_Open=0", "tcpip"} << kExample
            << QStringList{"caption=Base Configuration", "TCPIP_Text.enabled=1",
                           "Compport.enabled=0"}
            << QStringList{BaseCommands::kErrorOpeningIp} << 38400;
    }
    void read() {
        QFETCH(QStringList, steps);
        QFETCH(QByteArray, record);
        BaseRig r;
        r.link.CommPort = 2;
        r.com.statusRecord = record;
        r.com.statusBaud = 4800;  // replaced by the record's own rate
        if (steps.removeAll("tcpip")) r.settings.save("TCPIP", "1");
        run(r, steps);
        const Result result = r.commands.ReadBaseConfiguration(r.form);
        QFETCH(QStringList, expected);
        expectState(r.form, expected);
        QTEST(r.dialogs.texts(), "messages");
        QTEST(int(r.link.BaudRate), "baud");
        QCOMPARE(r.link.BaseStatusKnown, result == Result::Answered);
        QVERIFY(!r.settings.contains("BaudRate"));
        if (QTest::currentDataTag() == QLatin1String("worked example"))
            QCOMPARE(r.com.calls, QStringList({"TCPIP_Stop()", "IO_Open(2, 38400)", "IO_Close(2)",
                                               "B_BaseGetStatus(2, 38400, 200)", "IO_Close(2)"}));
    }

    // A read of the worked example, then the steps, then the write.
    void write_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("baud");
        QTest::addColumn<QString>("flags");  // afterwards
        const auto row = [](const char* name, QStringList steps, QStringList calls,
                            QStringList messages, int baud = 19200, QString flags = {}) {
            QTest::newRow(name) << steps << calls << messages << baud << flags;
        };
        const QStringList ok{BaseCommands::kUpdateSuccessful};
        row("no flag", {}, {"TCPIP_Stop()", "B_ResetBaseProgram(1, 19200)"}, ok);
        row("reset fails", {"com:B_ResetBaseProgram=2"},
            {"TCPIP_Stop()", "B_ResetBaseProgram(1, 19200)"}, {BaseCommands::kCommunicationError});
        row("serial rate over COM",
            {"pick Combo2=38400", "Text1=XYZ", "pick Combo1=80000", "pick Combo3=Serial"},
            {"TCPIP_Stop()", "B_SetBaseBaudRate2(1, 19200, 38400)",
             "B_SetBaseName(1, 38400, XYZ, 5, 3)", "B_SetBaseRadio(1, 38400, 0, 80000, 0)",
             "B_SetSerialOrRadio(1, 38400, 0)", "B_ResetBaseProgram(1, 38400)"},
            ok, 38400, "NRSO");
        row("serial rate over TCP/IP", {"check=1", "pick Combo2=38400", "Text1=XYZ"},
            {"TCPIP_Start(127.0.0.1)", "B_SetBaseName(1, 19200, XYZ, 5, 3)",
             "B_ResetBaseProgram(1, 19200)"},
            ok, 19200, "NS");
        row("after a failed read", {"fail", "pick Combo3=Radio"},
            {"TCPIP_Stop()", "B_SetBaseName(1, 38400, BAS, 0, 0)",
             "B_SetBaseRadio(1, 38400, 0, 20000, 0)", "B_SetSerialOrRadio(1, 38400, 1)"},
            {}, 38400, "ENRSO");
        row("other send-to text", {"Combo3=Undefined", "Text2=12", "Text3=7"},
            {"TCPIP_Stop()", "B_SetBaseName(1, 19200, ABC, 12, 7)",
             "B_SetSerialOrRadio(1, 19200, 1)", "B_ResetBaseProgram(1, 19200)"},
            ok, 19200, "NO");
        // Refused before anything is sent or saved.
        row("empty number", {"Text3="}, {}, {kBadNumber.arg("Base Number")}, 19200, "N");
        row("serial rate not a number", {"pick Combo2=38400", "Combo2=fast"}, {},
            {kBadNumber.arg("Serial BaudRate")}, 19200, "S");
        row("radio rate 0", {"pick Combo1=40000", "Combo1=0"}, {},
            {kBadNumber.arg("Radio BaudRate")}, 19200, "R");
        row("serial rate not sent", {"check=1", "pick Combo2=38400", "Combo2=fast"},
            {"TCPIP_Start(127.0.0.1)", "B_ResetBaseProgram(1, 19200)"}, ok, 19200, "S");
    }
    void write() {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, calls);
        BaseRig r;
        r.com.statusRecord = kExample;
        if (steps.removeAll("fail")) r.com.results["B_BaseGetStatus"] = 0;
        r.commands.ReadBaseConfiguration(r.form);
        r.com.calls.clear();
        r.dialogs.messages.clear();
        run(r, steps);
        const After after = r.commands.WriteBaseConfiguration(r.form);
        QCOMPARE(r.com.calls, calls);
        QTEST(r.dialogs.texts(), "messages");
        QTEST(int(r.link.BaudRate), "baud");
        QTEST(state(r.form, "flags"), "flags");
        QCOMPARE(after, calls.isEmpty() ? After::StayOpen : After::Close);
        const bool serialSent = !r.com.callsNamed({"B_SetBaseBaudRate2"}).isEmpty();
        QCOMPARE(r.settings.get("BaudRate"), serialSent ? QString("38400") : QString());
        QCOMPARE(r.settings.get("CommPort"), calls.isEmpty() ? QString() : QString("1"));
    }

    void clear() {
        BaseRig r;
        r.dialogs.answers << Answer::No << Answer::Yes;
        QCOMPARE(r.commands.ClearBaseProgram(), After::StayOpen);
        QVERIFY(r.com.calls.isEmpty());
        QCOMPARE(r.commands.ClearBaseProgram(), After::Close);
        QCOMPARE(r.com.calls, QStringList{"B_ClearBaseProgram(1, 38400)"});
        QCOMPARE(r.dialogs.texts(), QStringList(2, BaseCommands::kClearQuestion));
        QVERIFY(r.settings.values().isEmpty());
    }

    // "Update" of the Serial Configurations dialog, from port 1.
    void update_data() {
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("check");
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("opens");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("settings");  // everything stored afterwards
        QTest::addColumn<int>("commPort");
        const QStringList tcp0{"TCPIP=0", "TCPIPAddr=127.0.0.1"};
        QTest::newRow("Com16") << "Com16" << 0 << "/dev/ttyS15" << 1
                               << QStringList{"TCPIP_Stop()", "IO_Open(16, 38400)", "IO_Close(16)"}
                               << QStringList{"CommPort=16"} + tcp0 << 16;
        QTest::newRow("fails") << "Com5" << 0 << "/dev/ttyS4" << 0
                               << QStringList{"TCPIP_Stop()", "IO_Open(5, 38400)"} << tcp0 << 1;
        QTest::newRow("no digits") << "Comx" << 0 << "" << 0
                                   << QStringList{"TCPIP_Stop()", "IO_Open(0, 38400)"} << tcp0 << 1;
        QTest::newRow("TCP/IP") << "Com5" << 1 << "/dev/ttyUSB0" << 0
                                << QStringList{"TCPIP_Start()"}
                                << QStringList{"TCPIP=1", "TCPIPAddr="} << 1;
        QTest::newRow("device picked")
            << "Com3" << 0 << "/dev/ttyUSB0" << 1
            << QStringList{"TCPIP_Stop()", "IO_Open(3, 38400)", "IO_Close(3)"}
            << QStringList{"ComDevice3=/dev/ttyUSB0", "CommPort=3"} + tcp0 << 3;
        QTest::newRow("device fails") << "Com3" << 0 << "/dev/ttyUSB0" << 0
                                      << QStringList{"TCPIP_Stop()", "IO_Open(3, 38400)"}
                                      << QStringList{"ComDevice3="} + tcp0 << 1;
    }
    void update() {
        QFETCH(QString, port);
        QFETCH(int, opens);
        BaseRig r;
        r.com.results["IO_Open"] = opens;
        SerialForm form = r.commands.loadSerialForm();
        QCOMPARE(form.Compport, "Com1");
        QCOMPARE(form.device, "/dev/ttyS0");
        form.Compport = port;
        r.commands.portTextChanged(form);
        QFETCH(int, check);
        form.TCPIP_Check = check;
        form.TCPIP_Text = check ? "" : "127.0.0.1";
        QFETCH(QString, device);
        form.device = device;
        const After after = r.commands.Update(form);
        QTEST(r.com.calls, "calls");
        QTEST(settingsList(r.settings), "settings");
        QTEST(int(r.link.CommPort), "commPort");
        const bool failed = !opens && !check;
        QCOMPARE(after, failed ? After::StayOpen : After::Close);
        QCOMPARE(r.dialogs.texts(),
                 failed ? QStringList{BaseCommands::kErrorOpeningComPort} : QStringList{});
        if (failed) QCOMPARE(form.Compport, "Com1");
    }

    void selectComPort() {
        BaseRig r;
        apply(r.form, "pick Compport=Com4");
        r.commands.SelectComPort(r.form);
        QCOMPARE(r.link.CommPort, 4);
        r.com.results["IO_Open"] = 0;
        apply(r.form, "pick Compport=Com9");
        r.commands.SelectComPort(r.form);
        QCOMPARE(r.form.text(BaseForm::Compport), "Com4");
        QCOMPARE(r.com.calls,
                 QStringList({"IO_Open(4, 38400)", "IO_Close(4)", "IO_Open(9, 38400)"}));
        QCOMPARE(r.dialogs.texts(), QStringList{BaseCommands::kErrorOpeningComPort});
        QCOMPARE(settingsList(r.settings), QStringList{"CommPort=4"});
    }

    // Inside a running write or read, where the library runs events, no
    // other command starts.
    void oneCommandAtATime() {
        BaseRig r;
        r.com.statusRecord = kExample;
        QStringList inside;
        const auto others = [&] {
            SerialForm form;
            BaseForm other;
            inside << QString::number(r.commands.busy())
                   << QString::number(int(r.commands.ReadBaseConfiguration(other)))
                   << QString::number(int(r.commands.Command3_Click(other)))
                   << QString::number(int(r.commands.WriteBaseConfiguration(other)))
                   << QString::number(int(r.commands.ClearBaseProgram()))
                   << QString::number(int(r.commands.Update(form)));
            r.commands.SelectComPort(other);
        };
        r.com.inOpen = others;
        r.commands.ReadBaseConfiguration(r.form);
        r.com.inOpen = nullptr;
        apply(r.form, "Text1=XYZ");
        r.com.inName = others;
        r.commands.WriteBaseConfiguration(r.form);
        QCOMPARE(inside, QStringList({"1", "0", "0", "0", "0", "0"}) +
                             QStringList({"1", "0", "0", "0", "0", "0"}));
        QCOMPARE(
            r.com.callsNamed({"IO_Open", "B_BaseGetStatus", "B_SetBaseName", "B_ResetBaseProgram",
                              "B_ClearBaseProgram", "TCPIP_Start"}),
            QStringList({"IO_Open(1, 38400)", "B_BaseGetStatus(1, 38400, 200)",
                         "B_SetBaseName(1, 19200, XYZ, 5, 3)", "B_ResetBaseProgram(1, 19200)"}));
        QVERIFY(r.dialogs.messages.size() == 1 && !r.commands.busy());
    }
};

QTEST_GUILESS_MAIN(TestBaseRules)
#include "tst_base_rules.moc"
