#include "compile/shell_process.h"

#include <QEventLoop>
#include <QProcess>

namespace quv {

namespace {
constexpr int kStopWaitMs = 3000;
}

ShellResult runAndWait(const CommandLine& command,
                       const std::function<void(const QByteArray&)>& output) {
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

    QEventLoop loop;
    bool failedToStart = false;
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &loop, [&] {
        if (output) output(process.readAllStandardOutput());
    });
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart) return;
        failedToStart = true;
        loop.quit();
    });

    process.start();
    if (process.state() != QProcess::NotRunning && !failedToStart) loop.exec();

    ShellResult result;
    if (failedToStart || process.error() == QProcess::FailedToStart) {
        result.outcome = ShellResult::Outcome::NotStarted;
        result.error = process.errorString();
        return result;
    }
    if (process.state() != QProcess::NotRunning) {
        // The loop was told to end (the program quits): stop the process.
        process.kill();
        process.waitForFinished(kStopWaitMs);
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
