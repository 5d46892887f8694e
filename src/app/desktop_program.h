// The program as it runs on the desktop: the real settings store, clock,
// dialogs and communication library, and the main window working on them.
#pragma once

#include "app/main_window.h"
#include "app/qt_dialogs.h"
#include "comm/link_com.h"
#include "core/app_paths.h"

#include <QApplication>
#include <QStandardPaths>
#include "core/clock.h"
#include "core/event_pump.h"
#include "core/link_state.h"
#include "core/settings_store.h"
#include "core/working_folder.h"

namespace quv {

// What the program sets on its application object before it builds the
// window: its name, version and style, and that it ends with the main window
// rather than with the last window closed.
inline void configureApplication() {
    QApplication::setApplicationName(QStringLiteral("QuvDeveloper"));
    QApplication::setApplicationVersion(versionText());
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setQuitOnLastWindowClosed(false);
}

// The recovery copies of unsaved changes live in the user's data folder for
// the program.
inline QString recoveryFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/recovery");
}

struct DesktopProgram {
    NativeSettingsStore settings;
    SystemClock clock;
    QtDialogs dialogs;
    LinkState link;
    QtEventPump pump{&link.AppClosing};
    LinkCom com{settings, pump};
    ProcessWorkingFolder folder;
    MainWindow window{AppServices{dialogs, settings, clock, com, pump, folder, recoveryFolder()},
                      link};

    DesktopProgram() { dialogs.setParentWindow(&window); }
};

}  // namespace quv
