// quvmonitor, the terminals' messages from the command line: its command
// line read into options, each message as the line it prints, and the run
// that attaches to the base station, sends and prints until it ends, or in
// raw line mode reads a terminal cabled straight to the COM port.
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
    // The rate of a raw line unless --rate says otherwise: the RS232 upload's.
    static constexpr qint32 kDefaultRawRate = 38400;

    bool json = false;
    // --raw: the COM port's own bytes, with no base station, at rawRate.
    bool raw = false;
    qint32 rawRate = kDefaultRawRate;
    // --write TEXT, its escapes decoded: written to the raw line once it is
    // open, when not empty.
    QByteArray write;
    // --send ADDRESS TEXT: sent once the link is up, when sendTo is not empty.
    QByteArray sendTo;
    QByteArray sendText;
    // The run ends after this many messages (raw lines); -1 for no limit.
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
// as the character with the same code. A raw row has no address, neither in
// the line nor in the object.
QByteArray monitorLine(const MonitorRow& row, bool json);

// Watches the terminals as the options say, on the link settings in stored
// (never written): messages on out, everything else on err.
int runMonitor(const MonitorOptions& options, const SettingsStore& stored, FILE* out, FILE* err);

}  // namespace cli
}  // namespace quv
