// QuvDeveloper: builds the services and the main window, then runs.
#include "app/desktop_program.h"
#include "core/app_paths.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

// --help and --version are answered before anything needs a display, so that
// they work in a terminal without one; every other argument is ignored, as
// the program reopens the last document instead.
int answerWithoutWindow(int argc, char** argv) {
    bool help = false;
    bool version = false;
    for (int i = 1; i < argc; ++i) {
        help = help || !std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h");
        version = version || !std::strcmp(argv[i], "--version");
    }
    if (help) {
        std::fputs(R"(Usage: quvdeveloper [--help | --version]

The development system for C programs on Z7Q radio terminals, in one window:
edit a program, compile it with the compiler programs myc.exe and compile.exe
that lie beside it, walk through the compiler's errors, and upload the
compiled program to a terminal over RS232 or through a radio base station.
The same window configures the base station and the link to it.

The program reads no other arguments: it reopens the last document. F1 on a
button or menu item explains it.

Options:
  -h, --help     show this help and end
  --version      show the version and end
)",
                   stdout);
        return 0;
    }
    if (version) {
        std::printf("quvdeveloper %s\n", qPrintable(quv::versionText()));
        return 0;
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (const int code = answerWithoutWindow(argc, argv); code >= 0) return code;
    QApplication app(argc, argv);
    quv::configureApplication();

    quv::DesktopProgram program;
    QObject::connect(&program.window, &quv::MainWindow::closed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    program.window.start();
    return app.exec();
}
