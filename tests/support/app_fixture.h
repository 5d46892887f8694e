// A main window started on fakes: settings in memory, scripted dialogs, a
// fixed clock and a recording communication library.
#pragma once

#include "app/main_window.h"
#include "core/link_state.h"
#include "core/settings_store.h"
#include "core/working_folder.h"
#include "support/fixed_clock.h"
#include "support/recording_com.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"
#include "support/test_pump.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace quv::test {

struct AppFixture {
    MemorySettingsStore settings;
    ScriptedDialogs dialogs;
    FixedClock clock;
    RecordingCom com;
    LinkState link;
    TestPump pump{clock, &link.AppClosing};
    ProcessWorkingFolder folder;
    std::unique_ptr<MainWindow> window;
    QTemporaryDir dir;

    ~AppFixture() {
        window.reset();
        QDir::setCurrent(previousFolder_);
    }
    // Creates the window and runs the start-up sequence, shows the window
    // and activates it, as the program does.
    MainWindow& start() {
        window = std::make_unique<MainWindow>(
            AppServices{dialogs, settings, clock, com, pump, folder, dir.filePath("recovery")},
            link);
        window->start();
        return *window;
    }
    // Writes a file under the temporary folder and returns its full path.
    QString writeFile(const QString& relativePath, const QByteArray& bytes) const {
        return writeTestFile(dir.path(), relativePath, bytes);
    }
    static QByteArray readFile(const QString& path) { return readTestFile(path); }

  private:
    QString previousFolder_ = QDir::currentPath();
};

}  // namespace quv::test
