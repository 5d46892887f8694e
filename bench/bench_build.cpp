// Prints the overhead of a whole build: the time of compile with two
// compiler programs that end at once, less the time those two processes take
// by themselves; the time of a build whose compiler prints without end; and
// the time the error list takes to show a large error file; and the time to
// mark the errors in the editor, for a huge error file and a typical one.
#include "app/documents.h"
#include "compile/compiler_runner.h"
#include "compile/error_marks.h"
#include "compile/errors_window.h"
#include "core/event_pump.h"
#include "editor/editor_subsystem.h"
#include "editor/error_marks_view.h"
#include "editor/source_editor.h"
#include "support/app_fixture.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One process started and waited for with a blocking wait: the cost of the
// process itself, without a build around it.
bool runAndBlock(const QString& program, const QString& argument) {
    QProcess p;
    p.start(program, {argument});
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform's notes on window placement are not figures.
    qputenv("QT_LOGGING_RULES", "default.warning=false");
    QApplication app(argc, argv);
    // The window on quiet stand-ins for the settings, dialogs and link.
    quv::test::AppFixture f;
    const QString folder = f.dir.filePath("hello");
    QDir().mkpath(folder);
    const QString instant = QCoreApplication::applicationDirPath() + "/bench_instant_exit";
    for (const char* name : {"myc.exe", "compile.exe"})
        if (!QFile::copy(instant, folder + '/' + name)) {
            std::fprintf(stderr, "cannot copy %s\n", qPrintable(instant));
            return 1;
        }
    const QString source = folder + "/hello.c";
    if (!write(source, "int main(void)\r\n{\r\n\treturn 0;\r\n}\r\n")) return 1;

    f.settings.save("editorenabled", "True");
    // The program's own event pump: a build waits as it does on the desktop.
    quv::QtEventPump pump(&f.link.AppClosing);
    quv::MainWindow window(
        quv::AppServices{f.dialogs, f.settings, f.clock, f.com, pump, f.folder, {}}, f.link);
    window.start();
    window.documents().Open_File(source);

    constexpr int kRuns = 100;
    const QString myc = folder + "/myc.exe";
    const QString compile = folder + "/compile.exe";
    const QString base = folder + "/hello";
    std::vector<double> buildMs, processMs;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer t;
        t.start();
        if (window.compile() != std::optional<int>(1)) {
            std::fprintf(stderr, "the build failed\n");
            return 1;
        }
        buildMs.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        if (!runAndBlock(myc, base) || !runAndBlock(compile, base)) return 1;
        processMs.push_back(t.nsecsElapsed() / 1e6);
    }
    const double build = median(buildMs), processes = median(processMs);
    std::printf(
        "compile with two programs that end at once: median %.2f ms; the two processes "
        "alone: %.2f ms\n",
        build, processes);
    std::printf("build overhead: %.2f ms per build (target < 30 ms)\n", build - processes);

    // A compiler that prints 50 MB on one line, with the compiler window
    // hidden and shown.
    qputenv("BENCH_OUTPUT_BYTES", "50000000");
    for (const char* shown : {"hidden", "shown"}) {
        if (shown[0] == 's') window.compiler_window_Click();
        QElapsedTimer t;
        t.start();
        if (window.compile() != std::optional<int>(1)) return 1;
        std::printf(
            "compile with two programs that print 50 MB each on one line, compiler window %s: "
            "%.0f ms\n",
            shown, t.nsecsElapsed() / 1e6);
    }
    window.compiler_window_Click();
    qunsetenv("BENCH_OUTPUT_BYTES");

    // An error file of about 5 MB.
    QByteArray big;
    for (int i = 1; big.size() < 5 * 1000 * 1000; ++i)
        big += QByteArray::number(i % 500 + 1) + ':' + QFile::encodeName(source) +
               "\r\nerror number " + QByteArray::number(i) + ": expected ';' before 'return'\r\n";
    if (!write(folder + "/hello.ERR", big)) return 1;
    std::vector<double> listMs;
    quv::Errors& errors = *window.compiler().errorList();
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer t;
        t.start();
        errors.Form_Load();
        QCoreApplication::processEvents();
        listMs.push_back(t.nsecsElapsed() / 1e6);
        errors.unload();
    }
    std::printf("error list of a %.1f MB error file shown: median %.1f ms\n", big.size() / 1e6,
                median(listMs));

    // The marks of the document's errors placed in the editor, for an error
    // file of 100,000 rows on a document of as many lines, and for a typical
    // one of 10 rows; counted from the rows read to the editor painted.
    window.Source()->setBytes(QByteArray("\tcounter += step;\r\n").repeated(100000));
    for (const int rows : {100000, 10}) {
        QList<quv::ErrorRecord> records;
        for (int i = 0; i < rows; ++i)
            records.append({QString::number(i * (100000 / rows) + 1), source,
                            QStringLiteral("expected ';' before 'return'")});
        std::vector<double> marksMs, paintedMs;
        for (int run = 0; run < 5; ++run) {
            window.editor().errorMarks().clear();
            QCoreApplication::processEvents();
            QElapsedTimer t;
            t.start();
            window.editor().errorMarks().show(quv::errorMarks(records, source));
            marksMs.push_back(t.nsecsElapsed() / 1e6);
            window.Source()->viewport()->repaint();
            paintedMs.push_back(t.nsecsElapsed() / 1e6);
        }
        std::printf(
            "errors marked in the editor, %d rows: median %.2f ms placed (target < %d ms), "
            "%.2f ms with the editor painted\n",
            rows, median(marksMs), rows > 10 ? 50 : 1, median(paintedMs));
    }
    return 0;
}
