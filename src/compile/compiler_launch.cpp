#include "compile/compiler_launch.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace quv {

QByteArray programHead(const QString& path) {
    // A pipe or device is never opened: its reader could wait for ever.
    if (!QFileInfo(path).isFile()) return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.read(2);
}

CommandLine launchedCommand(const CommandLine& command, const QByteArray& head,
                            const QString& launcher, HostSystem host) {
    if (host == HostSystem::Windows || !head.startsWith("MZ")) return command;
    CommandLine c = command;
    c.program = launcher;
    c.arguments.prepend(command.program);
    return c;
}

bool launcherFound(const QString& launcher) {
    if (!launcher.contains(QLatin1Char('/')))
        return !launcher.isEmpty() && !QStandardPaths::findExecutable(launcher).isEmpty();
    const QFileInfo info(launcher);
    return info.isFile() && info.isExecutable();
}

}  // namespace quv
