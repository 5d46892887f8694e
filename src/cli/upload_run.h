// quvupload, the upload from the command line: its command line read into
// options, and the run that drives the window's own upload code and tells
// how it ended.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <cstdio>

namespace quv {

class SettingsStore;

namespace cli {

// How quvupload ends: one code for each class of failure.
enum Exit : int {
    kDelivered = 0,
    kNotCompiled = 1,     // no header file, or an image that cannot be read
    kPortFailed = 2,      // the port or the TCP/IP connection did not open, or was lost
    kBaseSilent = 3,      // the base station did not answer
    kTransferFailed = 4,  // the program did not arrive whole
    kTimeOut = 5,         // the run took longer than --timeout
    kUsage = 64,          // a command line that cannot be run
    kInterrupted = 130,   // Ctrl+C or SIGTERM
};

struct UploadOptions {
    // Transmit_program's mode: 1 RS232, 2 by radio on request, 3 by radio
    // without confirmation.
    int mode = 3;
    // Which link: the stored settings, or one given for this run.
    enum class Link { Stored, Port, Device, Tcp } link = Link::Stored;
    qint32 port = 0;
    QString device;
    QByteArray address;
    int repeat = 1;
    // The whole run ends after this long; 0 for no limit.
    double timeoutSeconds = 0;
    // The source file or its image.
    QString program;
};

// Without --timeout, --request waits this long for a terminal.
inline constexpr double kRequestTimeoutSeconds = 60;
inline constexpr double kMaxTimeoutSeconds = 1e7;

struct CommandLine {
    enum class Action { Run, Help, Version, Usage } action = Action::Usage;
    UploadOptions options;
    QString error;  // why a command line was refused, in plain words
};

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

}  // namespace cli
}  // namespace quv
