#include "cli/cli_common.h"

#include "comm/link_com.h"
#include "core/com_device.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"

#include <QCommandLineParser>

#include <cmath>
#include <csignal>

namespace quv::cli {

std::optional<QString> valueOf(const QCommandLineParser& p, const QString& name) {
    const QStringList values = p.values(name);
    return values.isEmpty() ? std::nullopt : std::optional<QString>(values.last());
}

void addLinkOptions(QCommandLineParser& p) {
    p.addOptions({{"port", "", "N"}, {"device", "", "PATH"}, {"tcp", "", "HOST[:PORT]"}});
}

QString readLinkOptions(const QCommandLineParser& p, LinkOptions& o) {
    if (p.values("port").size() + p.values("device").size() + p.values("tcp").size() > 1)
        return QStringLiteral("choose one of --port, --device and --tcp");
    if (const auto v = valueOf(p, "port")) {
        bool ok = true;
        o.link = LinkOptions::Link::Port;
        o.port = v->toInt(&ok);
        if (!ok || o.port < 1) return QStringLiteral("--port takes a COM port number from 1");
    }
    if (const auto v = valueOf(p, "device")) {
        o.link = LinkOptions::Link::Device;
        o.device = *v;
        if (o.device.trimmed().isEmpty()) return QStringLiteral("--device takes a path");
    }
    if (const auto v = valueOf(p, "tcp")) {
        o.link = LinkOptions::Link::Tcp;
        o.address = v->toLatin1();
        if (!LinkCom::parseAddress(o.address))
            return QStringLiteral("--tcp takes HOST or HOST:PORT, not \"%1\"").arg(*v);
    }
    return {};
}

QString readTimeout(const QCommandLineParser& p, double& seconds) {
    if (const auto v = valueOf(p, "timeout")) {
        bool ok = true;
        seconds = v->toDouble(&ok);
        if (!ok || !(seconds >= 0 && seconds <= kMaxTimeoutSeconds))
            return QStringLiteral("--timeout takes seconds, 0 for no limit");
    }
    return {};
}

QString ChosenLink::describe(const SettingsStore& linkSettings) const {
    return tcp ? QStringLiteral("TCP/IP %1").arg(QString::fromLatin1(address))
               : QStringLiteral("COM%1, %2")
                     .arg(state.CommPort)
                     .arg(comDevice(linkSettings, state.CommPort));
}

ChosenLink chooseLink(const LinkOptions& o, const SettingsStore& stored,
                      MemorySettingsStore& linkSettings) {
    using Link = LinkOptions::Link;
    ChosenLink c;
    c.state.CommPort = stored.getInt(keys::kCommPort, keys::kDefaultCommPort);
    c.state.BaudRate = stored.getInt(keys::kBaudRate, keys::kDefaultBaudRate);
    c.tcp = tcpipChosen(stored);
    c.address = tcpipAddress(stored);
    if (o.link == Link::Port) c.state.CommPort = o.port;
    if (o.link == Link::Tcp) c.address = o.address;
    if (o.link != Link::Stored) c.tcp = o.link == Link::Tcp;
    const QString deviceKey = keys::kComDevicePrefix + QString::number(c.state.CommPort);
    if (o.link == Link::Device)
        linkSettings.save(deviceKey, o.device);
    else if (stored.contains(deviceKey))
        linkSettings.save(deviceKey, stored.get(deviceKey));
    return c;
}

namespace {

volatile std::sig_atomic_t interruptedFlag = 0;

extern "C" void onInterrupt(int) {
    interruptedFlag = 1;
}

}  // namespace

void catchInterrupts() {
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
}

bool interrupted() {
    return interruptedFlag != 0;
}

RunPump::RunPump(double seconds)
    : deadline_(seconds > 0 ? QDeadlineTimer(std::llround(seconds * 1000))
                            : QDeadlineTimer(QDeadlineTimer::Forever)) {}

std::pair<LineAction, QString> readArguments(QCommandLineParser& p, const char* program,
                                             const QStringList& arguments,
                                             std::initializer_list<const char*> once) {
    p.addOptions({{{"h", "help"}, ""}, {"version", ""}});
    if (!p.parse(QStringList{QString::fromLatin1(program)} + arguments))
        return {LineAction::Usage, p.errorText()};
    if (p.isSet("help")) return {LineAction::Help, {}};
    if (p.isSet("version")) return {LineAction::Version, {}};
    for (const char* name : once)
        if (p.values(name).size() > 1)
            return {LineAction::Usage, QStringLiteral("give --%1 once").arg(name)};
    return {LineAction::Run, {}};
}

}  // namespace quv::cli
