// The build's rules on fakes as tables; real processes on shell commands that
// stand in for compilers, the two windows, the stand-in toolchain's own rules,
// and the whole cycle with it in the main window.
#include "app/documents.h"
#include "app/status_panels.h"
#include "compile/build_output.h"
#include "compile/compile_command.h"
#include "compile/compiler_launch.h"
#include "compile/compiler_runner.h"
#include "compile/error_file.h"
#include "compile/error_marks.h"
#include "compile/errors_window.h"
#include "core/app_paths.h"
#include "core/options.h"
#include "core/settings_keys.h"
#include "core/working_folder.h"
#include "editor/editor_subsystem.h"
#include "editor/error_marks_view.h"
#include "editor/source_editor.h"
#include "fake_document.h"
#include "support/app_fixture.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"
#include "support/test_pump.h"
#include "toolchain.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtEndian>
#include <QtTest>

#include <signal.h>
#include <sys/stat.h>

using namespace quv;
using namespace quv::toolchain;
using namespace quv::test;

namespace {

// script: how passes end ("M=1 MD=close C=crash"; missing: cannot start; close: the
// program closes meanwhile; shut: it ends with 1 as the program closes), "lines" (GencodeLines),
// "changed", "readonly" (changed, the save fails), "name=" (the document, else "/w d/my prog.c").
// steps: the passes run: M, MD (with /D), C. result -1: nothing. hooks: F folder, X errors closed,
// H help lists, E errors shown.
struct Row {
    const char *tag, *script, *steps;
    int result;
    const char *hooks, *message;
};
const Row kRows[] = {
    {"good", "", "M C", 1, "F X H X", ""},
    {"good, line numbers", "lines", "MD C", 1, "F X H X", ""},
    {"compiler pass fails", "M=1", "M MD", 0, "F X E", ""},
    {"compiler pass fails, line numbers", "MD=1 lines", "MD", 0, "F X E", ""},
    {"second pass fails", "C=1", "M C MD C", 0, "F X H E", ""},
    {"second pass fails, line numbers", "C=1 lines", "MD C", 0, "F X H E", ""},
    {"exit code 2", "M=2", "M MD", 0, "F X E", ""},
    {"exit code 255", "C=255 lines", "MD C", 0, "F X H E", ""},
    {"a crash", "C=crash", "M C MD C", 0, "F X H E", ""},
    {"no myc.exe", "M=missing", "M", 0, "F X", "myc.exe was not found in the folder /w d/"},
    {"no compile.exe", "C=missing", "M C", 0, "F X H", "compile.exe was not found in"},
    {"closing in the compiler pass", "M=close", "M", 0, "F X", ""},
    {"closing in the second pass", "C=close", "M C", 0, "F X H", ""},
    {"closing in the repeat", "M=1 MD=close", "M MD", 0, "F X", ""},
    {"closing as a pass fails", "MD=shut lines", "MD", 0, "F X", ""},
    {"no document", "name= changed", "", -1, "", "File Not Open"},
    {"no dot", "name=/w/Makefile", "", -1, "", "Not a '*.C' file!"},
    {"saved first", "changed", "M C", 1, "F X H X", ""},
    {"a save that fails", "readonly", "", -1, "", ""},
};

// A build on fakes whose passes end as the script says.
struct Build : ProcessRunner {
    ScriptedDialogs dialogs;
    FakeDocument doc{"/w d/my prog.c"};
    Options options;
    ProcessWorkingFolder folder;
    FixedClock clock;
    TestPump pump{clock};
    QHash<QString, QString> script;   // by step
    QStringList ran;                  // the command lines
    QString program;                  // the last one's program
    QStringList seen;                 // the hooks
    QString listed;                   // the file whose errors were shown
    bool busy = false, slip = false;  // slip: busy twice, idle in a pass, busy at a message
    std::function<void()> during;
    CompileCommand command{dialogs, doc, options, folder, pump, *this, hooks()};

    CompileHooks hooks() {
        CompileHooks h;
        h.buildFolder = [this](const QString&) { seen << "F"; };
        h.reloadHelpLists = [this] { seen << "H"; };
        h.setBusy = [this](bool on) { slip = slip || busy == on, busy = on; };
        h.closeErrors = [this] { seen << "X"; };
        h.showErrors = [this](const QString& f) { seen << "E", listed = f; };
        dialogs.onMessage = [this](const auto&) { slip = slip || busy; };
        return h;
    }
    ShellResult run(const CommandLine& command, const OutputSink& output) override {
        slip = slip || !busy;
        ran << command.text, program = command.program;
        if (during) std::exchange(during, nullptr)();
        output("out\r");
        const QString step = command.programName == "compile.exe" ? "C" : "M";
        const QString how = script.value(step + (command.arguments.contains("/D") ? "D" : ""), "0");
        if (how == "close" || how == "shut") pump.close();
        const auto outcome =
            std::max<qsizetype>(0, QStringList{"", "crash", "missing", "close"}.indexOf(how));
        return {ShellResult::Outcome(outcome), how == "shut" ? 1 : how.toInt(), {}};
    }
};

// A program whose line 4 loses its semicolon to make it fail.
const QByteArray kGood = "int main(void)\r\n{\r\n\tint counter = 0;\r\n\tcounter++;\r\n}\r\n";

// A compiler that runs the shell command.
CommandLine shell(const QString& command) {
    return {"/bin/sh", {"-c", command}, "", command, "sh", ""};
}

QStringList rows(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

}  // namespace

class TestToolchain : public QObject {
    Q_OBJECT
  private slots:
    void howAProcessEndsAndEndlessOutputWithoutALineEnd() {
        using O = ShellResult::Outcome;
        const std::tuple<QString, O, int> ends[] = {
            {"exit 3", O::Exited, 3}, {"kill -SEGV $$", O::Crashed, -1}, {"", O::NotStarted, 0}};
        bool closing = false;
        QtEventPump pump(&closing);
        for (const auto& [command, outcome, code] : ends) {
            CommandLine c = shell(command);
            if (command.isEmpty()) c.program = "/bin/gone";
            const ShellResult r = ShellRunner(pump).run(c, {});
            QVERIFY(r.outcome == outcome && r.exitCode == code);
        }
        // Closing stops the compiler and what it started.
        QTemporaryDir dir;
        const QString pidFile = dir.filePath("pid");
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] { closing = QFileInfo(pidFile).size() > 0; });
        poll.start(10);
        const auto c = shell("sleep 60 & echo $! > '" + pidFile + "'; sleep 60");
        QCOMPARE(ShellRunner(pump).run(c, {}).outcome, O::Abandoned);
        const qint64 child = AppFixture::readFile(pidFile).trimmed().toLongLong();
        // Gone, or a zombie that only waits to be reaped.
        QTRY_VERIFY(child > 0 &&
                    (::kill(pid_t(child), 0) != 0 ||
                     AppFixture::readFile(QString("/proc/%1/stat").arg(child)).contains(") Z ")));
        // 50 MB on one line into the shown compiler window: read as it
        // comes, kept to its tail, in seconds.
        poll.stop();
        closing = false;
        BuildLog log;
        BuildOutput out(log);
        out.showBeside();
        const CommandLine endless = shell("head -c 50000000 /dev/zero | tr '\\0' x");
        log.beginProcess(endless);
        qint64 bytes = 0;
        QElapsedTimer clock;
        clock.start();
        log.endProcess(endless, ShellRunner(pump).run(endless, [&](const QByteArray& b) {
            bytes += b.size();
            log.append(b);
            out.logChanged();
        }));
        out.logChanged();
        QTRY_VERIFY(out.text().endsWith("sh ended with exit code 0\n"));
        QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(bytes, 50000000);
        QVERIFY(out.text().size() < 2 * BuildLog::kKeptOutputBytes + 100);
        QVERIFY(out.text().contains(" x\n... 50 MB of output left out ...\nxxx"));
    }

    void theErrorList() {
        AppFixture f;
        QWidget main;
        FakeDocument doc(f.writeFile("prog.c", ""));
        QList<qint32> carets;
        int fronts = 0;
        Errors e(doc, {[&](qint32 line) { carets << line; }, [&] { ++fronts; }}, &main);
        const QByteArray source = doc.name.toLocal8Bit();
        f.writeFile("prog.ERR", "12:" + source + "\r\nmissing ;\r\n3:" + source + "\r\nthird\r\n");
        e.Form_Load();
        QVERIFY(e.isVisible() && e.testAttribute(Qt::WA_ShowWithoutActivating));
        QVERIFY(e.windowTitle() == "Error List" && (e.windowFlags() & Qt::WindowStaysOnTopHint));
        QCOMPARE(e.geometry(), QRect(3, 107, 661, 279));
        QVERIFY(e.Label3()->text() == "Message" && e.Label3()->geometry() == QRect(224, 0, 57, 13));
        QCOMPARE(e.List2()->geometry(), QRect(56, 16, 169, 264));
        QCOMPARE(rows(e.List1()) + rows(e.List2()) + rows(e.List3()),
                 (QStringList{"12", "3", doc.name, doc.name, "missing ;", "third"}));
        // Activating the window chooses no row.
        e.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&e) && e.List1()->currentRow() == -1);
        // A row chosen in any list is chosen in all three and jumps; a click
        // on the row already chosen jumps to it again.
        QListWidget* lists[] = {e.List1(), e.List2(), e.List3()};
        for (int i = 0; i < 3; ++i) {
            lists[i]->setCurrentRow(1 - i % 2);
            for (QListWidget* other : lists) QCOMPARE(other->currentRow(), 1 - i % 2);
        }
        QTest::mouseClick(e.List3()->viewport(), Qt::LeftButton, {},
                          e.List3()->visualItemRect(e.List3()->item(1)).center());
        QCOMPARE(carets, (QList<qint32>{2, 11, 2, 2}));
        QVERIFY(fronts == 4 && doc.calls.isEmpty());
        // Closed, it forgets its rows; shown again, it reads the file afresh
        // where the user last put it.
        e.close();
        QCOMPARE(e.List1()->count(), 0);
        QVERIFY(QFile::remove(doc.name.chopped(1) + "ERR"));
        e.move(200, 150);
        e.Form_Load();
        QVERIFY(e.List1()->count() == 0 && e.pos() == QPoint(200, 150));
    }

    void theStandInToolchainsRules() {
        const QList<Diagnostic> d = parseDiagnostics(
            "/w/a.c: In function 'main':\n"
            "/w/a.c:8:24: error: expected ';' before 'return'\n"
            "    8 |         counter += step\n      |                ^\n"
            "/w/a.c:3:5: warning: unused variable 'x'\n"
            "/w/a.c:3:5: note: declared here\n"
            "C:\\w\\b.c:12: error: old style, no column\r\n"
            "cc1: fatal error: /w/c.c: No such file or directory\n"
            "compilation terminated.\n");
        QCOMPARE(d.size(), 4);
        QVERIFY(d[0].error && !d[1].error && d[0].line == 8 && d[2].line == 12 && d[3].line == 0);
        // Errors only, unless warnings are asked for; a diagnostic without a
        // place counts for line 1 of the source.
        QCOMPARE(errorRecords(d, "/w/a.c", false),
                 QByteArray("8:/w/a.c\r\nexpected ';' before 'return'\r\n"
                            "12:C:\\w\\b.c\r\nold style, no column\r\n"
                            "1:/w/a.c\r\n/w/c.c: No such file or directory\r\n"));
        QVERIFY(errorRecords(d, "/w/a.c", true).contains("3:/w/a.c\r\nwarning: unused variable"));
        // Object files that cannot be read, and the program header.
        for (const char* bad : {"", "MZ not an object file at all"})
            QVERIFY(std::holds_alternative<QString>(imageFromObject(bad)));
        // A header whose section table lies beyond the end of the file.
        QByteArray cut = QByteArray::fromHex("7f454c46020101").leftJustified(64, '\0');
        cut[0x28] = '\x7f', cut[0x3A] = 64, cut[0x3C] = 3, cut[0x3E] = 1;
        QCOMPARE(std::get<QString>(imageFromObject(cut)), QString("the object file is damaged"));
        Image image{QByteArray(300, 'x'), {}, 0x123};
        QCOMPARE(programHeader(image), QByteArray("Z7\x2c\x01\x00\x00\x23\x01", 8));
        image.mainOffset.reset();
        QCOMPARE(programHeader(image).right(2), QByteArray("\xff\xff", 2));
        // A missing source gives one record.
        QTemporaryDir dir;
        const QString base = dir.filePath("nothere");
        QVERIFY(compilerPass({base}) == 1 && secondPass({base, "r"}) == 1);
        QCOMPARE(
            AppFixture::readFile(base + ".ERR"),
            ("1:" + base + ".c\r\ncannot open the source file " + base + ".c\r\n").toLocal8Bit());
        QCOMPARE(compilerPass({}), 2);
    }

    // The whole cycle with the real programs in the main window: F7 on a
    // good file, then on a broken one, then a row of the error list.
    void buildingAGoodAndABrokenProgram() {
        if (!findHostCompiler()) QSKIP("no C compiler on PATH");
        AppFixture f;
        const QString source = f.writeFile("hello world/hello.c", kGood);
        const QString folder = QFileInfo(source).absolutePath() + '/';
        for (const char* name : {"myc.exe", "compile.exe"})
            QVERIFY(QFile::copy(name[0] == 'm' ? QUV_MYC : QUV_COMPILE, folder + name));
        f.settings.save(keys::kEditorEnabled, "True");
        f.settings.save(keys::kFileName, source);
        MainWindow& w = f.start();
        w.setWindowTitle(QString());
        w.menuItem("Compiler")->trigger();
        QVERIFY(w.InitialDirectory == folder && w.windowTitle() == windowCaption(folder));
        QVERIFY(!QApplication::overrideCursor());
        const QString base = folder + "hello.";
        const QByteArray header = AppFixture::readFile(base + "hea");
        const auto size = quint32(AppFixture::readFile(base + "bin").size());
        QVERIFY(header.size() == 8 && header.startsWith("Z7") && size > 0);
        QCOMPARE(qFromLittleEndian<quint32>(header.constData() + 2), size);
        QVERIFY(qFromLittleEndian<quint16>(header.constData() + 6) < size);  // main is in it
        QVERIFY(AppFixture::readFile(base + "sys").contains("main"));
        // No list after a good build; the option shows the compiler window
        // with the last build's log.
        Errors& errors = *w.compiler().errorList();
        BuildOutput& out = *w.compiler().buildOutput();
        QVERIFY(!errors.isVisible() && !out.isVisible());
        w.menuItem("compiler_window")->trigger();
        QVERIFY(out.isVisible() && out.text().contains("compile.exe ended with exit code 0"));
        w.menuItem("compiler_window")->trigger();
        QVERIFY(!out.isVisible());
        // Line 4 loses its semicolon: the error is on line 4 or the next one.
        w.Source()->setBytes(QByteArray(kGood).replace("counter++;", "counter++"));
        w.documents().Source_changed = true;
        f.dialogs.answers << Answer::Yes;
        w.Command1(2)->click();
        QCOMPARE(AppFixture::readFile(base + "hea"), QByteArray());  // not compiled
        QVERIFY(errors.isVisible() && errors.List1()->count() >= 1);
        const int line = errors.List1()->item(0)->text().toInt();
        QVERIFY2(line == 4 || line == 5, qPrintable(errors.List1()->item(0)->text()));
        QCOMPARE(errors.List2()->item(0)->text(), source);
        QVERIFY(errors.List3()->item(0)->text().contains("expected"));
        errors.List3()->setCurrentRow(0);
        int caretLine = -1, index = -1;
        w.Source()->getCursorPosition(&caretLine, &index);
        QVERIFY(caretLine == line - 1 && index == 0);
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&w));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.Source()));
    }

    void namesCommandLinesAndWhatRunsThem() {
        const BuildNames n = *buildNames("C:\\my work\\prog.asm", PathStyle::Windows);
        QVERIFY(n.base == "C:\\my work\\prog" && n.folder == "C:\\my work\\");
        QVERIFY(!buildNames("C:\\work.d\\prog", PathStyle::Windows));
        QCOMPARE(buildNames("/a\\b/prog.c", PathStyle::Posix)->folder, QString("/a\\b/"));
        QVERIFY(!errorFileName("/w.d/prog", PathStyle::Posix));
        QCOMPARE(compilerPassCommand(n, true, "D:\\", PathStyle::Windows).text,
                 QString("C:\\my work\\myc.exe C:\\my work\\prog /D"));
        QCOMPARE(secondPassCommand(n, "D:\\", PathStyle::Windows).arguments,
                 QStringList({"C:\\my work\\prog", "r"}));
        // A Windows program (its file begins with "MZ") runs through the
        // launcher elsewhere; anything else runs itself.
        const CommandLine c = compilerPassCommand(*buildNames("/w d/p.c", PathStyle::Posix), true,
                                                  "/", PathStyle::Posix);
        const std::tuple<const char*, HostSystem, bool> rows[] = {
            {"MZ\x90", HostSystem::Other, true},      {"MZ", HostSystem::Windows, false},
            {"\x7f\x45LF", HostSystem::Other, false}, {"#!/bin/sh", HostSystem::Other, false},
            {"", HostSystem::Other, false},           {"M", HostSystem::Other, false},
            {"ZM", HostSystem::Other, false}};
        for (const auto& [head, host, launched] : rows) {
            const CommandLine run = launchedCommand(c, head, "wine", host);
            const QStringList via = launched ? QStringList{"wine"} : QStringList();
            QCOMPARE(QStringList(run.program) + run.arguments,
                     via + QStringList({"/w d/myc.exe", "/w d/p", "/D"}));
            QVERIFY(run.text == c.text && run.programName == c.programName);
        }
    }

    // Windows compiler programs through a stand-in launcher that records
    // its folder and arguments, then runs the stand-in compiler named first.
    void aWindowsCompilerThroughItsLauncher_data() {
        QTest::addColumn<QString>("launcher");  // "" the default, else a file in the test folder
        QTest::addColumn<QString>("onPath");    // the folder first on the PATH, with a "wine"
        QTest::addColumn<bool>("native");       // myc.exe is no Windows program
        QTest::addColumn<QString>("message");   // how it begins; %1 the test folder
        const QString started = "The compiler program myc.exe in the folder %1/w d/ could not be";
        const std::tuple<const char*, const char*, const char*, bool, QString> rows[] = {
            {"wine on the PATH", "", "bin", false, ""},
            {"a launcher path", "bin/wine", "", false, ""},
            {"no wine", "", "", false, kNoLauncher.arg("myc.exe", "wine")},
            {"a launcher that cannot run", "plain", "bin", false,
             kNoLauncher.arg("myc.exe", "%1/plain")},
            {"a launcher that fails to start", "", "bad", false, started},
            {"no wine for compile.exe", "", "", true, kNoLauncher.arg("compile.exe", "wine")}};
        for (const auto& [tag, launcher, path, native, message] : rows)
            QTest::newRow(tag) << QString(launcher) << QString(path) << native << message;
    }
    void aWindowsCompilerThroughItsLauncher() {
        QFETCH(QString, launcher);
        QFETCH(QString, onPath);
        QFETCH(bool, native);
        QFETCH(QString, message);
        const bool good = message.isEmpty();
        if (good && !findHostCompiler()) QSKIP("no C compiler on PATH");
        QTemporaryDir dir;
        const QString d = dir.path(), folder = d + "/w d/", record = d + "/args";
        FakeDocument doc(writeTestFile(d, "w d/hello.c", kGood));
        QVERIFY(writeTestFile(folder + "compile.exe", "MZ") && writeTestFile(d + "/plain", ""));
        QVERIFY(native ? QFile::copy(QUV_MYC, folder + "myc.exe")
                       : writeTestFile(folder + "myc.exe", "MZ\x90"));
        const QString script = writeTestFile(
            d, "bin/wine",
            QString("#!/bin/sh\npwd -P >> '%1'\nprintf '%s\\n' \"$@\" >> '%1'\np=$1\nshift\n"
                    "case $p in *myc.exe) exec '%2' \"$@\";; esac\nexec '%3' \"$@\"\n")
                .arg(record, QUV_MYC, QUV_COMPILE)
                .toLocal8Bit());
        const QString bad = writeTestFile(d, "bad/wine", "#!/nowhere/sh\n");
        for (const QString& file : {script, bad})
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ExeOwner));
        const QByteArray path = qgetenv("PATH");
        const auto restore = qScopeGuard([&] { qputenv("PATH", path); });
        qputenv("PATH", QFile::encodeName((onPath.isEmpty() ? "" : d + '/' + onPath + ':') +
                                          (good ? QString(path) : d + "/none")));
        ScriptedDialogs dialogs;
        Options options;
        if (!launcher.isEmpty()) options.CompilerLauncher = d + '/' + launcher;
        ProcessWorkingFolder here;
        QtEventPump pump;
        ShellRunner runner(pump);
        int starts = 0;
        CompileHooks hooks;
        hooks.processStarting = [&] { ++starts; };
        CompileCommand command(dialogs, doc, options, here, pump, runner, hooks);
        QCOMPARE(command.compile(), std::optional<int>(good ? 1 : 0));
        // A launcher that fails to start shows the reason after the text.
        const bool fails = message.endsWith("could not be");
        const QString texts = dialogs.texts().join('|'), m = QString(message).replace("%1", d);
        QVERIFY2(fails ? texts.startsWith(m) : texts == m, qPrintable(texts));
        // Nothing starts without the launcher.
        QCOMPARE(starts, good ? 2 : int(fails));
        const QString cwd = QDir::currentPath() + '\n', base = folder + "hello\n";
        QCOMPARE(readTestFile(record), good ? (cwd + folder + "myc.exe\n" + base + cwd + folder +
                                               "compile.exe\n" + base + "r\n")
                                                  .toLocal8Bit()
                                            : QByteArray("<missing>"));
    }

    void theBuild_data() {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kRows)); ++i) QTest::newRow(kRows[i].tag) << i;
    }
    void theBuild() {
        QFETCH(int, row);
        const Row& r = kRows[row];
        Build b;
        for (const QString& s : QString(r.script).split(' ', Qt::SkipEmptyParts)) {
            b.script[s.section('=', 0, 0)] = s.section('=', 1);
            b.options.GencodeLines = b.options.GencodeLines || s == "lines";
            b.doc.isChanged = b.doc.isChanged || s == "changed" || s == "readonly";
            b.doc.saveWorks = b.doc.saveWorks && s != "readonly";
        }
        if (b.script.contains("name")) b.doc.name = b.script["name"];
        const bool asks = b.doc.isChanged && !b.doc.name.isEmpty();
        QCOMPARE(b.command.compile(), r.result < 0 ? std::nullopt : std::optional<int>(r.result));
        QStringList expected;
        for (const QString& s : QString(r.steps).split(' ', Qt::SkipEmptyParts))
            expected << (s == "C" ? "/w d/compile.exe /w d/my prog r "
                                  : "/w d/myc.exe /w d/my prog" + QString(s == "MD" ? " /D" : ""));
        QCOMPARE(b.ran, expected);
        QCOMPARE(b.seen.join(' '), QString(r.hooks));
        QCOMPARE(b.doc.calls, asks ? QStringList({"ask", "save"}) : QStringList());
        QVERIFY(!b.busy && !b.slip);
        QVERIFY(b.dialogs.texts().size() == (*r.message ? 1 : 0) &&
                b.dialogs.texts().join("").contains(r.message));
        // The log: each command line with its output and how it ended.
        const QString log = b.command.log().text();
        QVERIFY(log.count("\nout\n") == expected.size() &&
                (expected.isEmpty() || log.startsWith(expected[0] + "\nout\nmyc.exe ")));
    }

    void duringABuild() {
        // Refused inside its own wait; the errors shown are of the file built.
        Build b;
        b.script["M"] = "1";
        std::optional<int> inner = 5;
        b.during = [&] { inner = b.command.compile(), b.doc.name = "/w d/other.c"; };
        QCOMPARE(b.command.compile(), std::optional<int>(0));
        QCOMPARE(inner, std::nullopt);
        QCOMPARE(b.listed, QString("/w d/my prog.c"));
        // A name without a folder: the programs of the working folder.
        Build here;
        here.doc.name = "prog.c";
        QCOMPARE(here.command.compile(), std::optional<int>(1));
        QCOMPARE(here.ran, QStringList({"myc.exe prog", "compile.exe prog r "}));
        QCOMPARE(here.program, here.folder.current() + "/compile.exe");
    }

    void errorFiles() {
        // A first line without ":" is all line; a lone LF ends a line too;
        // blank records are skipped; a record cut short by the end is kept.
        const auto r = parseErrorFile(
            "12:C:\\w\\prog.c\r\nmissing ;\r\nno colon\nm 2\r\n\r\n\r\n"
            "4:x:y\r\n\r\n5:/a.c");
        QCOMPARE(r.size(), 4);
        const QStringList seen = {r[0].line,    r[0].file, r[0].message, r[1].line, r[1].file,
                                  r[1].message, r[2].file, r[2].message, r[3].file};
        QCOMPARE(seen, (QStringList{"12", "C:\\w\\prog.c", "missing ;", "no colon", "", "m 2",
                                    "x:y", "", "/a.c"}));
        // Rows beyond the bound are left out, and a last row says so.
        const auto many = parseErrorFile(QByteArray("1:\r\nx\r\n").repeated(kMaxErrorRows + 1));
        QCOMPARE(many.size(), kMaxErrorRows + 1);
        QVERIFY(many.last().message.contains("the first 100000 are shown"));
        // The line text of a row as a line index.
        const char* texts[] = {"12", "  12abc", "abc", "3.5", "4.5", "1e3", "99999999999999"};
        const int lines[] = {11, 11, -1, 2, 4, 999, std::numeric_limits<qint32>::max()};
        for (int i = 0; i < 7; ++i) QCOMPARE(errorLineIndex(texts[i]), lines[i]);
        QTemporaryDir dir;
        QFile f(dir.filePath("p.ERR"));
        // A 20 MB message is read at once and shown cut.
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("12:/w/p.c\r\n" + QByteArray(20 * 1000 * 1000, 'm') + "\r\n");
        f.close();
        QElapsedTimer clock;
        clock.start();
        auto read = readErrorFile(f.fileName());
        QVERIFY(clock.elapsed() < 3000 && read.size() == 1 && read[0].line == "12");
        QCOMPARE(read[0].message, QString(kMaxErrorTextBytes, 'm') + "...");
        // Too large to read: one row without a file says so.
        QVERIFY(f.resize(kMaxErrorFileBytes + 1));
        read = readErrorFile(f.fileName());
        QVERIFY(read.size() == 1 && read[0].file.isEmpty());
        QVERIFY(read[0].message.contains("larger than 32 MB"));
        // A pipe named like the error file is never waited on.
        QVERIFY(f.remove());
        QCOMPARE(::mkfifo(QFile::encodeName(f.fileName()).constData(), 0600), 0);
        QVERIFY(readErrorFile(f.fileName()).isEmpty());
    }

    void theJumpToAnErrorTheMarksAndTheWalk() {
        // The row's file; the document changed (1) or its save fails (2);
        // the calls made; where the caret goes (-100: it stays).
        const std::tuple<const char*, int, const char*, int> rows[] = {
            {"/w/a.c", 1, "", 3},
            {"", 1, "", 3},
            {"/w/b.c", 0, "open /w/b.c", 3},
            {"/w/A.c", 0, "open /w/A.c", -100},  // letter case counts
            {"/w/b.c", 1, "save,open /w/b.c", 3},
            {"/w/b.c", 2, "save", -100},
        };
        for (const auto& [file, save, calls, line] : rows) {
            FakeDocument doc{"/w/a.c"};
            doc.isChanged = save > 0;
            doc.saveWorks = save < 2;
            doc.openable = QStringList{"/w/b.c"};
            int caret = -100;
            QCOMPARE(jumpToError({"4", file, "m"}, doc, [&](qint32 l) { caret = l; }),
                     line != -100);
            QCOMPARE(doc.calls.join(','), QString(calls));
            QCOMPARE(caret, line);
        }
        // The document's rows (no file, or its name) by line; other files
        // and lines before the first are left out; one line's messages join.
        const QList<ErrorRecord> records = {{"12", "", "a"},       {"3", "/w/a.c", "b"},
                                            {"12", "/w/a.c", "c"}, {"5", "/w/b.c", "d"},
                                            {"0", "", "e"},        {"3.6", "", "f"}};
        QStringList marks;
        for (const LineMark& m : errorMarks(records, "/w/a.c"))
            marks << QString::number(m.line) + ":" + m.text;
        QCOMPARE(marks, QStringList({"2:b", "3:f", "11:a\nc"}));
        // rows, current, forward -> the row F4 or Shift+F4 goes to.
        const int walks[][4] = {{0, -1, 1, -1}, {3, -1, 1, 0}, {3, -1, 0, 2}, {3, 2, 1, 0},
                                {3, 0, 0, 2},   {3, 1, 1, 2},  {3, 1, 0, 0},  {3, 7, 1, 0}};
        for (const auto& w : walks) QCOMPARE(nextErrorRow(w[0], w[1], w[2] != 0), w[3]);
    }

    // A failed build marks the document's errors in the editor; the marks
    // follow an edit, show at the caret and under the mouse; F4 and Shift+F4
    // walk the list into the other file; a good build and another document
    // clear them.
    void errorsInTheEditor() {
        AppFixture f;
        const QString a = f.writeFile("w/a.c", "l1\r\nl2\r\nl3\r\nl4\r\n");
        const QString b = f.writeFile("w/b.c", QByteArray("b\r\n").repeated(10));
        const QByteArray errors = "2:" + a.toLocal8Bit() + "\r\nfirst\r\n9:" + b.toLocal8Bit() +
                                  "\r\nother\r\n4:\r\nlast\r\n2:" + a.toLocal8Bit() +
                                  "\r\nsecond\r\n";
        f.writeFile("w/errors", errors);
        f.writeFile("w/fail", "");
        f.writeFile("w/myc.exe",
                    "#!/bin/sh\n[ -f fail ] || exit 0\ncp errors \"$1.ERR\"\nexit 1\n");
        f.writeFile("w/compile.exe", "#!/bin/sh\nexit 0\n");
        for (const char* name : {"w/myc.exe", "w/compile.exe"})
            QFile::setPermissions(f.dir.filePath(name),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        f.settings.save(keys::kEditorEnabled, "True");
        f.settings.save(keys::kFileName, a);
        MainWindow& w = f.start();
        SourceEditor& e = *w.Source();
        const ErrorMarksView& m = w.editor().errorMarks();
        w.menuItem("Compiler")->trigger();
        QVERIFY(m.count() == 2 && m.textAt(1) == "first\nsecond" && m.textAt(3) == "last");
        QTRY_COMPARE(e.SendScintilla(QsciScintilla::SCI_INDICATORVALUEAT,
                                     ErrorMarksView::kIndicator, static_cast<long>(e.lineStart(1))),
                     1L);
        e.setFocus();
        e.setCursorPosition(0, 0);
        QTest::keyClick(&e, Qt::Key_Return);
        QVERIFY(m.textAt(1).isEmpty() && m.textAt(2) == "first\nsecond");
        e.setCursorPosition(4, 1);
        QTRY_COMPARE(w.StatusBar1()->notice(), QString("last"));
        QTest::mouseMove(e.viewport(), QPoint(30, e.textHeight(0) * 4 + e.textHeight(0) / 2));
        QTRY_COMPARE(QToolTip::text(), QString("last"));
        QTest::keyClick(&e, Qt::Key_F4);
        QCOMPARE(e.lineOf(e.caretPosition()), 1);
        QTest::keyClick(&e, Qt::Key_F4);
        // A row without a file belongs to whichever document is open.
        QVERIFY(w.documents().fileName() == b && m.count() == 2 && m.textAt(8) == "other");
        QTest::keyClick(&e, Qt::Key_F4, Qt::ShiftModifier);
        QVERIFY(w.documents().fileName() == a && m.count() == 2);
        QVERIFY(QFile::remove(f.dir.filePath("w/fail")));
        w.menuItem("Compiler")->trigger();
        QCOMPARE(m.count(), 0);
        QVERIFY(f.writeFile("w/fail", "").size());
        w.menuItem("Compiler")->trigger();
        QCOMPARE(m.count(), 2);
        w.documents().Open_File(b);
        QCOMPARE(m.count(), 0);
    }
};

QTEST_MAIN(TestToolchain)
#include "tst_toolchain.moc"
