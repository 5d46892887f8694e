#include "cli/monitor_run.h"

#include "comm/link_com.h"
#include "comm/wire.h"
#include "core/monitor_timeline.h"
#include "core/settings_store.h"

#include <QCommandLineParser>
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
                  {{"h", "help"}, ""},
                  {"version", ""}});
    p.addPositionalArgument("TEXT", "");
    if (!p.parse(QStringList{QStringLiteral("quvmonitor")} + arguments))
        return refused(p.errorText());
    MonitorCommandLine c;
    c.action = p.isSet("help")      ? MonitorCommandLine::Action::Help
               : p.isSet("version") ? MonitorCommandLine::Action::Version
                                    : MonitorCommandLine::Action::Run;
    if (c.action != MonitorCommandLine::Action::Run) return c;
    for (const char* name : {"port", "device", "tcp", "send", "count", "timeout"})
        if (p.values(name).size() > 1) return refused(QStringLiteral("give --%1 once").arg(name));

    MonitorOptions& o = c.options;
    if (const QString error = readLinkOptions(p, o); !error.isEmpty()) return refused(error);
    if (const QString error = readTimeout(p, o.timeoutSeconds); !error.isEmpty())
        return refused(error);
    o.json = p.isSet("json");
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
    return QStringLiteral("quvmonitor %1.%2.%3")
        .arg(QUV_VERSION_MAJOR)
        .arg(QUV_VERSION_MINOR)
        .arg(QUV_VERSION_PATCH);
}

QString monitorHelpText() {
    return QStringLiteral(R"(Usage: quvmonitor [--port N | --device PATH | --tcp HOST[:PORT]]
                  [--send ADDRESS TEXT] [--count N] [--timeout S] [--json]

Attaches to the base station and prints each message the terminals send,
one line each:
  yyyy-MM-dd hh:mm:ss.zzz  ADDRESS  text
with every byte on the line: printable characters as they are, \\ for a
backslash, \r \n \t, and \xNN for any other byte.

Link (default: the link the window stores in its settings):
  --port N           COM port N (its device: the setting ComDevice<N>)
  --device PATH      this serial device, for this run only
  --tcp HOST[:PORT]  TCP/IP to the base station (port 4720 unless given)
Run:
  --send ADDRESS TEXT  send TEXT to the terminal ADDRESS once the link is up
  --count N          end after N messages (--count 0 with --send: send, then
                     end)
  --timeout S        end the whole run after S seconds, 0 for no limit (the
                     default)
  --json             one JSON object per line instead: {"time":...,
                     "address":..., "text":...}, each byte of the text as the
                     character with the same code
  --help, --version

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
    if (!json)
        return (time + QStringLiteral("  ") + escapedBytes(row.address) + QStringLiteral("  ") +
                escapedBytes(row.bytes))
            .toUtf8();
    return "{\"time\":" + jsonString(time) +
           ",\"address\":" + jsonString(QString::fromLatin1(row.address)) +
           ",\"text\":" + jsonString(QString::fromLatin1(row.bytes)) + '}';
}

int runMonitor(const MonitorOptions& o, const SettingsStore& stored, FILE* out, FILE* err) {
    MemorySettingsStore linkSettings;
    const ChosenLink chosen = chooseLink(o, stored, linkSettings);
    const qint32 port = chosen.state.CommPort;
    const qint32 baud = chosen.state.BaudRate;
    catchInterrupts();
    RunPump pump(o.timeoutSeconds);
    LinkCom com(linkSettings, pump);
    if (chosen.tcp) com.TCPIP_Start(chosen.address);
    bool linkLost = false;
    com.BackGetEvent([&linkLost](qint32 code, qint32, qint32, const QByteArray&) {
        if (code == wire::kEventLinkLost) linkLost = true;
    });
    const auto tell = [err](const QString& text) {
        std::fprintf(err, "quvmonitor: %s\n", text.toLocal8Bit().constData());
        std::fflush(err);
    };

    // The link is tried alone first, so that a port or connection that does
    // not open is told apart from a base station that does not answer.
    int code = kDelivered;
    if (com.IO_Open(port, baud) == 0) {
        code = pump.closing() ? pump.endCode() : kPortFailed;
        if (code == kPortFailed) tell(errorOpeningLink(chosen.tcp));
    } else {
        com.IO_Close(port);
        if (com.InitializeComm(port, baud) == 0) {
            code = pump.closing() ? pump.endCode() : kBaseSilent;
            if (code == kBaseSilent) tell(QStringLiteral("the base station did not answer"));
        }
    }
    if (code == kDelivered)
        tell(
            QStringLiteral("watching the terminals (link: %1)").arg(chosen.describe(linkSettings)));
    if (code == kDelivered && !o.sendTo.isEmpty() &&
        com.Send_Message(port, o.sendTo, o.sendText, static_cast<qint32>(o.sendText.size())) != 1) {
        code = pump.closing() ? pump.endCode() : kBaseSilent;
        if (code == kBaseSilent)
            tell(QStringLiteral("the base station did not take the text for %1: no such "
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
            std::fprintf(out, "%s\n", monitorLine(row, o.json).constData());
            std::fflush(out);
            ++shown;
        } else if (pump.closing()) {
            code = pump.endCode();
        } else if (linkLost) {
            code = kPortFailed;
            tell(QStringLiteral("the link to the base station was lost"));
        } else {
            pump.pumpOnce();
        }
    }
    if (code == kTimeOut) tell(QStringLiteral("time-out after %1 s").arg(o.timeoutSeconds));
    com.TerminateComm(port);
    com.StopAllProcesses();
    return code;
}

}  // namespace quv::cli
