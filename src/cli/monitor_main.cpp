// quvmonitor: prints the terminals' messages from the command line, without
// the window; quvmonitor --help says how.
#include "cli/monitor_run.h"
#include "core/settings_store.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    using quv::cli::MonitorCommandLine;
    const MonitorCommandLine line = quv::cli::parseMonitorCommandLine(app.arguments().mid(1));
    switch (line.action) {
        case MonitorCommandLine::Action::Help:
            std::printf("%s", qPrintable(quv::cli::monitorHelpText()));
            return quv::cli::kDelivered;
        case MonitorCommandLine::Action::Version:
            std::printf("%s\n", qPrintable(quv::cli::monitorVersionText()));
            return quv::cli::kDelivered;
        case MonitorCommandLine::Action::Usage:
            std::fprintf(stderr, "quvmonitor: %s\nTry 'quvmonitor --help'.\n",
                         qPrintable(line.error));
            return quv::cli::kUsage;
        case MonitorCommandLine::Action::Run:
            break;
    }
    const quv::NativeSettingsStore settings;
    return quv::cli::runMonitor(line.options, settings, stdout, stderr);
}
