#include "cli/monitor_run.h"

#include "comm/link_com.h"
#include "comm/wire.h"
#include "core/app_paths.h"
#include "core/monitor_timeline.h"
#include "core/settings_store.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>

namespace quv::cli {

namespace {

// Get_Message's fixed arguments: the longest message taken, and from any terminal.
constexpr qint32 kMessageLimit = 100000;
constexpr qint32 kAnyTerminal = 0;

MonitorCommandLine refused(const QString& error) {
    MonitorCommandLine c;
    c.error = error;
    return c;
}

// A text as a JSON string, quotes included.
QByteArray jsonString(const QString& text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

}  // namespace

MonitorCommandLine parseMonitorCommandLine(const QStringList& arguments) {
    QCommandLineParser p;
    addLinkOptions(p);
    p.addOptions({{"send", "", "ADDRESS"},
                  {"count", "", "N"},
                  {"timeout", "", "S"},
                  {"json", ""},
                  {"raw", ""},
                  {"rate", "", "N"},
                  {"write", "", "TEXT"}});
    p.addPositionalArgument("TEXT", "");
    MonitorCommandLine c;
    std::tie(c.action, c.error) =
        readArguments(p, "quvmonitor", arguments,
                      {"port", "device", "tcp", "send", "count", "timeout", "rate", "write"});
    if (c.action != MonitorCommandLine::Action::Run) return c;

    MonitorOptions& o = c.options;
    if (const QString error = readLinkOptions(p, o); !error.isEmpty()) return refused(error);
    if (const QString error = readTimeout(p, o.timeoutSeconds); !error.isEmpty())
        return refused(error);
    o.json = p.isSet("json");
    o.raw = p.isSet("raw");
    for (const char* name : {"rate", "write"})
        if (!o.raw && p.isSet(name))
            return refused(QStringLiteral("--%1 goes with --raw").arg(name));
    if (o.raw && (p.isSet("send") || o.link == LinkOptions::Link::Tcp))
        return refused(
            QStringLiteral("--raw reads a COM port: no --tcp, and --write TEXT instead of --send"));
    if (const auto v = valueOf(p, "rate")) {
        bool ok = true;
        o.rawRate = v->toInt(&ok);
        if (!ok || o.rawRate < 1)
            return refused(QStringLiteral("--rate takes a whole number of Baud from 1"));
    }
    if (const auto v = valueOf(p, "write")) {
        o.write = unescapedBytes(*v).value_or(QByteArray());
        if (o.write.isEmpty())
            return refused(
                QStringLiteral("--write takes a TEXT of at least one byte, with \\\\ \\r \\n \\t "
                               "or \\xNN for a special byte"));
    }
    if (const auto v = valueOf(p, "count")) {
        bool ok = true;
        o.count = v->toLongLong(&ok);
        if (!ok || o.count < 0) return refused(QStringLiteral("--count takes a whole number"));
    }
    const QStringList texts = p.positionalArguments();
    if (const auto v = valueOf(p, "send")) {
        o.sendTo = v->toLatin1();
        if (o.sendTo.isEmpty() || o.sendTo.size() > QuvCom::kAddressLength || *v != o.sendTo)
            return refused(QStringLiteral("--send takes a terminal address of 1 to %1 characters")
                               .arg(QuvCom::kAddressLength));
        if (texts.size() != 1) return refused(QStringLiteral("--send ADDRESS takes one TEXT"));
        o.sendText = texts.first().toLocal8Bit();
        if (!wire::TerminalText{o.sendTo, o.sendText}.textFits())
            return refused(
                QStringLiteral("TEXT holds 1 to %1 bytes").arg(wire::TerminalText::kMaxText));
    } else if (!texts.isEmpty()) {
        return refused(QStringLiteral("TEXT goes with --send ADDRESS"));
    }
    return c;
}

QString monitorVersionText() {
    return QStringLiteral("quvmonitor ") + quv::versionText();
}

QString monitorHelpText() {
    return QStringLiteral(R"(Usage: quvmonitor [LINK] [--send ADDRESS TEXT] [RUN]...
  or:  quvmonitor --raw [--port N | --device PATH] [RAW]... [RUN]...

Attaches to the base station and prints each message the terminals send,
one line each:
  yyyy-MM-dd hh:mm:ss.zzz  ADDRESS  text
with every byte on the line: printable characters as they are, \\ for a
backslash, \r \n \t, and \xNN for any other byte.

LINK (default: the link the window stores in its settings):
  --port N           COM port N (its device: the setting ComDevice<N>)
  --device PATH      this serial device, for this run only
  --tcp HOST[:PORT]  TCP/IP to the base station (port 4720 unless given)
RUN:
  --send ADDRESS TEXT  send TEXT to the terminal ADDRESS once the link is up
  --count N          end after N messages (--count 0 with --send or --write:
                     send, then end)
  --timeout S        end the whole run after S seconds, 0 for no limit (the
                     default)
  --json             one JSON object per line instead: {"time":...,
                     "address":..., "text":...}, each byte of the text as the
                     character with the same code
  --help             show this help and end
  --version          show the version and end
RAW, the raw line mode for a terminal cabled straight to the COM port:
  --raw              no base station: print the bytes of the COM port (the
                     stored one, --port or --device, also when the settings
                     choose TCP/IP), one line for each line received, up to
                     and with its LF, or its bytes so far once the line has
                     been quiet for 100 ms or they reach 4096:
                       yyyy-MM-dd hh:mm:ss.zzz  text
                     (with --json no "address"); --count counts these lines
  --rate N           the port's rate in Baud (default 38400)
  --write TEXT       write TEXT to the port once it is open, \\ \r \n \t and
                     \xNN in it standing for those bytes

The settings are read, never written. Messages of the program itself go to
the error output. Ctrl+C and SIGTERM end the run.

Exit codes:
  0    ended after --count messages
  2    port or connection: the port or the TCP/IP connection did not open,
       or the link was lost
  3    the base station did not answer, or refused the text of --send
  5    time-out
  64   usage error
  130  stopped by Ctrl+C or SIGTERM
)");
}

QByteArray monitorLine(const MonitorRow& row, bool json) {
    const QString time = row.time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    const bool addressed = row.kind != MonitorKind::Raw;
    if (!json)
        return (time + QStringLiteral("  ") +
                (addressed ? escapedBytes(row.address) + QStringLiteral("  ") : QString()) +
                escapedBytes(row.bytes))
            .toUtf8();
    return "{\"time\":" + jsonString(time) +
           (addressed ? ",\"address\":" + jsonString(QString::fromLatin1(row.address)) : "") +
           ",\"text\":" + jsonString(QString::fromLatin1(row.bytes)) + '}';
}

namespace {

// What a run does with its rows and its own messages.
struct Printer {
    FILE* out;
    FILE* err;
    bool json;
    void row(const MonitorRow& row) const {
        std::fprintf(out, "%s\n", monitorLine(row, json).constData());
        std::fflush(out);
    }
    void tell(const QString& text) const {
        std::fprintf(err, "quvmonitor: %s\n", text.toLocal8Bit().constData());
        std::fflush(err);
    }
};

// Watches the terminals through the base station; the code the run ends with.
int watchTerminals(const MonitorOptions& o, LinkCom& com, RunPump& pump, qint32 port, qint32 baud,
                   const ChosenLink& chosen, const SettingsStore& linkSettings,
                   const Printer& print) {
    if (chosen.tcp) com.TCPIP_Start(chosen.address);
    bool linkLost = false;
    com.BackGetEvent([&linkLost](qint32 code, qint32, qint32, const QByteArray&) {
        if (code == wire::kEventLinkLost) linkLost = true;
    });

    // The link is tried alone first, so that a port or connection that does
    // not open is told apart from a base station that does not answer.
    int code = kDelivered;
    if (com.IO_Open(port, baud) == 0) {
        code = pump.closing() ? pump.endCode() : kPortFailed;
        if (code == kPortFailed) print.tell(errorOpeningLink(chosen.tcp));
    } else {
        com.IO_Close(port);
        if (com.InitializeComm(port, baud) == 0) {
            code = pump.closing() ? pump.endCode() : kBaseSilent;
            if (code == kBaseSilent) print.tell(QStringLiteral("the base station did not answer"));
        }
    }
    if (code == kDelivered)
        print.tell(
            QStringLiteral("watching the terminals (link: %1)").arg(chosen.describe(linkSettings)));
    if (code == kDelivered && !o.sendTo.isEmpty() &&
        com.Send_Message(port, o.sendTo, o.sendText, static_cast<qint32>(o.sendText.size())) != 1) {
        code = pump.closing() ? pump.endCode() : kBaseSilent;
        if (code == kBaseSilent)
            print.tell(QStringLiteral("the base station did not take the text for %1: no such "
                                      "terminal, or no answer")
                           .arg(QString::fromLatin1(o.sendTo)));
    }

    QByteArray sender(QuvCom::kAddressLength, ' ');
    for (qint64 shown = 0; code == kDelivered && (o.count < 0 || shown < o.count);) {
        qint32 handle = 0;
        const qint32 n = com.Get_Message(handle, kMessageLimit, kAnyTerminal, sender);
        if (n > 0) {
            MonitorRow row{QDateTime::currentDateTime(), MonitorKind::Received, sender,
                           QByteArray(n, ' ')};
            com.GetStringFromPtr(row.bytes, handle, n);
            print.row(row);
            ++shown;
        } else if (pump.closing()) {
            code = pump.endCode();
        } else if (linkLost) {
            code = kPortFailed;
            print.tell(QStringLiteral("the link to the base station was lost"));
        } else {
            pump.pumpOnce();
        }
    }
    com.TerminateComm(port);
    return code;
}

// Reads the raw line of a terminal cabled to the port, one row per line; the
// code the run ends with.
int watchRawLine(const MonitorOptions& o, LinkCom& com, RunPump& pump, qint32 port,
                 const QString& link, const Printer& print) {
    if (com.IO_Open(port, o.rawRate) == 0) {
        const int code = pump.closing() ? pump.endCode() : kPortFailed;
        if (code == kPortFailed) print.tell(kErrorOpeningComPort);
        return code;
    }
    print.tell(
        QStringLiteral("watching the raw line (link: %1, %2 Baud)").arg(link).arg(o.rawRate));
    int code = kDelivered;
    const auto size = static_cast<qint32>(o.write.size());
    if (size > 0 && com.IO_Write(port, size, o.write) != size) {
        code = pump.closing() ? pump.endCode() : kPortFailed;
        if (code == kPortFailed)
            print.tell(QStringLiteral("the port did not take the text of --write"));
    }

    // Short reads, so that a line gone quiet is printed soon after kQuietMs.
    constexpr qint32 kReadMs = RawLines::kQuietMs / 4;
    RawLines lines;
    QElapsedTimer clock;
    clock.start();
    qint64 shown = 0;
    const auto counted = [&] { return o.count >= 0 && shown >= o.count; };
    const auto show = [&](const QByteArray& bytes) {
        if (counted()) return;
        print.row({QDateTime::currentDateTime(), MonitorKind::Raw, {}, bytes});
        ++shown;
    };
    QByteArray buffer(RawLines::kMaxRow, '\0');
    while (code == kDelivered && !counted()) {
        const qint64 readFrom = clock.elapsed();
        const qint32 n = com.IO_Read(port, static_cast<qint32>(buffer.size()), buffer, kReadMs);
        if (n > 0)
            for (const QByteArray& row : lines.add(buffer.left(n), clock.elapsed())) show(row);
        // Also while bytes keep coming, the run ends on time and on Ctrl+C.
        if (pump.closing()) {
            code = pump.endCode();
        } else if (n <= 0 && clock.elapsed() - readFrom < kReadMs) {
            // A read gives nothing before its time is up only when the line failed.
            code = kPortFailed;
            print.tell(QStringLiteral("the line to the port was lost"));
        }
        if (const auto row = lines.flush(clock.elapsed(), code != kDelivered)) show(*row);
    }
    com.IO_Close(port);
    return code;
}

}  // namespace

int runMonitor(const MonitorOptions& o, const SettingsStore& stored, FILE* out, FILE* err) {
    MemorySettingsStore linkSettings;
    ChosenLink chosen = chooseLink(o, stored, linkSettings);
    // A raw line is the COM port's, whatever link the settings choose.
    chosen.tcp = chosen.tcp && !o.raw;
    catchInterrupts();
    RunPump pump(o.timeoutSeconds);
    LinkCom com(linkSettings, pump);
    const Printer print{out, err, o.json};
    const qint32 port = chosen.state.CommPort;
    const int code = o.raw ? watchRawLine(o, com, pump, port, chosen.describe(linkSettings), print)
                           : watchTerminals(o, com, pump, port, chosen.state.BaudRate, chosen,
                                            linkSettings, print);
    if (code == kTimeOut) print.tell(QStringLiteral("time-out after %1 s").arg(o.timeoutSeconds));
    com.StopAllProcesses();
    return code;
}

}  // namespace quv::cli
