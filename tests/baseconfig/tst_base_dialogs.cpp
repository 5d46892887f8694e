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
    QTemporaryDir dir;
    std::unique_ptr<quvsim::SimProcess> sim;
    std::unique_ptr<LinkCom> com;
    QWidget host;
    std::unique_ptr<BaseConfig> config;

    bool start(const QString& via, QStringList options = {}) {
        QFile f(dir.filePath("base.json"));
        if (!f.open(QIODevice::WriteOnly)) return false;
        f.write(R"({"version":"V21","localName":"ABC05","remoteName":"ABC03",)"
                R"("radioBaud":40000,"serialBaud":19200,"sendTo":"1"})");
        f.close();
        options << "--config" << f.fileName()
                << (via == "tcp" ? QStringList{"--tcp", "0"} : QStringList{"--pty"});
        sim = std::make_unique<quvsim::SimProcess>(options);
        if (!sim->start()) return false;
        settings.save("TCPIP", via == "tcp" ? "1" : "0");
        settings.save("TCPIPAddr", QString::fromLatin1(sim->tcpAddress()));
        settings.save("ComDevice1", sim->ptyPath());
        com = std::make_unique<LinkCom>(settings);
        config = std::make_unique<BaseConfig>(BaseConfig::Services{*com, dialogs, settings, link},
                                              &host, nullptr);
        return true;
    }
    BaseDialog& form2() { return *config->Form2(); }
    QString text(Id id) {
        QWidget* w = form2().control(id);
        if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
        return qobject_cast<QComboBox*>(w)->currentText();
    }
    void pick(Id id, const QString& item) {
        QComboBox* box = form2().combo(id);
        box->setCurrentIndex(box->findText(item));
        emit box->activated(box->currentIndex());
    }
};

void addLinks() {
    QTest::addColumn<QString>("via");
    QTest::newRow("tcp") << "tcp";
    QTest::newRow("pty") << "pty";
}

}  // namespace

class TestBaseDialogs : public QObject {
    Q_OBJECT
  private slots:
    void readWriteAndClear_data() { addLinks(); }
    void readWriteAndClear() {
        QFETCH(QString, via);
        SimRig r;
        QVERIFY(r.start(via));
        BaseDialog& d = r.form2();
        r.config->base_Click();
        QVERIFY(d.isVisible());
        QCOMPARE(d.windowTitle(), "Base Version V21");
        const QList<Id> shown{Id::Text1, Id::Text2, Id::Text3, Id::Combo1, Id::Combo2, Id::Combo3};
        QStringList texts;
        for (Id id : shown) texts << r.text(id);
        QCOMPARE(texts, QStringList({"ABC", "05", "03", "40000", "19200", "Radio"}));
        QCOMPARE(d.label(Id::Label4)->text(), "ABC05");
        QVERIFY(r.link.BaseStatusKnown);

        d.edit(Id::Text1)->setText("XYZ");
        d.edit(Id::Text2)->setText("7");
        d.edit(Id::Text3)->setText("12");
        r.pick(Id::Combo1, "80000");
        r.pick(Id::Combo2, "38400");
        r.pick(Id::Combo3, "Serial");
        QVERIFY(d.edit(Id::Text3)->isHidden() && d.label(Id::Label1)->text() == "Base Name");
        d.Command(2)->click();
        QCOMPARE(r.dialogs.texts(), QStringList{BaseCommands::kUpdateSuccessful});
        QVERIFY(!d.isVisible());
        QVERIFY(r.sim->waitReports("reset", 1, 2000));

        // Shown again, the dialog reads what the write left in the base.
        r.config->base_Click();
        texts.clear();
        for (Id id : shown) texts << r.text(id);
        const QString serial = via == "tcp" ? "19200" : "38400";  // not sent over TCP/IP
        QCOMPARE(texts, QStringList({"XYZ", "07", "12", "80000", serial, "Serial"}));
        QCOMPARE(r.link.BaudRate, serial.toInt());

        r.dialogs.answers << Answer::Yes;
        d.Command(1)->click();
        QVERIFY(r.sim->waitReports("clear", 1, 2000));
        QVERIFY(!d.isVisible());
        QVERIFY(r.sim->stop());
        QCOMPARE(r.sim->reports("reset").size(), 1);
        QCOMPARE(r.sim->reports("clear").size(), 1);
    }

    void silentBaseGivesTheDefaults_data() { addLinks(); }
    void silentBaseGivesTheDefaults() {
        QFETCH(QString, via);
        SimRig r;
        QVERIFY(r.start(via, {"--silent-after", "0"}));
        QElapsedTimer clock;
        clock.start();
        r.config->base_Click();
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(r.dialogs.texts(), QStringList{BaseCommands::kErrorReading});
        QCOMPARE(r.form2().windowTitle(), "Base Version DEF");
        QCOMPARE(r.text(Id::Combo1), "20000  ");
        QVERIFY(r.form2().isVisible() && !r.link.BaseStatusKnown);
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
        QVERIFY(r.dialogs.messages.isEmpty() && !d.isVisible());
        QCOMPARE(r.link.CommPort, 2);
        QCOMPARE(r.settings.get("ComDevice2"), r.sim->ptyPath());
        r.config->Serial_Click();
        QCOMPARE(d.Compport()->itemData(1, Qt::ToolTipRole).toString(), r.sim->ptyPath());
    }

    // The write goes on to its end when the dialog is closed meanwhile,
    // and stops when the program closes.
    void closingDuringAWrite() {
        BaseRig r;
        QWidget host;
        BaseConfig config({r.com, r.dialogs, r.settings, r.link}, &host, nullptr);
        BaseDialog& d = *config.Form2();
        r.com.statusRecord = kExample;
        config.base_Click();
        d.edit(Id::Text1)->setText("XYZ");
        r.com.inName = [&] {
            d.close();
            config.base_Click();  // busy: neither read nor shown
        };
        d.Command(2)->click();
        QVERIFY(!d.isVisible());
        QCOMPARE(r.com.callsNamed({"B_BaseGetStatus", "B_ResetBaseProgram"}).size(), 2);
        QCOMPARE(r.dialogs.texts(), QStringList{BaseCommands::kUpdateSuccessful});

        config.base_Click();
        d.edit(Id::Text1)->setText("QRS");
        r.com.calls.clear();
        r.com.inName = [&] { r.link.AppClosing = true; };
        d.Command(2)->click();
        QCOMPARE(r.com.calls.last(), "B_SetBaseName(1, 19200, QRS, 5, 3)");
        QCOMPARE(r.dialogs.messages.size(), 1);
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
        QFile help(":/help/QuvC.html");
        QVERIFY(help.open(QIODevice::ReadOnly));
        const QByteArray html = help.readAll();
        for (int topic = 50; topic <= 56; ++topic)
            QVERIFY2(html.contains("name=\"topic-" + QByteArray::number(topic) + "\""),
                     qPrintable(QString::number(topic)));
    }
};

QTEST_MAIN(TestBaseDialogs)
#include "tst_base_dialogs.moc"
