// Runs one command line as a process and waits for its end while the event
// loop runs, so that the windows repaint and take commands meanwhile and the
// wait ends as soon as the process does.
#pragma once

#include "compile/build_names.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace quv {

struct ShellResult {
    enum class Outcome {
        Exited,      // the process ended by itself; exitCode is its code
        Crashed,     // the process was killed by a signal or crashed
        NotStarted,  // the program could not be started; error says why
        Abandoned,   // the program is quitting: the process was stopped
    };
    Outcome outcome = Outcome::NotStarted;
    qint32 exitCode = 0;
    QString error;

    // Only a process that ended by itself with code 0 has succeeded.
    bool succeeded() const { return outcome == Outcome::Exited && exitCode == 0; }
};

// Starts the command (never through a shell), hands its standard output and
// error to output as they arrive, and returns when the process has ended.
// When the application quits meanwhile, the process is stopped and the
// result is Abandoned.
ShellResult runAndWait(const CommandLine& command,
                       const std::function<void(const QByteArray&)>& output);

}  // namespace quv
