// How a compiler program is started. The terminals' compilers are Windows
// programs: on any other system they run through a launcher program, which
// is given the compiler's path followed by its arguments.
#pragma once

#include "compile/build_names.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace quv {

enum class HostSystem { Windows, Other };
#ifdef Q_OS_WIN
inline constexpr HostSystem kHostSystem = HostSystem::Windows;
#else
inline constexpr HostSystem kHostSystem = HostSystem::Other;
#endif

// The first bytes of a program file, enough to tell a Windows program; empty
// when it is no regular file or cannot be read (nothing is waited on).
QByteArray programHead(const QString& path);

// The command that runs: for a Windows program (head begins with "MZ") on
// another system, launcher with the program's path before the arguments;
// otherwise command itself. The text, name and folder stay the compiler's.
CommandLine launchedCommand(const CommandLine& command, const QByteArray& head,
                            const QString& launcher, HostSystem host = kHostSystem);

// Whether the launcher can be run: a bare name is looked for on the PATH, a
// path must be an executable file.
bool launcherFound(const QString& launcher);

// The message when a Windows compiler program cannot run: %1 the compiler
// program's file name, %2 the launcher.
inline const QString kNoLauncher = QStringLiteral(
    "The compiler program %1 is a Windows program. To run it on this system the program "
    "%2 is needed, but %2 was not found.\n\nOn Debian, install it with:\nsudo apt install wine");

}  // namespace quv
