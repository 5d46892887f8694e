// Prints the time from process start to the main window shown (offscreen),
// the peak memory of that process, and the time to open a 10 MB source file.
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
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
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

// The child: starts the program's window as main() does and reports.
int child(int argc, char** argv) {
    QApplication app(argc, argv);
    quv::DesktopProgram program;
    quv::MainWindow& window = program.window;
    window.start();
    if (!QTest::qWaitForWindowExposed(&window)) return 2;
    QCoreApplication::processEvents();
    const double shown = monotonicMs();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%.3f %ld\n", shown, usage.ru_maxrss);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsSet("QUV_BENCH_CHILD")) return child(argc, argv);

    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    qputenv("QT_QPA_PLATFORM", "offscreen");

    // Start-up, in full mode with a small document open, 10 runs.
    QTemporaryDir work;
    const QString hello = work.filePath("hello.c");
    {
        QFile f(hello);
        if (!f.open(QIODevice::WriteOnly)) return 1;
        f.write("int main(void)\r\n{\r\n\treturn 0;\r\n}\r\n");
        QFile conf(config.filePath("QuvDeveloper.conf"));
        if (!conf.open(QIODevice::WriteOnly)) return 1;
        conf.write("[Startup]\neditorenabled=True\nFileName=" + hello.toUtf8() + "\n");
    }
    std::vector<double> startMs;
    std::vector<double> peakMb;
    for (int run = 0; run < 10; ++run) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUV_BENCH_CHILD", "1");
        p.setProcessEnvironment(env);
        const double before = monotonicMs();
        p.start(QString::fromLocal8Bit(argv[0]), {});
        if (!p.waitForFinished(30000) || p.exitCode() != 0) {
            std::fprintf(stderr, "start-up run failed: %s\n", p.readAllStandardError().constData());
            return 1;
        }
        const QList<QByteArray> out = p.readAllStandardOutput().trimmed().split(' ');
        startMs.push_back(out.value(0).toDouble() - before);
        peakMb.push_back(out.value(1).toDouble() / 1024.0);
    }
    std::printf(
        "start-up to window shown (offscreen): median %.1f ms, best %.1f ms (target < 150 ms)\n",
        median(startMs), *std::min_element(startMs.begin(), startMs.end()));
    std::printf("peak memory at window shown: median %.1f MB (target < 80 MB)\n", median(peakMb));

    // Opening a 10 MB source file.
    QApplication app(argc, argv);
    QByteArray big;
    big.reserve(10 * 1024 * 1024 + 100);
    for (int line = 0; big.size() < 10 * 1024 * 1024; ++line)
        big += "\tresult = compute_value(table[" + QByteArray::number(line) +
               "], offset + 42); /* step */\r\n";
    const QString bigPath = work.filePath("big.c");
    {
        QFile f(bigPath);
        if (!f.open(QIODevice::WriteOnly)) return 1;
        f.write(big);
    }
    quv::MemorySettingsStore settings;
    quv::SystemClock clock;
    quv::QtDialogs dialogs;
    quv::LinkState link;
    quv::QtEventPump pump{&link.AppClosing};
    quv::LinkCom com(settings, pump);
    quv::ProcessWorkingFolder folder;
    settings.save("editorenabled", "True");
    quv::MainWindow window({dialogs, settings, clock, com, pump, folder}, link);
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
