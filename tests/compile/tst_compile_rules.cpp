#include "compile/compile_command.h"
#include "compile/error_file.h"
#include "core/options.h"
#include "core/working_folder.h"
#include "fake_document.h"
#include "support/scripted_dialogs.h"
#include "support/test_pump.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace quv;
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

}  // namespace

class TestCompileRules : public QObject {
    Q_OBJECT
  private slots:
    void namesAndCommandLines() {
        const BuildNames n = *buildNames("C:\\my work\\prog.asm", PathStyle::Windows);
        QVERIFY(n.base == "C:\\my work\\prog" && n.folder == "C:\\my work\\");
        QCOMPARE(buildNames("C:\\work.d\\prog", PathStyle::Windows)->folder, QString("C:\\"));
        QCOMPARE(buildNames("/a\\b/prog.c", PathStyle::Posix)->folder, QString("/a\\b/"));
        QCOMPARE(*errorFileName("/w.d/prog"), QString("/w.ERR"));
        QCOMPARE(compilerPassCommand(n, true, "D:\\", PathStyle::Windows).text,
                 QString("C:\\my work\\myc.exe C:\\my work\\prog /D"));
        QCOMPARE(secondPassCommand(n, "D:\\", PathStyle::Windows).arguments,
                 QStringList({"C:\\my work\\prog", "r"}));
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

    void errorRecords() {
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
    }

    void errorFilesNoCompilerWrites() {
        QTemporaryDir dir;
        QFile f(dir.filePath("p.ERR"));
        // A 20 MB message is read at once and shown cut.
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("12:/w/p.c\r\n" + QByteArray(20 * 1000 * 1000, 'm') + "\r\n");
        f.close();
        QElapsedTimer clock;
        clock.start();
        auto r = readErrorFile(f.fileName());
        QVERIFY(clock.elapsed() < 3000);
        QVERIFY(r.size() == 1 && r[0].line == "12");
        QCOMPARE(r[0].message, QString(kMaxErrorTextBytes, 'm') + "...");
        // Too large to read: one row without a file says so.
        QVERIFY(f.resize(kMaxErrorFileBytes + 1));
        r = readErrorFile(f.fileName());
        QVERIFY(r.size() == 1 && r[0].file.isEmpty());
        QVERIFY(r[0].message.contains("larger than 32 MB"));
        // A pipe named like the error file is never waited on.
        QVERIFY(f.remove());
        QCOMPARE(::mkfifo(QFile::encodeName(f.fileName()).constData(), 0600), 0);
        QVERIFY(readErrorFile(f.fileName()).isEmpty());
    }

    void lineIndexOfAnErrorsLineText() {
        const char* texts[] = {"12", "  12abc", "abc", "3.5", "4.5", "1e3", "99999999999999"};
        const int lines[] = {11, 11, -1, 2, 4, 999, std::numeric_limits<qint32>::max()};
        for (int i = 0; i < 7; ++i) QCOMPARE(errorLineIndex(texts[i]), lines[i]);
    }

    void theJumpToAnError() {
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
    }
};

QTEST_APPLESS_MAIN(TestCompileRules)
#include "tst_compile_rules.moc"
