#include "build_case.h"
#include "compile/build_output.h"
#include "core/app_paths.h"
#include "editor/source_editor.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace quv;
using quv::test::AppFixture;
using quv::test::BuildCase;

namespace {
bool busyPointerShown() {
    const QCursor* c = QApplication::overrideCursor();
    return c && c->shape() == Qt::WaitCursor;
}
}  // namespace

class TestCompile : public QObject {
    Q_OBJECT
  private slots:
    void thePassesRunInOrder_data() {
        QTest::addColumn<QByteArray>("mycCode");
        QTest::addColumn<QByteArray>("compileCode");
        QTest::addColumn<bool>("lineNumbers");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("result");
        // The exit codes of myc.exe and compile.exe ("crash": it aborts).
        const auto row = [](const char* name, const char* myc, const char* compile, bool lines,
                            const QStringList& steps, int result) {
            QTest::newRow(name) << QByteArray(myc) << QByteArray(compile) << lines << steps
                                << result;
        };
        row("good build", "0", "0", false, {"M", "C"}, 1);
        row("good build, line numbers", "0", "0", true, {"MD", "C"}, 1);
        row("compiler pass fails", "1", "0", false, {"M", "MD"}, 0);
        row("compiler pass fails, line numbers", "1", "0", true, {"MD"}, 0);
        row("second pass fails", "0", "1", false, {"M", "C", "MD", "C"}, 0);
        row("second pass fails, line numbers", "0", "1", true, {"MD", "C"}, 0);
        row("exit code 2 fails like 1", "2", "0", false, {"M", "MD"}, 0);
        row("exit code 255 fails like 1", "0", "255", true, {"MD", "C"}, 0);
        row("a crash fails too", "0", "crash", false, {"M", "C", "MD", "C"}, 0);
    }
    void thePassesRunInOrder() {
        QFETCH(QByteArray, mycCode);
        QFETCH(QByteArray, compileCode);
        QFETCH(bool, lineNumbers);
        QFETCH(QStringList, steps);
        QFETCH(int, result);
        BuildCase b;
        b.tools.tell("myc.exe", "code", mycCode);
        b.tools.tell("compile.exe", "code", compileCode);
        if (lineNumbers) b.w().menuItem("Gencodewithlines")->trigger();
        QCOMPARE(b.w().options().GencodeLines, lineNumbers);
        const std::optional<int> r = b.w().compile();
        QCOMPARE(r, std::optional<int>(result));
        QCOMPARE(b.tools.calls(), b.expected(steps));
        // The folder of the file built, in the caption too.
        QCOMPARE(b.w().InitialDirectory, b.tools.path);
        QCOMPARE(b.w().windowTitle(), windowCaption(b.tools.path));
        // The error list after a failure only; never a message for a pass.
        QCOMPARE(b.errors().isVisible(), result == 0);
        QVERIFY(b.f.dialogs.messages.isEmpty());
        QVERIFY(!QApplication::overrideCursor());
    }

    void noDocumentOrNoDotStopsBeforeAnyProcess() {
        BuildCase b;
        const QString caption = b.w().windowTitle();
        bool busyAtMessage = true;
        b.f.dialogs.onMessage = [&](const auto&) {
            busyAtMessage = QApplication::overrideCursor();
        };

        b.w().documents().CurrentFileName.clear();
        QCOMPARE(b.w().compile(), std::nullopt);
        QCOMPARE(b.f.dialogs.texts(), QStringList{"File Not Open"});
        QCOMPARE(b.f.dialogs.messages[0].title, QString("Ombrex"));
        QCOMPARE(b.f.dialogs.messages[0].buttons, Buttons::Ok);
        QVERIFY(!busyAtMessage);

        b.w().documents().Open_File(b.f.writeFile("with blank/Makefile", "all:\r\n"));
        QCOMPARE(b.w().compile(), std::nullopt);
        QCOMPARE(b.f.dialogs.texts(), (QStringList{"File Not Open", "Not a '*.C' file!"}));
        QCOMPARE(b.f.dialogs.messages[1].buttons, Buttons::Ok);
        QVERIFY(!busyAtMessage);

        QVERIFY(b.tools.calls().isEmpty());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(b.w().windowTitle(), caption);
        QVERIFY(!b.errors().isVisible());
    }

    void anyExtensionBuildsAndAFileWithoutFolderUsesTheWorkingFolder() {
        BuildCase b;
        b.w().documents().Open_File(b.f.writeFile("with blank/boot.asm", "nop\r\n"));
        QCOMPARE(b.w().compile(), std::optional<int>(1));
        QCOMPARE(b.tools.calls(), (QStringList{"myc.exe\t" + b.tools.path + "boot",
                                               "compile.exe\t" + b.tools.path + "boot\tr"}));
        // A name without a folder: the programs and the base are looked for
        // in the working folder, and the caption shows no folder.
        b.tools.clearCalls();
        QDir::setCurrent(b.tools.path);
        b.w().documents().CurrentFileName = "my prog.c";
        QCOMPARE(b.w().compile(), std::optional<int>(1));
        QCOMPARE(b.tools.calls(), (QStringList{"myc.exe\tmy prog", "compile.exe\tmy prog\tr"}));
        QCOMPARE(b.w().InitialDirectory, QString());
        QVERIFY(b.w().windowTitle().endsWith(" - "));
    }

    void aChangedDocumentIsSavedFirst_data() {
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<int>("answer");  // -1: not asked
        QTest::addColumn<bool>("saved");
        QTest::newRow("Yes") << true << int(Answer::Yes) << true;
        QTest::newRow("No builds the file on disk") << true << int(Answer::No) << false;
        QTest::newRow("Save Confirmation off") << false << -1 << true;
    }
    void aChangedDocumentIsSavedFirst() {
        QFETCH(bool, confirm);
        QFETCH(int, answer);
        QFETCH(bool, saved);
        BuildCase b("old\r\n");
        if (!confirm) b.w().menuItem("SaveConfirmation")->trigger();
        QTest::keyClicks(b.w().Source(), "new ");
        if (answer >= 0) b.f.dialogs.answers << Answer(answer);
        QCOMPARE(b.w().compile(), std::optional<int>(1));
        QCOMPARE(b.f.dialogs.texts(),
                 answer >= 0 ? QStringList{"Save changes to file ?"} : QStringList{});
        if (answer >= 0) QCOMPARE(b.f.dialogs.messages[0].buttons, Buttons::YesNo);
        QCOMPARE(AppFixture::readFile(b.source),
                 saved ? QByteArray("new old\r\n") : QByteArray("old\r\n"));
        QCOMPARE(b.w().documents().Source_changed, !saved);
        QCOMPARE(b.w().Source()->bytes(), QByteArray("new old\r\n"));
        QCOMPARE(b.tools.calls().size(), 2);
    }

    void aSaveThatFailsStopsTheBuild() {
        BuildCase b("old\r\n");
        QFile::setPermissions(b.source, QFile::ReadOwner | QFile::ReadGroup);
        QTest::keyClicks(b.w().Source(), "typed ");
        b.f.dialogs.answers << Answer::Yes;
        QCOMPARE(b.w().compile(), std::nullopt);
        QCOMPARE(b.f.dialogs.messages.size(), 2);  // the question, then why the save failed
        QVERIFY(b.tools.calls().isEmpty());
        QCOMPARE(b.w().Source()->bytes(), QByteArray("typed old\r\n"));
        QVERIFY(b.w().documents().Source_changed);
        QVERIFY(!QApplication::overrideCursor());
    }

    void aMissingProgramIsNamedWithItsFolder() {
        BuildCase b;
        QFile::remove(b.tools.path + "myc.exe");
        QCOMPARE(b.w().compile(), std::optional<int>(0));
        QCOMPARE(b.f.dialogs.messages.size(), 1);
        QString text = b.f.dialogs.messages[0].text;
        QVERIFY2(text.contains("myc.exe") && text.contains(b.tools.path), qPrintable(text));
        QCOMPARE(b.f.dialogs.messages[0].icon, Icon::Critical);
        QVERIFY(!b.errors().isVisible());
        QVERIFY(!QApplication::overrideCursor());

        b.tools.install(QStringLiteral(QUV_FAKE_COMPILER), "myc.exe");
        QFile::remove(b.tools.path + "compile.exe");
        QCOMPARE(b.w().compile(), std::optional<int>(0));
        text = b.f.dialogs.messages.last().text;
        QVERIFY2(text.contains("compile.exe") && text.contains(b.tools.path), qPrintable(text));
        QCOMPARE(b.tools.calls(), b.expected({"M"}));
        QVERIFY(!b.errors().isVisible());
    }

    void theWindowStaysResponsiveUnderTheBusyPointer() {
        BuildCase b;
        b.tools.tell("myc.exe", "sleep", "400");
        b.errors().Form_Load();  // the list of an earlier failure
        QVERIFY(b.errors().isVisible());
        bool ticked = false, busy = false, listShown = true;
        QTimer::singleShot(50, [&] {
            ticked = true;
            busy = busyPointerShown();
            listShown = b.errors().isVisible();
        });
        QCOMPARE(b.w().compile(), std::optional<int>(1));
        QVERIFY(ticked);  // events ran while the compiler worked
        QVERIFY(busy);
        QVERIFY(!listShown);  // closed at the start of the build
        QVERIFY(!QApplication::overrideCursor());
    }

    void aSecondBuildWhileOneRunsIsRefused() {
        BuildCase b;
        b.tools.tell("myc.exe", "sleep", "400");
        std::optional<int> inner = 5;
        QTimer::singleShot(50, [&] { inner = b.w().compile(); });
        QCOMPARE(b.w().compile(), std::optional<int>(1));
        QCOMPARE(inner, std::nullopt);
        QCOMPARE(b.tools.calls(), b.expected({"M", "C"}));
        QVERIFY(!QApplication::overrideCursor());
    }

    void f7AndTheCompileButtonBuild() {
        BuildCase b;
        QCOMPARE(b.w().menuItem("Compiler")->shortcut(), QKeySequence(Qt::Key_F7));
        b.w().menuItem("Compiler")->trigger();
        QCOMPARE(b.tools.calls(), b.expected({"M", "C"}));
        b.tools.clearCalls();
        b.w().Command1(2)->click();
        QCOMPARE(b.tools.calls(), b.expected({"M", "C"}));
    }

    void theCompilerWindowShowsEachCommandLineWithItsOutput() {
        BuildCase b;
        b.tools.tell("myc.exe", "out", "checking\n");
        b.tools.exitCode("compile.exe", 3);
        BuildOutput& out = *b.w().compiler().buildOutput();
        QVERIFY(out.testAttribute(Qt::WA_ShowWithoutActivating));
        // Unchecked: the programs run unseen, their output is kept.
        QCOMPARE(b.w().compile(), std::optional<int>(0));
        QVERIFY(!out.isVisible());
        const QString text = out.text();
        const QString first = b.tools.path + "myc.exe " + b.base();
        const QString second = b.tools.path + "compile.exe " + b.base() + " r ";
        QVERIFY2(text.startsWith(first + "\nchecking\n"), qPrintable(text));
        QVERIFY(text.contains("\n" + second + "\n"));
        QVERIFY(text.contains("compile.exe ended with exit code 3"));
        QVERIFY(text.contains(b.tools.path + "myc.exe " + b.base() + " /D\n"));
        // Checking the option shows the last build's output.
        b.w().menuItem("compiler_window")->trigger();
        QVERIFY(out.isVisible());
        QCOMPARE(out.text(), text);
        // Each build starts afresh, in the shown window.
        b.tools.exitCode("compile.exe", 0);
        QCOMPARE(b.w().compile(), std::optional<int>(1));
        QVERIFY(out.isVisible());
        QVERIFY(out.text().startsWith(first + "\nchecking\n"));
        QVERIFY(!out.text().contains("/D"));
        b.w().menuItem("compiler_window")->trigger();
        QVERIFY(!out.isVisible());
    }

    void closingTheProgramDuringABuildEndsIt() {
        // The window closes while the compiler pass runs: no repeat, no list.
        BuildCase b;
        b.tools.tell("myc.exe", "sleep", "300");
        b.tools.exitCode("myc.exe", 1);
        QTimer::singleShot(50, [&] { b.w().close(); });
        QCOMPARE(b.w().compile(), std::optional<int>(0));
        QCOMPARE(b.tools.calls(), b.expected({"M"}));
        QVERIFY(!b.errors().isVisible());

        // The program quits while the compiler is still at work: the compiler
        // is stopped at once rather than waited for.
        BuildCase c;
        c.tools.tell("myc.exe", "sleep", "60000");
        QTimer::singleShot(100, [] { QCoreApplication::exit(0); });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(c.w().compile(), std::optional<int>(0));
        QVERIFY(clock.elapsed() < 30000);
        QCOMPARE(c.tools.calls(), c.expected({"M"}));
        QVERIFY(!c.errors().isVisible());
        QVERIFY(!QApplication::overrideCursor());
        // Withdraw the quit request, so that nothing after this test sees it.
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }
};

QTEST_MAIN(TestCompile)
#include "tst_compile.moc"
