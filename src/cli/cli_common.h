// What the command-line programs (quvupload, quvmonitor) share: their exit
// codes, the link options and the link they choose over the stored settings,
// and the end of a run at its deadline, on Ctrl+C or on SIGTERM.
#pragma once

#include "core/event_pump.h"
#include "core/link_state.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <QtGlobal>

#include <QStringList>

#include <cstdio>
#include <initializer_list>
#include <optional>
#include <tuple>
#include <utility>

class QCommandLineParser;

namespace quv {

class MemorySettingsStore;
class SettingsStore;

namespace cli {

// How a command-line program ends: one code for each class of failure.
enum Exit : int {
    kDelivered = 0,
    kNotCompiled = 1,     // no header file, or an image that cannot be read
    kPortFailed = 2,      // the port or the TCP/IP connection did not open, or was lost
    kBaseSilent = 3,      // the base station did not answer, or refused a request
    kTransferFailed = 4,  // the program did not arrive whole
    kTimeOut = 5,         // the run took longer than --timeout
    kUsage = 64,          // a command line that cannot be run
    kInterrupted = 130,   // Ctrl+C or SIGTERM
};

inline constexpr double kMaxTimeoutSeconds = 1e7;

// Which link a run uses: the stored settings, or one given for this run.
struct LinkOptions {
    enum class Link { Stored, Port, Device, Tcp } link = Link::Stored;
    qint32 port = 0;
    QString device;
    QByteArray address;
};

// What a command line asks for.
enum class LineAction { Run, Help, Version, Usage };

// A command line read: what to do, the options of a run, or why it is refused.
template <class Options>
struct ParsedLine {
    using Action = LineAction;
    Action action = Action::Usage;
    Options options;
    QString error;  // why a command line was refused, in plain words
};

// What a program does with a command line that asks for no run: prints the
// help or the version (exit 0) or says why the line is refused (exit 64).
// Nothing for a line that asks for a run.
template <class Options>
std::optional<int> answerWithoutRun(const char* program, const ParsedLine<Options>& line,
                                    const QString& help, const QString& version) {
    using Action = typename ParsedLine<Options>::Action;
    switch (line.action) {
        case Action::Help:
            std::printf("%s", qPrintable(help));
            return kDelivered;
        case Action::Version:
            std::printf("%s\n", qPrintable(version));
            return kDelivered;
        case Action::Usage:
            std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", program, qPrintable(line.error),
                         program);
            return kUsage;
        case Action::Run:
            break;
    }
    return std::nullopt;
}

// Parses the arguments after program's name with p, --help and --version
// added: what they ask for, and why they are refused (Usage), also when an
// option named in once is given twice.
std::pair<LineAction, QString> readArguments(QCommandLineParser& p, const char* program,
                                             const QStringList& arguments,
                                             std::initializer_list<const char*> once);

// The value of an option that takes one; nothing when it is not given.
std::optional<QString> valueOf(const QCommandLineParser& p, const QString& name);
// Adds --port N, --device PATH and --tcp HOST[:PORT] to p.
void addLinkOptions(QCommandLineParser& p);
// Reads the link options of a parsed command line into o; why they are
// refused, in plain words, or an empty text.
QString readLinkOptions(const QCommandLineParser& p, LinkOptions& o);
// Reads --timeout S into seconds (left as it is when not given); why it is
// refused, or an empty text.
QString readTimeout(const QCommandLineParser& p, double& seconds);

// The link as the window loads it from stored, then what the options say.
// The library finds the port's device in its own copy of the settings
// (linkSettings), so that --device changes nothing stored.
struct ChosenLink {
    LinkState state;
    bool tcp = false;
    QByteArray address;
    // "TCP/IP HOST:PORT" or "COM<n>, DEVICE".
    QString describe(const SettingsStore& linkSettings) const;
};
ChosenLink chooseLink(const LinkOptions& o, const SettingsStore& stored,
                      MemorySettingsStore& linkSettings);

// From now on Ctrl+C and SIGTERM set interrupted() instead of ending the
// process, so that the run ends cleanly.
void catchInterrupts();
bool interrupted();

// The event pump of a run: every wait ends at the run's deadline or on
// Ctrl+C and SIGTERM, as it ends in the window when the program closes.
class RunPump : public QtEventPump {
  public:
    explicit RunPump(double seconds);
    bool closing() const override { return interrupted() || deadline_.hasExpired(); }
    // How the run ended once closing() holds: interrupted or timed out.
    int endCode() const { return interrupted() ? kInterrupted : kTimeOut; }

  private:
    QDeadlineTimer deadline_;
};

}  // namespace cli
}  // namespace quv
