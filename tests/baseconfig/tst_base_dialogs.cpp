// The two dialogs through their controls: against the base station emulator
// over TCP and a pseudo-terminal through the real library, and inside the
// main window over the recording library.
#include "app/help_viewer.h"
#include "base_rig.h"
#include "baseconfig/base_config.h"
#include "baseconfig/base_dialog.h"
#include "baseconfig/serial_dialog.h"
#include "comm/link_com.h"
#include "sim_process.h"
#include "support/app_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace quv;
using namespace quv::test;
using Id = BaseForm::Id;

namespace {
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

// An item picked from one of the dialog's lists.
void pick(BaseDialog& d, Id id, const QString& item) {
    QComboBox* box = d.combo(id);
    box->setCurrentIndex(box->findText(item));
    emit box->activated(box->currentIndex());
}
}  // namespace

class TestBaseDialogs : public QObject {
    Q_OBJECT
  private slots:
    // A silent base station gives the defaults within the time bound.
    void readWriteAndClear_data() {
        QTest::addColumn<QString>("via");
        QTest::addColumn<bool>("silent");
        QTest::newRow("tcp") << "tcp" << false;
        QTest::newRow("pty") << "pty" << false;
        QTest::newRow("tcp silent") << "tcp" << true;
        QTest::newRow("pty silent") << "pty" << true;
    }
    void readWriteAndClear() {
        QFETCH(QString, via);
        QFETCH(bool, silent);
        SimRig r;
        QVERIFY(r.start(via, silent ? QStringList{"--silent-after", "0"} : QStringList{}));
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
        pick(d, Id::Combo1, "80000");
        pick(d, Id::Combo2, "19200");
        pick(d, Id::Combo3, "Radio");
        pick(d, Id::Combo3, "Serial");
        QVERIFY(d.edit(Id::Text3)->isHidden() && d.label(Id::Label1)->text() == "Base Name");
        d.Command(2)->click();
        QCOMPARE(r.dialogs.texts(), QStringList{BaseCommands::kUpdateSuccessful});
        QVERIFY(!d.isVisible());
        // Shown again, the dialog reads what the write left in the base.
        r.config->base_Click();
        const QString serial = via == "tcp" ? "38400" : "19200";  // not sent over TCP/IP
        expectState(d.form(),
                    "Text1=XYZ;Text2=07;Text3=12;Combo1=80000;Combo3=Serial;Combo2=" + serial);
        QCOMPARE(r.link.BaudRate, serial.toInt());
        r.dialogs.answers << Answer::No << Answer::Yes;
        d.Command(1)->click();
        QVERIFY(d.isVisible());
        d.Command(1)->click();
        QVERIFY(!d.isVisible());
        QVERIFY(r.sim->stop());
        QCOMPARE(r.sim->reports("reset").size(), 1);
        QCOMPARE(r.sim->reports("clear").size(), 1);
    }

    // A device picked for a COM number is stored once the port opens.
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
        d.Compport()->setEditText("Com2");
        QCOMPARE(d.ComDevice()->currentText(), "/dev/ttyS1");
        d.ComDevice()->setEditText(r.sim->ptyPath());
        d.Command1()->click();
        QVERIFY(r.dialogs.messages.isEmpty() && !d.isVisible() && r.link.CommPort == 2);
        QCOMPARE(r.settings.get("ComDevice2"), r.sim->ptyPath());
        r.config->Serial_Click();
        QCOMPARE(d.Compport()->itemData(1, Qt::ToolTipRole).toString(), r.sim->ptyPath());
    }

    // A picked port is tested before it is taken. The write goes on to its
    // end when the dialog is closed meanwhile, and stops when the program
    // closes.
    void portPickAndClosingDuringAWrite() {
        BaseRig r;
        QWidget host;
        BaseConfig config({r.com, r.dialogs, r.settings, r.link}, &host, nullptr);
        BaseDialog& d = *config.Form2();
        r.com.statusRecord = kExample;
        config.base_Click();
        r.com.results["IO_Open"] = 0;
        pick(d, Id::Compport, "Com9");
        QCOMPARE(d.combo(Id::Compport)->currentText(), "Com1");
        QCOMPARE(r.stored(), "CommPort=1");
        r.com.results["IO_Open"] = 1;
        pick(d, Id::Compport, "Com4");
        d.Command(3)->click();  // the link choice is stored, then read
        QCOMPARE(r.stored(), "CommPort=4;TCPIP=0;TCPIPAddr=127.0.0.1");
        d.edit(Id::Text1)->setText("XYZ");
        bool shown = true;
        r.com.inName = [&] {
            d.close();
            config.base_Click();  // busy: neither read nor shown
            shown = d.isVisible();
        };
        d.Command(2)->click();
        QVERIFY(!d.isVisible() && !shown);
        QCOMPARE(r.com.callsNamed({"B_BaseGetStatus", "B_ResetBaseProgram"}).size(), 3);
        QCOMPARE(r.dialogs.texts(), QStringList({BaseCommands::kErrorOpeningComPort,
                                                 BaseCommands::kUpdateSuccessful}));

        config.base_Click();
        d.edit(Id::Text1)->setText("QRS");
        r.com.calls.clear();
        r.com.inName = [&] { r.link.AppClosing = true; };
        d.Command(2)->click();
        QCOMPARE(r.com.calls.last(), "B_SetBaseName(4, 19200, QRS, 5, 3)");
        QCOMPARE(r.dialogs.messages.size(), 2);
    }

    // The menu items show the dialogs modeless; F1 shows the control's topic.
    void mainWindowShowsTheDialogs() {
        AppFixture f;
        MainWindow& w = f.start();
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
};

QTEST_MAIN(TestBaseDialogs)
#include "tst_base_dialogs.moc"
