// Real processes on shell commands that stand in for compilers, the two windows, the
// stand-in toolchain's own rules, and the whole cycle with it in the main window.
#include "app/documents.h"
#include "compile/build_output.h"
#include "compile/compiler_runner.h"
#include "compile/errors_window.h"
#include "core/app_paths.h"
#include "core/settings_keys.h"
#include "editor/source_editor.h"
#include "fake_document.h"
#include "support/app_fixture.h"
#include "toolchain.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtEndian>
#include <QtTest>

#include <signal.h>

using namespace quv;
using namespace quv::toolchain;
using namespace quv::test;

namespace {

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
    void howAProcessEnds() {
        using O = ShellResult::Outcome;
        const std::tuple<QString, O, int> ends[] = {
            {"exit 3", O::Exited, 3}, {"kill -SEGV $$", O::Crashed, -1}, {"", O::NotStarted, 0}};
        QtEventPump pump;
        for (const auto& [command, outcome, code] : ends) {
            CommandLine c = shell(command);
            if (command.isEmpty()) c.program = "/bin/gone";
            const ShellResult r = ShellRunner(pump).run(c, {});
            QVERIFY(r.outcome == outcome && r.exitCode == code);
        }
    }

    void endlessOutputWithoutALineEnd() {
        // 50 MB on one line into the shown compiler window: read as it
        // comes, kept to its tail, in seconds.
        QtEventPump pump;
        BuildLog log;
        BuildOutput out(log);
        out.showBeside();
        const CommandLine c = shell("head -c 50000000 /dev/zero | tr '\\0' x");
        log.beginProcess(c);
        qint64 bytes = 0;
        QElapsedTimer clock;
        clock.start();
        log.endProcess(c, ShellRunner(pump).run(c, [&](const QByteArray& b) {
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

    void closingStopsTheCompilerAndWhatItStarted() {
        QTemporaryDir dir;
        const QString pidFile = dir.filePath("pid");
        bool closing = false;
        QtEventPump pump(&closing);
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] { closing = QFileInfo(pidFile).size() > 0; });
        poll.start(10);
        const auto c = shell("sleep 60 & echo $! > '" + pidFile + "'; sleep 60");
        QCOMPARE(ShellRunner(pump).run(c, {}).outcome, ShellResult::Outcome::Abandoned);
        const qint64 child = AppFixture::readFile(pidFile).trimmed().toLongLong();
        // Gone, or a zombie that only waits to be reaped.
        QTRY_VERIFY(child > 0 &&
                    (::kill(pid_t(child), 0) != 0 ||
                     AppFixture::readFile(QString("/proc/%1/stat").arg(child)).contains(") Z ")));
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
};

QTEST_MAIN(TestToolchain)
#include "tst_toolchain.moc"
