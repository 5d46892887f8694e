// The main window on fakes; the documents without a window (open, save, the
// save question, new, close, save as and the recent-file buttons) on a text
// that stands in for the editor; the recent-file ranks and the layout formulas.
#include "app/documents.h"
#include "app/help_viewer.h"
#include "app/layout_rules.h"
#include "app/recent_files.h"
#include "app/recovery.h"
#include "app/status_panels.h"
#include "app/unsaved_work.h"
#include "core/app_paths.h"
#include "core/options.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "core/text_file.h"
#include "core/working_folder.h"
#include "editor/source_editor.h"
#include "support/app_fixture.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

using namespace quv;
using quv::test::AppFixture;

namespace {
// The slots' ranks as digits.
QString ranks(const RecentFiles& r) {
    QString out;
    for (int n = 1; n <= RecentFiles::kSlots; ++n) out += QString::number(r.slot(n).rank);
    return out;
}
int highlighted(const RecentFiles& r) {
    int h = 0;
    for (int n = 1; n <= RecentFiles::kSlots; ++n)
        if (r.slot(n).highlighted) h = h ? -1 : n;  // -1: more than one
    return h;
}

struct FakeText : DocumentText {
    QByteArray text;
    int caret = 0;
    int focused = 0;
    QByteArray bytes() const override { return text; }
    void setBytes(const QByteArray& t) override {
        text = t;
        caret = 0;
    }
    int caretPosition() const override { return caret; }
    void setCaretPosition(int p) override { caret = p; }
    void focus() override { ++focused; }
};

struct Fixture {
    QTemporaryDir dir;
    QString previousFolder = QDir::currentPath();
    FakeText text;
    test::ScriptedDialogs dialogs;
    MemorySettingsStore settings;
    ProcessWorkingFolder folder;
    Options options;
    Documents docs{text, dialogs, settings, folder, options};
    QSignalSpy activations{&docs, &Documents::activationRequested};

    explicit Fixture(bool fullMode = true) { options.EditorEnabled = fullMode; }
    ~Fixture() { QDir::setCurrent(previousFolder); }
    QString file(const QString& name, const QByteArray& bytes) const {
        return test::writeTestFile(dir.path(), name, bytes);
    }
    // The user types: the text changes.
    void type(const QByteArray& bytes) {
        text.text.prepend(bytes);
        docs.textChanged();
    }
    int highlighted() const { return ::highlighted(docs.recent()); }
};

}  // namespace

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
        // The menus and buttons carry their captions, keys and tips.
        QCOMPARE(w.menuItem("Open")->text(), QString("&Open"));
        QCOMPARE(w.menuItem("Open")->shortcut(), QKeySequence(Qt::Key_F6));
        QCOMPARE(w.menuItem("EditorEnabled")->shortcut(), QKeySequence("Ctrl+E"));
        QCOMPARE(w.menuItem("Compiler")->shortcut(), QKeySequence(Qt::Key_F7));
        QCOMPARE(w.menuItem("Gencodewithlines")->property("helpTopic").toInt(), 261);
        for (const char* off : {"newproject", "Project", "compile_project"})
            QVERIFY2(!w.menuItem(off)->isEnabled(), off);
        QVERIFY(w.menuItem("setup")->isEnabled());
        QCOMPARE(w.menuBar()->actions().last()->text(), QString("&Help"));
        QCOMPARE(w.Command1(1)->toolTip(), QString("Open file F6"));
        QVERIFY(!w.Command1(1)->icon().isNull());
        QCOMPARE(w.Command1(3)->text(), QString("Raw RS232 Upload"));
        QCOMPARE(w.Command1(8)->toolTip(), QString("Open file"));
        // The menu shows the options it toggles.
        w.menuItem("SaveConfirmation")->trigger();
        QCOMPARE(f.settings.get(keys::kSaveConfirmation), QString("False"));
        QVERIFY(!w.options().Save_Confirmation && !w.menuItem("SaveConfirmation")->isChecked());
        w.menuItem("Gencodewithlines")->trigger();
        QVERIFY(w.options().GencodeLines && w.menuItem("Gencodewithlines")->isChecked());
        w.Gencodewithlines_Click();
        QVERIFY(!w.menuItem("Gencodewithlines")->isChecked());
        // The buttons sit where the layout rule puts them, 29 pixels high, 8
        // points, bold from 2 to 5 in the upper row.
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
        // F1 on a menu item shows its help topic.
        auto* config = w.findChild<QMenu*>("config");
        QVERIFY(config);
        config->popup(QPoint(10, 10));
        QTRY_VERIFY(config->isVisible());
        config->setActiveAction(w.menuItem("Gencodewithlines"));
        QTest::keyClick(config, Qt::Key_F1);
        QCOMPARE(w.helpViewer()->currentTopic(), 261);
        QVERIFY(w.helpViewer()->isVisible() && !config->isVisible());
        // The Help menu shows the topic of the focused control: the contents.
        w.Help_Click();
        QCOMPARE(w.helpViewer()->currentTopic(), 0);
        // F1 in the window shows the topic of the focused tool button.
        w.activateWindow();
        w.Command1(5)->setFocus();
        QTRY_VERIFY(w.Command1(5)->hasFocus());
        QTest::keyClick(w.Command1(5), Qt::Key_F1);
        QCOMPARE(w.helpViewer()->currentTopic(), 62);
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

    void editorEnabledSwitchesBetweenFullAndCompactModeAndMenuKeysWorkFromTheEditor() {
        AppFixture f;
        MainWindow& w = f.start();
        w.menuItem("EditorEnabled")->trigger();
        QCOMPARE(f.settings.get(keys::kEditorEnabled), QString("True"));
        QTRY_VERIFY(w.isMaximized());
        QVERIFY(w.Source()->isVisible());
        // The editor fills the client area between the buttons and the status bar.
        QTRY_COMPARE(w.Source()->geometry().top(), twipsToPixels(135 + 870 + 20));
        QVERIFY(w.Source()->height() > 200);
        // Ctrl+I and Ctrl+E belong to the menus, not to the editor control.
        w.activateWindow();
        w.Source()->setFocus();
        QTRY_VERIFY(w.Source()->hasFocus());
        QTest::keyClick(w.Source(), Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(f.settings.get(keys::kAutoIndent), QString("False"));
        QTest::keyClick(w.Source(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(f.settings.get(keys::kEditorEnabled), QString("False"));
        QVERIFY(w.Source()->bytes().isEmpty());
        QTRY_VERIFY(!w.isMaximized());
        QCOMPARE(w.height(), 118);
        QVERIFY(!w.Source()->isVisible());
        // In compact mode a maximised window goes back to its normal size at once.
        w.showMaximized();
        QTRY_VERIFY(!w.isMaximized());
        // Ctrl+Shift+M opens the Terminal Monitor, which listens on the link.
        QTest::keyClick(w.Source(), Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(w.findChild<QWidget*>("TerminalMonitor")->isVisible());
        QCOMPARE(f.com.callsNamed({"InitializeComm"}).size(), 1);
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
        for (int n = 1; n <= 5; ++n)
            QCOMPARE(f.settings.get(QString("Last_%1").arg(n)), n == 2 ? a : n == 4 ? b : "");
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
        QVERIFY(w.isVisible() && !f.link.AppClosing && w.documents().Source_changed);
        QCOMPARE(w.Source()->bytes(), QByteArray("keep me"));
        QVERIFY(f.com.callsNamed({"StopAllProcesses"}).isEmpty());
        QCOMPARE(f.dialogs.messages.size(), 2);
        QVERIFY(f.dialogs.messages.at(1).text.contains("gone"));
        // Answering No closes without saving.
        f.dialogs.answers << Answer::No;
        QVERIFY(w.close());
    }

    // The caption and the buttons follow the opened file; coming back from
    // one of the program's own windows activates the main window.
    void theCaptionFollowsTheOpenedFileAndTheFolderOnActivation() {
        AppFixture f;
        const QString recent = f.writeFile("other.c", "x\r\n");
        f.settings.save("Last_3", recent);
        const QString path = f.writeFile("deep/er/prog.c", "main(){}\r\n");
        MainWindow& w = f.start();
        w.documents().Open_File(path);
        const QString folder = QDir::toNativeSeparators(f.dir.filePath("deep/er"));
        QCOMPARE(w.InitialDirectory, folder + QDir::separator());
        QCOMPARE(w.windowTitle(), "Z7Q C Development System 1.0.0 - " + folder + QDir::separator());
        QCOMPARE(w.StatusBar1()->panelText("Name"), path);
        QCOMPARE(w.Command1(6)->text(), path);
        QCOMPARE(w.Command1(6)->property("tag").toString(), path);
        QCOMPARE(w.Command1(8)->text(), recent);
        QVERIFY(w.Command1(6)->property("highlighted").toBool());
        QVERIFY(!w.Command1(8)->property("highlighted").toBool());
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

    void everyByteSurvivesOpenAndSaveWithLineEndsAsCrLfAndAMissingFileChangesNothing() {
        Fixture f;
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            if (b != '\r' && b != '\n') all.append(static_cast<char>(b));
        const QString path = f.file("deep/bytes.c", all + "\nend\r\nx\r");
        f.docs.Open_File(path);
        QCOMPARE(f.text.text, all + "\nend\r\nx\r");
        QCOMPARE(f.docs.CurrentFileName, path);
        QCOMPARE(f.settings.get(keys::kFileName), path);
        QCOMPARE(f.folder.current(), QDir::toNativeSeparators(f.dir.filePath("deep")));
        QCOMPARE(f.activations.count(), 1);
        QVERIFY(!f.docs.Source_changed);
        QVERIFY(f.docs.save_Click());
        QCOMPARE(test::readTestFile(path), all + "\r\nend\r\nx\r\n");
        // A missing file is reported and changes nothing.
        for (const QString& gone :
             {f.dir.filePath("nothere.c"), f.dir.path() + "/", f.dir.filePath("no/such/folder.c")})
            f.docs.Open_File(gone);
        QCOMPARE(f.dialogs.texts(), QStringList(3, "File not found!!!"));
        QCOMPARE(f.dialogs.messages[0].icon, Icon::Information);
        QCOMPARE(f.dialogs.messages[0].title, QString("Ombrex"));
        QCOMPARE(f.docs.CurrentFileName, path);
        QCOMPARE(f.text.text, all + "\nend\r\nx\r");
        QCOMPARE(f.settings.get(keys::kFileName), path);
        QCOMPARE(f.activations.count(), 4);  // the window is activated all the same
    }

    void theSaveQuestion() {
        // Changed, Save Confirmation, the answer (-1: not asked), saved.
        const std::tuple<bool, bool, int, bool> rows[] = {{true, true, int(Answer::Yes), true},
                                                          {true, true, int(Answer::No), false},
                                                          {true, false, -1, true},
                                                          {false, true, -1, false}};
        for (const auto& [changed, confirm, answer, saved] : rows)
            for (const bool exit : {false, true}) {
                Fixture f;
                f.options.Save_Confirmation = confirm;
                const QString path = f.file("q.c", "old\r\n");
                f.docs.Open_File(path);
                if (changed) f.type("new ");
                if (answer >= 0) f.dialogs.answers << Answer(answer);
                // On exit the question is asked whatever the option says.
                const bool asked = answer >= 0 || (exit && changed);
                QVERIFY(exit ? f.docs.exitSaveQuestion() : f.docs.saveQuestion());
                QCOMPARE(f.dialogs.texts(),
                         asked ? QStringList{"Save changes to file ?"} : QStringList{});
                if (asked) QCOMPARE(f.dialogs.messages[0].buttons, Buttons::YesNo);
                QCOMPARE(test::readTestFile(path), saved && !(exit && !confirm)
                                                       ? QByteArray("new old\r\n")
                                                       : QByteArray("old\r\n"));
            }
    }

    void noToTheQuestionThenCancelKeepsTheTextThatASaveNames() {
        Fixture f;
        f.type("unsaved");
        f.dialogs.answers << Answer::No;
        f.docs.Open_Click();  // the dialog is cancelled
        QCOMPARE(f.dialogs.openFilters, QStringList{kSourceFilter});
        QCOMPARE(f.text.text, QByteArray("unsaved"));
        QVERIFY(f.docs.Source_changed);
        // Save without a name asks for one; cancelled, nothing is written.
        const QString chosen = QDir::toNativeSeparators(f.dir.filePath("named.c"));
        f.dialogs.saveAnswers << std::nullopt << chosen;
        QVERIFY(!f.docs.save_Click() && f.dialogs.messages.size() == 1 && f.docs.Source_changed);
        QVERIFY(f.docs.save_Click());
        QCOMPARE(test::readTestFile(chosen), QByteArray("unsaved"));
        QCOMPARE(f.docs.CurrentFileName, chosen);
    }

    void openFiltersFollowTheModeAndSaveAsReusesThem() {
        Fixture f(false);  // compact mode
        const QString bin = f.file("prog.bin", QByteArray("\x01\x02\x00\xff", 4));
        f.docs.CurrentFileName = "prog.c";
        f.docs.save_as_Click();  // before any Open: no filter
        QCOMPARE(f.dialogs.saveFilters, QStringList{QString()});
        f.dialogs.openAnswers << bin;
        f.docs.Open_Click();
        QCOMPARE(f.dialogs.openFilters, QStringList{kProgramFilter});
        QCOMPARE(f.text.text, QByteArray("\x01\x02\x00\xff", 4));
        f.docs.save_as_Click();
        QCOMPARE(f.dialogs.saveFilters.last(), kProgramFilter);
        QCOMPARE(f.dialogs.prefilledNames.last(), bin);
    }

    void saveAsWritesReopensAndRecordsTheNewFileAndNewEmptiesTheDocument() {
        Fixture f;
        const QString first = f.file("one/first.c", "first\r\n");
        f.docs.Open_File(first);
        f.type("// ");
        const QString second = QDir::toNativeSeparators(f.dir.filePath("two/second.c"));
        QDir().mkpath(f.dir.filePath("two"));
        f.dialogs.saveAnswers << second;
        QVERIFY(f.docs.save_as_Click());
        QCOMPARE(test::readTestFile(second), QByteArray("// first\r\n"));
        QCOMPARE(test::readTestFile(first), QByteArray("first\r\n"));
        QCOMPARE(f.docs.CurrentFileName, second);
        QVERIFY(!f.docs.Source_changed);
        QCOMPARE(f.docs.recent().paths(), QStringList({first, second, "", "", ""}));
        QCOMPARE(f.highlighted(), 2);
        QCOMPARE(f.folder.current(), QDir::toNativeSeparators(f.dir.filePath("two")));
        // New, its question answered No, empties the document and keeps the highlight.
        f.type("x");
        f.dialogs.answers << Answer::No;
        f.docs.new_Click();
        QVERIFY(f.text.text.isEmpty() && !f.docs.Source_changed);
        QCOMPARE(f.docs.CurrentFileName, QString("noname.c"));
        QCOMPARE(f.settings.get(keys::kFileName, "x"), QString());
        QCOMPARE(f.highlighted(), 2);
        QCOMPARE(test::readTestFile(second), QByteArray("// first\r\n"));
    }

    void aFailedSaveKeepsTheOldFileTheTextAndTheChangedFlag() {
        Fixture f;
        const QString path = f.file("ro.c", "original\r\n");
        f.docs.Open_File(path);
        f.type("edited ");
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
        QVERIFY(!f.docs.save_Click());
        QCOMPARE(test::readTestFile(path), QByteArray("original\r\n"));
        QVERIFY(f.docs.Source_changed);
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY(f.dialogs.messages[0].text.contains(path));
        QVERIFY(f.dialogs.messages[0].text.contains("read-only"));
        QCOMPARE(f.dialogs.messages[0].icon, Icon::Critical);
        // New after a failed save stops, so nothing is lost.
        f.dialogs.answers << Answer::Yes;
        f.docs.new_Click();
        QCOMPARE(f.text.text, QByteArray("edited original\r\n"));
        QCOMPARE(f.docs.CurrentFileName, path);
        // Save as into a missing folder: the document stays bound to its file.
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        f.dialogs.saveAnswers << f.dir.filePath("missing/other.c");
        QVERIFY(!f.docs.save_as_Click());
        QCOMPARE(f.docs.CurrentFileName, path);
        QVERIFY(f.docs.Source_changed);
    }

    void anotherProgramsChangeIsNeverOverwrittenSilently_data() {
        QTest::addColumn<QByteArray>("other");  // what another program writes; "-" deletes
        QTest::addColumn<int>("answer");        // -1: no question
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("text");
        const QByteArray mine("mine saved\r\n"), theirs("theirs\r\n");
        QTest::newRow("Yes reloads") << theirs << int(Answer::Yes) << false << theirs << theirs;
        QTest::newRow("No overwrites") << theirs << int(Answer::No) << true << mine << mine;
        QTest::newRow("Cancel keeps both")
            << theirs << int(Answer::Cancel) << false << theirs << mine;
        QTest::newRow("the same bytes again")
            << QByteArray("saved\r\n") << -1 << true << mine << mine;
        QTest::newRow("not touched") << QByteArray() << -1 << true << mine << mine;
        QTest::newRow("deleted: saved anew") << QByteArray("-") << -1 << true << mine << mine;
    }
    void anotherProgramsChangeIsNeverOverwrittenSilently() {
        QFETCH(QByteArray, other);
        QFETCH(int, answer);
        Fixture f;
        const QString path = f.file("prog.c", "old\r\n");
        f.docs.Open_File(path);
        f.text.text = "saved\r\n";
        QVERIFY(f.docs.save_Click());
        f.type("mine ");
        if (!other.isEmpty())
            QCOMPARE(QProcess::execute(
                         "/bin/sh", {"-c", other == "-" ? "rm \"$1\"" : "printf %s \"$0\" > \"$1\"",
                                     other, path}),
                     0);
        if (answer >= 0) f.dialogs.answers << Answer(answer);
        QTEST(f.docs.save_Click(), "saved");
        QTEST(test::readTestFile(path), "file");
        QTEST(f.text.text, "text");
        QCOMPARE(f.docs.Source_changed, f.text.text != test::readTestFile(path));
        QCOMPARE(f.dialogs.texts(),
                 answer < 0
                     ? QStringList()
                     : QStringList(
                           path + "\n\nAnother program has changed this file since it was opened "
                                  "or saved here.\n\nYes reloads the file: the changes made here "
                                  "are lost.\nNo overwrites the file with the text here: the other "
                                  "program's change is lost.\nCancel leaves both as they are."));
    }

    void activationReloadsAnUntouchedDocumentAndAsksAboutAChangedOne() {
        AppFixture f;
        f.settings.save(keys::kEditorEnabled, "True");
        const QString path = f.writeFile("prog.c", "a\r\nb\r\nc\r\n");
        f.settings.save(keys::kFileName, path);
        MainWindow& w = f.start();
        QWidget other;
        const auto comeBack = [&](const QByteArray& theirs) {
            if (!theirs.isEmpty()) test::writeTestFile(path, theirs);
            other.show();
            other.activateWindow();
            QTRY_VERIFY(other.isActiveWindow());
            w.activateWindow();
            QTRY_VERIFY(w.isActiveWindow());
        };
        w.Source()->setCaretPosition(7);  // on "c"
        comeBack("A\r\nB\r\nC\r\nD\r\n");
        QTRY_COMPARE(w.Source()->bytes(), QByteArray("A\r\nB\r\nC\r\nD\r\n"));
        QCOMPARE(w.Source()->caretPosition(), 6);  // the start of the same line
        QVERIFY(f.dialogs.messages.isEmpty() && !w.documents().Source_changed);
        // With changes here the user chooses; a change left alone is not
        // asked about again.
        QTest::keyClicks(w.Source(), "x");
        f.dialogs.answers << Answer::Cancel;
        comeBack("other\r\n");
        QTRY_COMPARE(f.dialogs.messages.size(), 1);
        comeBack("other\r\n");
        QTest::qWait(50);
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(w.Source()->bytes(), QByteArray("A\r\nB\r\nxC\r\nD\r\n"));
        // A file that cannot be read is left to the next save, which says why.
        QVERIFY(QFile::remove(path) && QDir().mkdir(path));
        comeBack({});
        QTest::qWait(50);
        QCOMPARE(f.dialogs.messages.size(), 1);
    }

    // The recovery folder cannot be made, or the document is on a read-only medium.
    void unsavedWorkSurvivesWhatCannotBeWritten() {
        for (const bool folderBlocked : {true, false}) {
            AppFixture f;
            if (folderBlocked) f.writeFile("recovery", "a file where the folder would be");
            f.settings.save(keys::kEditorEnabled, "True");
            const QString path = f.writeFile("prog.c", "x\r\n");
            f.settings.save(keys::kFileName, path);
            MainWindow& w = f.start();
            if (!folderBlocked) QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
            QTest::keyClicks(w.Source(), "typed ");
            w.unsavedWork().keepNow();
            w.recoveryStore().settle();
            QTRY_COMPARE(
                w.StatusBar1()->notice().startsWith("No recovery copy of unsaved changes: "),
                folderBlocked);
            QCOMPARE(f.readFile(w.recoveryStore().ownFile()) == "typed x\r\n", !folderBlocked);
            // Only the failed save is reported.
            QCOMPARE(w.documents().save_Click(), folderBlocked);
            QCOMPARE(f.readFile(path), folderBlocked ? "typed x\r\n" : "x\r\n");
            QCOMPARE(f.dialogs.messages.size(), folderBlocked ? 0 : 1);
        }
    }

    void twoInstancesKeepTheirOwnCopiesOfAnyLength() {
        QTemporaryDir dir;
        const QByteArray big = test::patternBytes(10 << 20);
        auto first = std::make_unique<RecoveryStore>(dir.path());
        RecoveryStore second(dir.path());
        first->keep("/big.c", true, big);
        second.keep("noname.c", false, "b");
        first->settle();
        second.settle();
        QVERIFY(first->leftBehind().isEmpty() && second.leftBehind().isEmpty());
        first.reset();  // ends without closing
        const QList<RecoveryStore::Copy> left = second.leftBehind();
        QCOMPARE(left.size(), 1);
        QCOMPARE(std::tuple(left[0].name, left[0].named), std::tuple(QString("/big.c"), true));
        QVERIFY(left[0].text == withCrLf(big));
    }

    void closeOpensTheFirstRemainingFileInButtonOrder() {
        Fixture f;
        const QString a = f.file("a.c", "a\r\n");
        const QString b = f.file("b.c", "b\r\n");
        const QString c = f.file("c.c", "c\r\n");
        f.docs.recent().setPath(2, a);
        f.docs.recent().setPath(3, b);
        f.docs.recent().setPath(5, c);
        f.docs.recent().resetRanks();
        f.docs.Open_File(c);  // the most recent is c, then b ...
        f.docs.Open_File(b);
        f.docs.Close_Click();
        // b's slot is emptied; a, first in button order, opens.
        QCOMPARE(f.docs.recent().paths(), QStringList({"", a, "", "", c}));
        QCOMPARE(f.docs.CurrentFileName, a);
        QCOMPARE(f.text.text, QByteArray("a\r\n"));
        QCOMPARE(f.highlighted(), 2);
        // Closing every file leaves an empty document that a save creates.
        f.docs.Close_Click();
        f.docs.Close_Click();
        QVERIFY(f.text.text.isEmpty());
        QCOMPARE(f.docs.CurrentFileName, closedDocumentName(nativePathStyle()));
        QCOMPARE(f.settings.get(keys::kFileName, "x"), QString());
        QCOMPARE(f.docs.recent().paths(), QStringList(5, QString()));
    }

    void recentButtonsRestoreTheCaretInFullModeAndOnlyHighlightInCompactMode() {
        Fixture f;
        QStringList files;
        for (int i = 1; i <= 4; ++i)
            files << f.file(QString("s%1.c").arg(i), QByteArray(200, char('a' + i)));
        for (int slot = 1; slot <= 4; ++slot) f.docs.recent().setPath(slot, files[slot - 1]);
        f.docs.recent().resetRanks();
        f.docs.recentFileClicked(7);
        QCOMPARE(f.docs.CurrentFileName, files[1]);
        f.text.caret = 42;
        f.docs.recentFileClicked(9);
        QCOMPARE(f.docs.CurrentFileName, files[3]);
        f.text.caret = 7;
        f.docs.recentFileClicked(7);
        QCOMPARE(f.text.caret, 42);
        f.docs.recentFileClicked(9);
        QCOMPARE(f.text.caret, 7);
        QCOMPARE(f.text.focused, 4);
        QCOMPARE(f.docs.CurrentSlot, 4);
        f.docs.recentFileClicked(10);  // an empty button does nothing
        QCOMPARE(f.highlighted(), 4);
        f.options.EditorEnabled = false;
        f.docs.recentFileClicked(6);
        QCOMPARE(f.highlighted(), 1);
        QCOMPARE(f.docs.CurrentFileName, files[3]);
        QCOMPARE(f.docs.CurrentSlot, 1);
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    // Each step is "+path" (opened) or "close"; the slots start with the
    // given paths ("-": empty), ranked as at start-up.
    void recentFiles_data() {
        for (const char* column : {"start", "steps", "paths", "ranks"})
            QTest::addColumn<QString>(column);
        QTest::addColumn<int>("highlight");
        const auto row = [](const char* name, const char* start, const char* steps,
                            const char* paths, const char* ranks, int highlight) {
            QTest::newRow(name) << QString(start) << QString(steps) << QString(paths)
                                << QString(ranks) << highlight;
        };
        const char* full = "/a /b /c /d /e";
        row("a sixth file replaces the oldest", full, "+/f", "/f /b /c /d /e", "51234", 1);
        row("and the next one the slot now oldest", full, "+/f +/g", "/f /g /c /d /e", "45123", 2);
        row("a listed file keeps its slot", full, "+/b", full, "15234", 2);
        row("empty slots count 0, ties go to the lower slot", "/a /b /c - -", "+/x +/y",
            "/y /b /c /x -", "50140", 1);
        row("letter case counts", "- - - - -", "+/P +/p +/P", "/P /p - - -", "54000", 1);
        row("close empties the highlighted slot and makes it the oldest", full, "+/d close",
            "/a /b /c - /e", "23415", 4);
        row("the emptied slot is reused first", full, "+/d close +/n", "/a /b /c /n /e", "12354",
            4);
        row("close with nothing highlighted changes no rank", "/a - - - -", "close", "/a - - - -",
            "12345", 0);
    }
    void recentFiles() {
        QFETCH(QString, start);
        QFETCH(QString, steps);
        RecentFiles r;
        for (int n = 1; n <= RecentFiles::kSlots; ++n)
            r.setPath(n, start.section(' ', n - 1, n - 1).remove(QRegularExpression("^-$")));
        r.resetRanks();
        for (const QString& step : steps.split(' '))
            step == "close" ? void(r.closeHighlighted()) : void(r.recordOpen(step.mid(1)));
        const QStringList paths = r.paths();
        QTEST(QStringList(paths).replaceInStrings(QRegularExpression("^$"), "-").join(' '),
              "paths");
        QTEST(ranks(r), "ranks");
        QTEST(highlighted(r), "highlight");
        // After a close the first remaining file in button order is opened.
        QCOMPARE(r.firstFilled(), int(paths.indexOf(QRegularExpression(".+")) + 1));
    }

    // Five equal buttons 60 twips apart that end 250 twips before the right
    // edge; the editor between the buttons and the status bar; a size that
    // would not be positive keeps the previous one.
    void layout() {
        for (const float W : {9330.0f, 19200.0f, 12345.0f}) {
            LayoutInput in;
            in.W = W;
            in.SW = W - 120;
            const auto r = computeFormLayout(in);
            const float width = (W - 250) / 5 - 60;
            for (size_t i = 0; i < 5; ++i) {
                QVERIFY(qAbs(r.buttonWidth[i].value_or(-1) - width) < 0.05f);
                QVERIFY(qAbs(r.buttonLeft[i] - 60 - i * (width + 60)) < 0.05f);
            }
            QVERIFY(r.barWidth == W && r.buttonFontPoints == 8.0f);
        }
        LayoutInput in;
        in.W = 9330;
        in.SW = 9210;
        in.SH = 6000;
        in.fullMode = true;
        auto r = computeFormLayout(in);
        QVERIFY(r.T == 870 && r.editorTop == 135.0f + 870 + 20 && r.listTop == 970.0f);
        QCOMPARE(QList<float>({*r.editorLeft, *r.editorWidth, *r.editorHeight, r.listLeft}),
                 QList<float>({50, 9210, 6000.0f - 870 - 300 - 135, 9330.0f - 4100}));
        QVERIFY(!r.restoreNormalState);
        in.W = 200;  // at most 200: the editor keeps its left edge and width
        in.SW = 80;
        in.SH = 1100;  // SH - T at most 250: the editor keeps its height
        r = computeFormLayout(in);
        QVERIFY(!r.editorLeft && !r.editorWidth && !r.editorHeight && !r.buttonWidth[0]);
        in.W = 550;    // button width exactly 0
        in.SH = 1300;  // SH - T - 250 > 0 but the editor height would be negative
        r = computeFormLayout(in);
        QVERIFY(!r.buttonWidth[4] && !r.editorHeight);
        // Compact mode gives up the maximised state and leaves the hidden editor.
        in.W = in.SW = 19200;
        in.SH = 12000;
        in.maximised = true;
        QVERIFY(!computeFormLayout(in).restoreNormalState);
        in.fullMode = false;
        r = computeFormLayout(in);
        QVERIFY(r.restoreNormalState && !r.editorHeight);
        QCOMPARE(QList<int>({twipsToPixels(1770), twipsToPixels(-4100)}), QList<int>({118, -273}));
        QCOMPARE(pixelsToTwips(622), 9330.0f);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
