#include "app/documents.h"
#include "app/help_viewer.h"
#include "app/layout_rules.h"
#include "app/status_panels.h"
#include "core/settings_keys.h"
#include "editor/source_editor.h"
#include "support/app_fixture.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

using namespace quv;
using quv::test::AppFixture;

class TestMainWindow : public QObject {
    Q_OBJECT
  private slots:
    void startUpFromAnEmptyStoreGivesEveryDefault() {
        AppFixture f;
        MainWindow& w = f.start();
        QVERIFY(f.dialogs.messages.isEmpty());  // no last document: no message
        for (const auto& [item, on] : {std::pair{"EditorEnabled", false},
                                       {"SaveConfirmation", true},
                                       {"AutoIndent", true},
                                       {"compiler_window", false},
                                       {"Gencodewithlines", false}})
            QVERIFY2(w.menuItem(item)->isChecked() == on, item);
        QVERIFY(!w.Source()->isVisible() && !w.isMaximized());
        QCOMPARE(w.height(), 118);  // 1770 twips
        QCOMPARE(f.link.CommPort, 1);
        QCOMPARE(f.link.BaudRate, 38400);
        QVERIFY(f.com.callsNamed({"TCPIP_Start"}).isEmpty());
        for (int i = 6; i <= 10; ++i) QCOMPARE(w.Command1(i)->text(), QString());
        QVERIFY(w.Source()->bytes().isEmpty());
        QVERIFY(!w.List1()->isVisible());
        QVERIFY(w.Timer1()->isActive());
        QCOMPARE(w.Timer1()->interval(), 200);
        QCOMPARE(w.Source()->editorFont().pointSizeF(), 12.0);
        QCOMPARE(w.windowTitle(), "Z7Q C Development System 1.0.0 - " +
                                      QDir::toNativeSeparators(QDir::currentPath()) + "/");
        // The status bar's panels, the date first.
        StatusPanels* sb = w.StatusBar1();
        QCOMPARE(sb->panel(1)->text(),
                 QLocale::system().toString(f.clock.date, QLocale::ShortFormat));
        QCOMPARE(QStringList({sb->panelText("Baud"), sb->panelText("Line"), sb->panelText("Name"),
                              sb->panelText("Project")}),
                 QStringList({"Baud", "Line Number", "Filename", "Project file"}));
        // Nothing is written at start-up.
        QVERIFY(f.settings.values().isEmpty());
    }

    void theTcpipLinkStartsOnlyWhenTheSettingIsOne() {
        const std::tuple<const char*, const char*, QStringList> rows[] = {
            {"1", nullptr, {"TCPIP_Start(127.0.0.1)"}},
            {"1", "10.0.0.7:4001", {"TCPIP_Start(10.0.0.7:4001)"}},
            {"2", "10.0.0.7", {}},
            {"on", nullptr, {}}};
        for (const auto& [tcpip, address, expected] : rows) {
            AppFixture f;
            f.settings.save(keys::kTcpip, tcpip);
            if (address) f.settings.save(keys::kTcpipAddr, address);
            f.settings.save(keys::kCommPort, "3");
            f.settings.save(keys::kBaudRate, "9600");
            f.start();
            QCOMPARE(f.com.callsNamed({"TCPIP_Start"}), expected);
            QVERIFY(f.link.CommPort == 3 && f.link.BaudRate == 9600);
        }
    }

    void theMenuShowsTheOptionsItToggles() {
        AppFixture f;
        MainWindow& w = f.start();
        w.menuItem("SaveConfirmation")->trigger();
        QCOMPARE(f.settings.get(keys::kSaveConfirmation), QString("False"));
        QVERIFY(!w.options().Save_Confirmation);
        QVERIFY(!w.menuItem("SaveConfirmation")->isChecked());
        w.menuItem("Gencodewithlines")->trigger();
        QVERIFY(w.options().GencodeLines);
        QVERIFY(w.menuItem("Gencodewithlines")->isChecked());
        w.Gencodewithlines_Click();
        QVERIFY(!w.menuItem("Gencodewithlines")->isChecked());
    }

    void editorEnabledSwitchesBetweenFullAndCompactMode() {
        AppFixture f;
        MainWindow& w = f.start();
        w.menuItem("EditorEnabled")->trigger();
        QCOMPARE(f.settings.get(keys::kEditorEnabled), QString("True"));
        QTRY_VERIFY(w.isMaximized());
        QVERIFY(w.Source()->isVisible());
        // The editor fills the client area between the buttons and the status bar.
        QTRY_COMPARE(w.Source()->geometry().top(), twipsToPixels(135 + 870 + 20));
        QVERIFY(w.Source()->height() > 200);

        w.EditorEnabled_Click();
        QCOMPARE(f.settings.get(keys::kEditorEnabled), QString("False"));
        QTRY_VERIFY(!w.isMaximized());
        QCOMPARE(w.height(), 118);
        QVERIFY(!w.Source()->isVisible());

        // In compact mode a maximised window goes back to its normal size at once.
        w.showMaximized();
        QTRY_VERIFY(!w.isMaximized());
    }

    void menuKeysWorkFromTheEditor() {
        AppFixture f;
        f.settings.save(keys::kEditorEnabled, "True");
        MainWindow& w = f.start();
        w.activateWindow();
        w.Source()->setFocus();
        QTRY_VERIFY(w.Source()->hasFocus());
        // Ctrl+I and Ctrl+E belong to the menus, not to the editor control.
        QTest::keyClick(w.Source(), Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(f.settings.get(keys::kAutoIndent), QString("False"));
        QTest::keyClick(w.Source(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(f.settings.get(keys::kEditorEnabled), QString("False"));
        QVERIFY(w.Source()->bytes().isEmpty());
    }

    // The buttons sit where the layout rule puts them, 29 pixels high, 8
    // points, bold from 2 to 5 in the upper row.
    void buttonsStretchAcrossTheWindow() {
        AppFixture f;
        MainWindow& w = f.start();
        w.resize(800, w.height());
        QTRY_COMPARE(w.width(), 800);
        LayoutInput in;
        in.W = pixelsToTwips(w.frameGeometry().width());
        const LayoutResult r = computeFormLayout(in);
        for (int i = 1; i <= 10; ++i) {
            QPushButton* b = w.Command1(i);
            const int k = (i - 1) % 5;
            QCOMPARE(b->geometry(), QRect(twipsToPixels(r.buttonLeft[k]), i <= 5 ? 8 : 40,
                                          twipsToPixels(*r.buttonWidth[k]), 29));
            QCOMPARE(b->font().pointSizeF(), 8.0);
            QCOMPARE(b->font().bold(), i >= 2 && i <= 5);
        }
        QCOMPARE(w.Bar1()->width(), w.frameGeometry().width());
        QCOMPARE(w.List1()->x(), twipsToPixels(in.W - 4100));
    }

    void menusAndButtonsCarryTheirCaptionsKeysAndTips() {
        AppFixture f;
        MainWindow& w = f.start();
        QCOMPARE(w.menuItem("Open")->text(), QString("&Open"));
        QCOMPARE(w.menuItem("Open")->shortcut(), QKeySequence(Qt::Key_F6));
        QCOMPARE(w.menuItem("EditorEnabled")->shortcut(), QKeySequence("Ctrl+E"));
        QCOMPARE(w.menuItem("Compiler")->shortcut(), QKeySequence(Qt::Key_F7));
        QCOMPARE(w.menuItem("Gencodewithlines")->property("helpTopic").toInt(), 261);
        QVERIFY(!w.menuItem("newproject")->isEnabled());
        QVERIFY(!w.menuItem("Project")->isEnabled());
        QVERIFY(!w.menuItem("compile_project")->isEnabled());
        QVERIFY(w.menuItem("setup")->isEnabled());
        QCOMPARE(w.menuBar()->actions().last()->text(), QString("&Help"));
        QCOMPARE(w.Command1(1)->toolTip(), QString("Open file F6"));
        QVERIFY(!w.Command1(1)->icon().isNull());
        QCOMPARE(w.Command1(3)->text(), QString("Raw RS232 Upload"));
        QCOMPARE(w.Command1(8)->toolTip(), QString("Open file"));
    }

    void f1OnAMenuItemShowsItsHelpTopic() {
        AppFixture f;
        MainWindow& w = f.start();
        auto* config = w.findChild<QMenu*>("config");
        QVERIFY(config);
        config->popup(QPoint(10, 10));
        QTRY_VERIFY(config->isVisible());
        config->setActiveAction(w.menuItem("Gencodewithlines"));
        QTest::keyClick(config, Qt::Key_F1);
        QCOMPARE(w.helpViewer()->currentTopic(), 261);
        QVERIFY(w.helpViewer()->isVisible());
        QVERIFY(!config->isVisible());
        // The Help menu shows the topic of the focused control: the contents.
        w.Help_Click();
        QCOMPARE(w.helpViewer()->currentTopic(), 0);
        // A disabled item cannot be made active: the one under the mouse counts.
        auto* file = w.findChild<QMenu*>("File");
        file->popup(QPoint(10, 10));
        QTRY_VERIFY(file->isVisible());
        QCursor::setPos(file->mapToGlobal(file->actionGeometry(w.menuItem("newproject")).center()));
        QTest::keyClick(file, Qt::Key_F1);
        QCOMPARE(w.helpViewer()->currentTopic(), 7);
        // Each topic is a page of its own, so it starts at the top of the window.
        const QString page = w.helpViewer()->browser()->toPlainText();
        QVERIFY2(page.startsWith("File > New Project"), qPrintable(page));
        QVERIFY(!page.contains("Auto Indent"));
    }

    void closingAsksEvenWithoutSaveConfirmationAndStoresTheRecentFiles() {
        AppFixture f;
        const QString a = f.writeFile("a.c", "int a;\r\n");
        const QString b = f.writeFile("b.c", "int b;\r\n");
        f.settings.save(keys::kEditorEnabled, "True");
        f.settings.save(keys::kSaveConfirmation, "False");
        f.settings.save("Last_2", a);
        f.settings.save("Last_4", b);
        f.settings.save(keys::kFileName, b);
        MainWindow& w = f.start();
        QTest::keyClicks(w.Source(), "x");
        QVERIFY(w.documents().Source_changed);
        f.dialogs.answers << Answer::Yes;
        QSignalSpy closed(&w, &MainWindow::closed);
        QVERIFY(w.close());
        QCOMPARE(closed.count(), 1);
        QVERIFY(f.link.AppClosing);
        QCOMPARE(f.dialogs.texts(), QStringList{"Save changes to file ?"});
        QCOMPARE(f.dialogs.messages.first().buttons, Buttons::YesNo);
        QCOMPARE(f.dialogs.messages.first().title, QString("Ombrex"));
        QCOMPARE(AppFixture::readFile(b), QByteArray("xint b;\r\n"));
        QCOMPARE(f.settings.get("Last_1"), QString());
        QCOMPARE(f.settings.get("Last_2"), a);
        QCOMPARE(f.settings.get("Last_3"), QString());
        QCOMPARE(f.settings.get("Last_4"), b);
        QCOMPARE(f.settings.get("Last_5"), QString());
        QCOMPARE(f.com.calls.last(), QString("StopAllProcesses()"));
    }

    void closingWhenTheSaveFailsKeepsTheWindowAndTheText() {
        AppFixture f;
        f.settings.save(keys::kEditorEnabled, "True");
        MainWindow& w = f.start();
        w.documents().CurrentFileName = f.dir.filePath("gone/prog.c");
        QTest::keyClicks(w.Source(), "keep me");
        f.dialogs.answers << Answer::Yes;
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QVERIFY(!f.link.AppClosing);
        QVERIFY(w.documents().Source_changed);
        QCOMPARE(w.Source()->bytes(), QByteArray("keep me"));
        QVERIFY(f.com.callsNamed({"StopAllProcesses"}).isEmpty());
        QCOMPARE(f.dialogs.messages.size(), 2);
        QVERIFY(f.dialogs.messages.at(1).text.contains("gone"));
        // Answering No closes without saving.
        f.dialogs.answers << Answer::No;
        QVERIFY(w.close());
    }

    void theCaptionAndTheButtonsFollowTheOpenedFile() {
        AppFixture f;
        const QString other = f.writeFile("other.c", "x\r\n");
        f.settings.save("Last_3", other);
        const QString path = f.writeFile("deep/er/prog.c", "main(){}\r\n");
        MainWindow& w = f.start();
        w.documents().Open_File(path);
        const QString folder = QDir::toNativeSeparators(f.dir.filePath("deep/er"));
        QCOMPARE(w.InitialDirectory, folder + QDir::separator());
        QCOMPARE(w.windowTitle(), "Z7Q C Development System 1.0.0 - " + folder + QDir::separator());
        QCOMPARE(w.StatusBar1()->panelText("Name"), path);
        QCOMPARE(w.Command1(6)->text(), path);
        QCOMPARE(w.Command1(6)->property("tag").toString(), path);
        QCOMPARE(w.Command1(8)->text(), other);
        QVERIFY(w.Command1(6)->property("highlighted").toBool());
        QVERIFY(!w.Command1(8)->property("highlighted").toBool());
    }

    void returningFromTheProgramsOwnWindowsActivatesTheMainWindow() {
        AppFixture f;
        MainWindow& w = f.start();
        w.activateWindow();
        QTRY_VERIFY(w.isActiveWindow());

        // Another window that is not one of the program's own (a message
        // box, say) does not count.
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY(other.isActiveWindow());
        f.link.BaseStatusKnown = true;
        w.activateWindow();
        QTRY_VERIFY(w.isActiveWindow());
        QVERIFY(f.link.BaseStatusKnown);

        // The help window is one of them.
        w.showHelpTopic(0);
        w.helpViewer()->activateWindow();
        QTRY_VERIFY(w.helpViewer()->isActiveWindow());
        QDir::setCurrent(f.dir.path());
        w.activateWindow();
        QTRY_VERIFY(!f.link.BaseStatusKnown);
        QVERIFY(w.windowTitle().endsWith(QDir::toNativeSeparators(f.dir.path()) + "/"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
