// QuvDeveloper: builds the services and the main window, then runs.
#include "app/clock.h"
#include "app/main_window.h"
#include "app/qt_dialogs.h"
#include "app/settings_store.h"
#include "comm/link_com.h"

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

    quv::NativeSettingsStore settings;
    quv::SystemClock clock;
    quv::QtDialogs dialogs;
    quv::LinkCom com(settings);
    quv::LinkState link;

    quv::MainWindow window({dialogs, settings, clock, com}, link);
    dialogs.setParentWindow(&window);
    QObject::connect(&window, &quv::MainWindow::closed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    window.start();
    return app.exec();
}
