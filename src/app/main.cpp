// QuvDeveloper: builds the services and the main window, then runs.
#include "app/desktop_program.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QuvDeveloper"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(QUV_VERSION_MAJOR)
                                            .arg(QUV_VERSION_MINOR)
                                            .arg(QUV_VERSION_PATCH));
    QApplication::setStyle(QStringLiteral("Fusion"));
    // The program ends with its main window, whatever else is still open.
    QApplication::setQuitOnLastWindowClosed(false);

    quv::DesktopProgram program;
    QObject::connect(&program.window, &quv::MainWindow::closed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    program.window.start();
    return app.exec();
}
