// quvupload: uploads a compiled program from the command line, without the
// window; quvupload --help says how.
#include "cli/upload_run.h"
#include "core/settings_store.h"

#include <QCoreApplication>

#ifdef Q_OS_WIN
#include <io.h>
#define QUV_ISATTY(f) _isatty(_fileno(f))
#else
#include <unistd.h>
#define QUV_ISATTY(f) isatty(fileno(f))
#endif

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    using quv::cli::CommandLine;
    const CommandLine line = quv::cli::parseCommandLine(app.arguments().mid(1));
    switch (line.action) {
        case CommandLine::Action::Help:
            std::printf("%s", qPrintable(quv::cli::helpText()));
            return quv::cli::kDelivered;
        case CommandLine::Action::Version:
            std::printf("%s\n", qPrintable(quv::cli::versionText()));
            return quv::cli::kDelivered;
        case CommandLine::Action::Usage:
            std::fprintf(stderr, "quvupload: %s\nTry 'quvupload --help'.\n",
                         qPrintable(line.error));
            return quv::cli::kUsage;
        case CommandLine::Action::Run:
            break;
    }
    const quv::NativeSettingsStore settings;
    return quv::cli::runUpload(line.options, settings, {stdout, stderr, QUV_ISATTY(stdout) != 0});
}
