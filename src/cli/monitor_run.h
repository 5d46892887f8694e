// quvmonitor, the terminals' messages from the command line: its command
// line read into options, each message as the line it prints, and the run
// that attaches to the base station, sends and prints until it ends.
#pragma once

#include "cli/cli_common.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace quv {

struct MonitorRow;

namespace cli {

struct MonitorOptions : LinkOptions {
    bool json = false;
    // --send ADDRESS TEXT: sent once the link is up, when sendTo is not empty.
    QByteArray sendTo;
    QByteArray sendText;
    // The run ends after this many messages; -1 for no limit.
    qint64 count = -1;
    // The whole run ends after this long; 0 for no limit.
    double timeoutSeconds = 0;
};

using MonitorCommandLine = ParsedLine<MonitorOptions>;

// The arguments after the program's own name.
MonitorCommandLine parseMonitorCommandLine(const QStringList& arguments);
QString monitorHelpText();
QString monitorVersionText();

// A terminal's message as quvmonitor prints it, without the line end:
// "yyyy-MM-dd hh:mm:ss.zzz  ADDRESS  escaped text", or with json one JSON
// object {"time":..., "address":..., "text":...} whose text holds each byte
// as the character with the same code.
QByteArray monitorLine(const MonitorRow& row, bool json);

// Watches the terminals as the options say, on the link settings in stored
// (never written): messages on out, everything else on err.
int runMonitor(const MonitorOptions& options, const SettingsStore& stored, FILE* out, FILE* err);

}  // namespace cli
}  // namespace quv
