// quvmonitor: prints the terminals' messages from the command line, without
// the window; quvmonitor --help says how.
#include "cli/monitor_run.h"
#include "core/settings_store.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const auto line = quv::cli::parseMonitorCommandLine(app.arguments().mid(1));
    if (const auto code = quv::cli::answerWithoutRun(
            "quvmonitor", line, quv::cli::monitorHelpText(), quv::cli::monitorVersionText()))
        return *code;
    const quv::NativeSettingsStore settings;
    return quv::cli::runMonitor(line.options, settings, stdout, stderr);
}
