// Prints the time from process start to the main window shown, side by side
// with a bare Qt main window measured in the same run (under Xvfb when the
// machine has it, offscreen otherwise), the time a 10 MB document adds when
// it is reopened at start-up, the peak memory, and the time to open and save
// a 10 MB source file in a running window.
#include "app/desktop_program.h"
#include "app/documents.h"
#include "app/main_window.h"
#include "app/qt_dialogs.h"
#include "comm/link_com.h"
#include "core/clock.h"
#include "core/event_pump.h"
#include "core/settings_store.h"
#include "core/working_folder.h"
#include "editor/source_editor.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

double monotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The child: "bare" shows an empty QMainWindow, "program" starts the
// program's window as main() does; both report when the window is shown.
int child(int argc, char** argv, const QByteArray& kind) {
    QApplication app(argc, argv);
    std::unique_ptr<QMainWindow> bare;
    std::unique_ptr<quv::DesktopProgram> program;
    QWidget* shown = nullptr;
    if (kind == "bare" || kind == "text") {
        bare = std::make_unique<QMainWindow>();
        if (kind == "text") bare->setCentralWidget(new QLabel(QStringLiteral("Compile")));
        bare->show();
        shown = bare.get();
    } else {
        quv::configureApplication();
        program = std::make_unique<quv::DesktopProgram>();
        program->window.start();
        shown = &program->window;
    }
    if (!QTest::qWaitForWindowExposed(shown)) return 2;
    QCoreApplication::processEvents();
    const double at = monotonicMs();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%.3f %ld\n", at, usage.ru_maxrss);
    return 0;
}

// An X server of its own for the children, when the machine has Xvfb.
class XServer {
  public:
    XServer() {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty()) return;
        for (int n = 90; n < 110; ++n) {
            if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n))) continue;
            server_.start(xvfb, {QStringLiteral(":%1").arg(n), QStringLiteral("-screen"),
                                 QStringLiteral("0"), QStringLiteral("1280x800x24"),
                                 QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(n);
            QElapsedTimer waited;
            waited.start();
            while (!QFile::exists(socket) && waited.elapsed() < 5000 &&
                   server_.state() != QProcess::NotRunning)
                server_.waitForFinished(50);
            if (QFile::exists(socket)) {
                name_ = QStringLiteral(":%1").arg(n);
                return;
            }
            server_.kill();
            server_.waitForFinished();
        }
    }
    ~XServer() {
        if (server_.state() == QProcess::NotRunning) return;
        server_.terminate();
        if (!server_.waitForFinished(3000)) server_.kill();
        server_.waitForFinished();
    }
    // The DISPLAY for the children, or empty for offscreen.
    QString name() const { return name_; }

  private:
    QProcess server_;
    QString name_;
};

struct Measure {
    std::vector<double> ms;
    std::vector<double> mb;
};

// Starts a child of the kind with the settings file and records when its
// window showed, counted from just before the process started.
bool run(const char* argv0, const QByteArray& kind, const QString& config, const XServer& display,
         Measure& into) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUV_BENCH_CHILD", QString::fromLatin1(kind));
    env.insert("XDG_CONFIG_HOME", config);
    if (display.name().isEmpty()) {
        env.insert("QT_QPA_PLATFORM", "offscreen");
    } else {
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("DISPLAY", display.name());
    }
    p.setProcessEnvironment(env);
    const double before = monotonicMs();
    p.start(QString::fromLocal8Bit(argv0), {});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        std::fprintf(stderr, "%s start-up run failed: %s\n", kind.constData(),
                     p.readAllStandardError().constData());
        return false;
    }
    const QList<QByteArray> out = p.readAllStandardOutput().trimmed().split(' ');
    into.ms.push_back(out.value(0).toDouble() - before);
    into.mb.push_back(out.value(1).toDouble() / 1024.0);
    return true;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray bigSource() {
    QByteArray big;
    big.reserve(10 * 1024 * 1024 + 100);
    for (int line = 0; big.size() < 10 * 1024 * 1024; ++line)
        big += "\tresult = compute_value(table[" + QByteArray::number(line) +
               "], offset + 42); /* step */\r\n";
    return big;
}

}  // namespace

int main(int argc, char** argv) {
    if (const QByteArray kind = qgetenv("QUV_BENCH_CHILD"); !kind.isEmpty())
        return child(argc, argv, kind);

    // Three settings folders: empty (compact mode), full mode with a small
    // document, full mode reopening a 10 MB document.
    QTemporaryDir work;
    const QString hello = work.filePath("hello.c");
    const QString bigPath = work.filePath("big.c");
    const QByteArray big = bigSource();
    if (!writeFile(hello, "int main(void)\r\n{\r\n\treturn 0;\r\n}\r\n") ||
        !writeFile(bigPath, big))
        return 1;
    const QString empty = work.filePath("empty"), full = work.filePath("full"),
                  large = work.filePath("large");
    for (const QString& folder : {empty, full, large}) QDir().mkpath(folder);
    if (!writeFile(full + "/QuvDeveloper.conf",
                   "[Startup]\neditorenabled=True\nFileName=" + hello.toUtf8() + "\n") ||
        !writeFile(large + "/QuvDeveloper.conf",
                   "[Startup]\neditorenabled=True\nFileName=" + bigPath.toUtf8() + "\n"))
        return 1;

    const XServer display;
    const char* platform = display.name().isEmpty() ? "offscreen" : "Xvfb";
    // The kinds take turns, so that a busy moment weighs on all of them alike.
    Measure bare, compact, small, heavy, text;
    for (int round = 0; round < 7; ++round) {
        if (!run(argv[0], "text", empty, display, text) ||
            !run(argv[0], "bare", empty, display, bare) ||
            !run(argv[0], "program", empty, display, compact) ||
            !run(argv[0], "program", full, display, small) ||
            !run(argv[0], "program", large, display, heavy))
            return 1;
    }
    const double bareMs = median(bare.ms);
    std::printf("start-up to window shown (%s, median of 7):\n", platform);
    std::printf("  bare Qt main window                  %7.1f ms\n", bareMs);
    std::printf("  bare window with one label           %7.1f ms  (the fonts any text needs)\n",
                median(text.ms));
    std::printf(
        "  compact mode, empty settings         %7.1f ms  (%.2fx the bare window; target < 1.3x)\n",
        median(compact.ms), median(compact.ms) / bareMs);
    std::printf("  full mode, small document            %7.1f ms  (%.2fx)\n", median(small.ms),
                median(small.ms) / bareMs);
    std::printf(
        "  full mode, 10 MB document reopened   %7.1f ms  (the document adds %.1f ms; target < 100 "
        "ms)\n",
        median(heavy.ms), median(heavy.ms) - median(small.ms));
    std::printf(
        "peak memory at window shown: compact %.1f MB, 10 MB document %.1f MB (target < 80 MB "
        "without a document)\n",
        median(compact.mb), median(heavy.mb));

    // Opening a 10 MB source file in a running window.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(empty));
    QApplication app(argc, argv);
    quv::MemorySettingsStore settings;
    quv::SystemClock clock;
    quv::QtDialogs dialogs;
    quv::LinkState link;
    quv::QtEventPump pump{&link.AppClosing};
    quv::LinkCom com(settings, pump);
    quv::ProcessWorkingFolder folder;
    settings.save("editorenabled", "True");
    quv::MainWindow window({dialogs, settings, clock, com, pump, folder, {}}, link);
    window.Form_Load();
    window.show();
    std::vector<double> openMs;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer t;
        t.start();
        window.documents().Open_File(bigPath);
        QCoreApplication::processEvents();  // the first paint of the new text
        openMs.push_back(t.nsecsElapsed() / 1e6);
        if (window.Source()->length() != big.size()) return 1;
    }
    QElapsedTimer t;
    t.start();
    window.documents().save_Click();
    const double saveMs = t.nsecsElapsed() / 1e6;
    std::printf("open a %.1f MB source file: median %.1f ms (target < 300 ms); save it: %.1f ms\n",
                big.size() / 1048576.0, median(openMs), saveMs);
    return 0;
}
