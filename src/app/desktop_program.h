// The program as it runs on the desktop: the real settings store, clock,
// dialogs and communication library, and the main window working on them.
#pragma once

#include "app/clock.h"
#include "app/link_state.h"
#include "app/main_window.h"
#include "app/qt_dialogs.h"
#include "app/settings_store.h"
#include "comm/link_com.h"

namespace quv {

struct DesktopProgram {
    NativeSettingsStore settings;
    SystemClock clock;
    QtDialogs dialogs;
    LinkCom com{settings};
    LinkState link;
    MainWindow window{AppServices{dialogs, settings, clock, com}, link};

    DesktopProgram() { dialogs.setParentWindow(&window); }
};

}  // namespace quv
