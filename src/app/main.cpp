// QuvDeveloper: builds the services and the main window, then runs.
#include "app/desktop_program.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quv::configureApplication();

    quv::DesktopProgram program;
    QObject::connect(&program.window, &quv::MainWindow::closed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    program.window.start();
    return app.exec();
}
