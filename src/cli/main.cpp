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
    const auto line = quv::cli::parseCommandLine(app.arguments().mid(1));
    if (const auto code = quv::cli::answerWithoutRun("quvupload", line, quv::cli::helpText(),
                                                     quv::cli::versionText()))
        return *code;
    const quv::NativeSettingsStore settings;
    return quv::cli::runUpload(line.options, settings, {stdout, stderr, QUV_ISATTY(stdout) != 0});
}
