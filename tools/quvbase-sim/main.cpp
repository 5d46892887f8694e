// quvbase-sim: a base station with its terminals, reached over loopback TCP
// or a pseudo-terminal, for tests, demonstrations and users without one.

#include "base_station.h"
#include "comm/wire.h"
#include "core/app_paths.h"
#include "line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTimer>

#include <sys/socket.h>
#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <limits>

using namespace quvsim;

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &c, 1);
}

void printLine(const QByteArray& line) {
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void logLine(const QString& text) {
    std::fprintf(stderr, "quvbase-sim: %s\n", text.toLocal8Bit().constData());
}

// A whole number option from 0 to max; the run ends when it is something else.
qint64 numberOption(const QCommandLineParser& p, const QString& name, qint64 max) {
    bool ok = false;
    const qint64 v = p.value(name).toLongLong(&ok);
    if (!ok || v < 0 || v > max) {
        logLine(QStringLiteral("--%1 takes a whole number from 0 to %2").arg(name).arg(max));
        std::exit(2);
    }
    return v;
}

qint64 countOption(const QCommandLineParser& p, const QString& name) {
    return p.isSet(name) ? numberOption(p, name, std::numeric_limits<qint64>::max()) : -1;
}

QByteArray address(const QString& text) {
    return quv::wire::fixed(text.toLatin1(), 8);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quvbase-sim"));
    QCoreApplication::setApplicationVersion(quv::versionText());

    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Emulates a radio base station and its terminals. Standard input takes the commands\n"
        "  reset [ADDRESS]     the terminal sends \"RESET\" (the first terminal by default)\n"
        "  say ADDRESS TEXT    the terminal sends TEXT\n"
        "  status              prints the configuration\n"
        "  drop                cuts every line (a new pseudo-terminal follows) and goes on\n"
        "  quit                ends the emulator (as does the end of input)"));
    p.addHelpOption();
    p.addVersionOption();
    p.addOptions({
        {"tcp", "Listen on 127.0.0.1:<port> (0: any free port).", "port"},
        {"pty", "Create a pseudo-terminal for the host to open as its serial port."},
        {"pty-link", "Also make <path> a link to the pseudo-terminal.", "path"},
        {"baud", "Pace the line at <rate> baud, ten bit times a byte (0: no pacing).", "rate", "0"},
        {"terminal", "Emulate a terminal with this 8-character address (repeatable).", "address"},
        {"out", "Folder for the programs received.", "folder", "quvbase-out"},
        {"config", "Configuration file (default: base.json in the output folder).", "file"},
        {"reset-every", "The first terminal sends \"RESET\" every <n> seconds.", "n"},
        {"drop-after", "Cut the line once, after <n> bytes received.", "n"},
        {"corrupt-in", "Damage received byte number <n> (from 1).", "n"},
        {"corrupt-out", "Damage sent byte number <n> (from 1).", "n"},
        {"silent-after", "Stop answering after <n> bytes received.", "n"},
        {"relay-ms", "A terminal gets a program <n> ms after its last byte is in.", "n"},
        {"say-after-program",
         "A terminal that got a program sends <text> right after the end event (repeatable, "
         "50 ms apart).",
         "text"},
        {"silent-on", "Neither answer nor act on requests with this command code (repeatable).",
         "code"},
        {"echo", "A terminal answers each message it receives with \"ECHO \" and the text."},
        {"ignore-stdin", "Run until a signal, whatever standard input does."},
    });
    p.process(app);

    Faults faults;
    faults.dropAfter = countOption(p, "drop-after");
    faults.corruptIn = countOption(p, "corrupt-in");
    faults.corruptOut = countOption(p, "corrupt-out");
    faults.silentAfter = countOption(p, "silent-after");
    const auto baud = static_cast<qint32>(numberOption(p, "baud", 10000000));
    const qint64 tcpPort = p.isSet("tcp") ? numberOption(p, "tcp", 65535) : 0;

    BaseStation::Options options;
    options.outDir = p.value("out");
    if (!QDir().mkpath(options.outDir)) {
        logLine("cannot create " + options.outDir);
        return 1;
    }
    options.configPath =
        p.isSet("config") ? p.value("config") : QDir(options.outDir).filePath("base.json");
    for (const QString& t : p.values("terminal")) options.terminals << address(t);
    if (p.isSet("relay-ms"))
        options.relayMs = static_cast<int>(numberOption(p, "relay-ms", 3600000));
    for (const QString& text : p.values("say-after-program"))
        if (!text.isEmpty()) options.sayAfterProgram << text.toLatin1();
    for (const QString& code : p.values("silent-on")) {
        bool ok = false;
        const uint c = code.toUInt(&ok, 0);  // 0x17 or 23
        if (!ok || c > 0x7F) {
            logLine("--silent-on takes a request's command code, such as 0x17");
            return 2;
        }
        options.silentOn << static_cast<quint8>(c);
    }
    if (options.terminals.isEmpty()) options.terminals << address("TERM0001");
    options.echo = p.isSet("echo");

    BaseStation base(options, printLine, logLine);
    QString error;
    if (!base.loadConfig(&error)) {
        logLine(error);
        return 1;
    }

    // Signals end the run cleanly, from before anyone learns where it listens.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return 1;
    QSocketNotifier signalNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app,
                     [] { QCoreApplication::quit(); });
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGPIPE, SIG_IGN);

    // Where the host can reach the base station.
    const bool wantPty = p.isSet("pty") || p.isSet("pty-link");
    const bool wantTcp = p.isSet("tcp") || !wantPty;
    QTcpServer server;
    if (wantTcp) {
        const auto port = p.isSet("tcp") ? tcpPort : qint64{quv::wire::kDefaultTcpPort};
        if (!server.listen(QHostAddress::LocalHost, static_cast<quint16>(port))) {
            logLine("cannot listen on port " + QString::number(port) + ": " + server.errorString());
            return 1;
        }
        QObject::connect(&server, &QTcpServer::newConnection, &base, [&] {
            while (QTcpSocket* socket = server.nextPendingConnection())
                base.addLine(new TcpLine(socket, baud, faults));
        });
    }
    const QString ptyLink = p.value("pty-link");
    QString ptyPath;
    std::function<bool()> openPty = [&]() -> bool {
        PtyLine* line = PtyLine::create(baud, faults);
        if (!line) return false;
        ptyPath = line->devicePath();
        base.addLine(line);
        // A cut line is replaced by a new pseudo-terminal.
        auto closed = line->onClosed;
        line->onClosed = [closed, &openPty, &ptyPath] {
            closed();
            QTimer::singleShot(0, [&openPty, &ptyPath] {
                if (openPty()) logLine("new pseudo-terminal " + ptyPath);
            });
        };
        if (!ptyLink.isEmpty()) {
            if (QFileInfo(ptyLink).isSymLink()) QFile::remove(ptyLink);
            if (!QFile::link(ptyPath, ptyLink)) logLine("cannot make the link " + ptyLink);
        }
        QByteArray where = "listening";
        if (server.isListening())
            where += " tcp=127.0.0.1:" + QByteArray::number(server.serverPort());
        where += " pty=" + ptyPath.toLocal8Bit();
        if (!ptyLink.isEmpty()) where += " link=" + ptyLink.toLocal8Bit();
        printLine(where);
        return true;
    };
    if (wantPty) {
        if (!openPty()) {
            logLine("cannot create a pseudo-terminal");
            return 1;
        }
    } else {
        printLine("listening tcp=127.0.0.1:" + QByteArray::number(server.serverPort()));
    }

    QTimer resetTimer;
    if (p.isSet("reset-every")) {
        const double seconds = p.value("reset-every").toDouble();
        if (seconds <= 0) {
            logLine("--reset-every takes a number of seconds");
            return 2;
        }
        QObject::connect(&resetTimer, &QTimer::timeout, &base,
                         [&] { base.terminalSays(base.terminals().value(0), "RESET"); });
        resetTimer.start(static_cast<int>(seconds * 1000));
    }

    // Commands on standard input.
    QByteArray input;
    QSocketNotifier stdinNotifier(STDIN_FILENO, QSocketNotifier::Read);
    if (p.isSet("ignore-stdin")) stdinNotifier.setEnabled(false);
    QObject::connect(&stdinNotifier, &QSocketNotifier::activated, &base, [&] {
        char buffer[1024];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            stdinNotifier.setEnabled(false);
            QCoreApplication::quit();
            return;
        }
        input.append(buffer, n);
        qsizetype eol;
        while ((eol = input.indexOf('\n')) >= 0) {
            const QByteArray line = input.left(eol).trimmed();
            input.remove(0, eol + 1);
            const QList<QByteArray> words = line.simplified().split(' ');
            const QByteArray verb = words.value(0);
            if (line.isEmpty()) continue;
            if (verb == "reset") {
                const QByteArray who =
                    words.size() > 1 ? quv::wire::fixed(words[1], 8) : base.terminals().value(0);
                base.terminalSays(who, "RESET");
            } else if (verb == "say" && words.size() > 2) {
                // say ADDRESS TEXT: the text as typed, inner blanks kept.
                const QByteArray rest = line.mid(3).trimmed();
                const qsizetype gap = rest.indexOf(' ');
                base.terminalSays(quv::wire::fixed(rest.left(gap), 8), rest.mid(gap + 1).trimmed());
            } else if (verb == "drop") {
                base.dropLines();
            } else if (verb == "status") {
                printLine(QByteArray(R"({"event":"status","config":)") + base.statusJson() + "}");
            } else if (verb == "quit") {
                QCoreApplication::quit();
            } else {
                logLine("unknown command: " + QString::fromLocal8Bit(line));
            }
        }
    });

    const int rc = QCoreApplication::exec();
    if (!ptyLink.isEmpty() && QFileInfo(ptyLink).isSymLink()) QFile::remove(ptyLink);
    return rc;
}
