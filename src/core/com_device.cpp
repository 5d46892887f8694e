#include "core/com_device.h"

#include "core/settings_keys.h"
#include "core/settings_store.h"

namespace quv {

QString comDevice(const SettingsStore& settings, qint32 port) {
    const QString key = keys::kComDevicePrefix + QString::number(port);
    if (settings.contains(key)) {
        const QString device = settings.get(key).trimmed();
        if (!device.isEmpty()) return device;
    }
    if (port < 1) return QString();
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(port);
#else
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
#endif
}

bool tcpipChosen(const SettingsStore& settings) {
    return settings.getNumber(keys::kTcpip, keys::kDefaultTcpip) == 1;
}

QByteArray tcpipAddress(const SettingsStore& settings) {
    return settings.get(keys::kTcpipAddr, keys::kDefaultTcpipAddr).toLatin1();
}

}  // namespace quv
