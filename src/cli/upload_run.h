// quvupload, the upload from the command line: its command line read into
// options, and the run that drives the window's own upload code and tells
// how it ended.
#pragma once

#include "cli/cli_common.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <cstdio>

namespace quv::cli {

struct UploadOptions : LinkOptions {
    // Transmit_program's mode: 1 RS232, 2 by radio on request, 3 by radio
    // without confirmation.
    int mode = 3;
    int repeat = 1;
    // The whole run ends after this long; 0 for no limit.
    double timeoutSeconds = 0;
    // The source file or its image.
    QString program;
};

// Without --timeout, --request waits this long for a terminal.
inline constexpr double kRequestTimeoutSeconds = 60;

using CommandLine = ParsedLine<UploadOptions>;

// The arguments after the program's own name.
CommandLine parseCommandLine(const QStringList& arguments);
QString helpText();
QString versionText();

struct Console {
    FILE* out = stdout;
    FILE* err = stderr;
    // out is a terminal: a progress bar on one line instead of plain lines.
    bool terminal = false;
};

// Uploads as the options say, on the link settings in stored (never written).
int runUpload(const UploadOptions& options, const SettingsStore& stored, const Console& console);

}  // namespace quv::cli
