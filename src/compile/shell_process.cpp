#include "compile/shell_process.h"

#include "core/event_pump.h"

#include <QProcess>

#include <limits>

#ifdef Q_OS_UNIX
#include <signal.h>
#include <unistd.h>
#endif

namespace quv {

namespace {

// How long a stopped process may take to be gone.
constexpr int kStopWaitMs = 3000;

void stopProcessGroup(QProcess& process) {
#ifdef Q_OS_UNIX
    // The process still runs, so its group is still its own.
    if (const qint64 pid = process.processId(); pid > 0) ::kill(-static_cast<pid_t>(pid), SIGKILL);
#endif
    process.kill();
    process.waitForFinished(kStopWaitMs);
}

}  // namespace

ShellResult ShellRunner::run(const CommandLine& command, const OutputSink& output) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setProgram(command.program);
#ifdef Q_OS_WIN
    // The command line goes to the process as written.
    process.setNativeArguments(command.argumentText);
#else
    process.setArguments(command.arguments);
#endif
#ifdef Q_OS_UNIX
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
#endif
    // The output is taken as it arrives, so that the compiler never waits
    // on a full pipe.
    QObject::connect(&process, &QProcess::readyReadStandardOutput, [&] {
        const QByteArray bytes = process.readAllStandardOutput();
        if (output) output(bytes);
    });

    process.start();
    const bool ended = pumpUntil(
        pump_, [&] { return process.state() == QProcess::NotRunning; },
        std::numeric_limits<int>::max());

    ShellResult result;
    if (process.error() == QProcess::FailedToStart) {
        result.outcome = ShellResult::Outcome::NotStarted;
        result.error = process.errorString();
        return result;
    }
    if (!ended) {
        stopProcessGroup(process);
        result.outcome = ShellResult::Outcome::Abandoned;
        return result;
    }
    if (const QByteArray rest = process.readAllStandardOutput(); !rest.isEmpty() && output)
        output(rest);
    if (process.exitStatus() == QProcess::CrashExit) {
        result.outcome = ShellResult::Outcome::Crashed;
        result.exitCode = -1;
        result.error = process.errorString();
        return result;
    }
    result.outcome = ShellResult::Outcome::Exited;
    result.exitCode = process.exitCode();
    return result;
}

}  // namespace quv
