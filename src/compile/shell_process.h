// Runs one command line as a process and waits for its end through the
// event pump, so that the windows repaint and take commands meanwhile, the
// output is read as it comes, and the wait ends when the program closes.
#pragma once

#include "compile/build_names.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace quv {

class EventPump;

// How one compiler program ended.
struct ShellResult {
    enum class Outcome {
        Exited,      // the process ended by itself; exitCode is its code
        Crashed,     // the process was killed by a signal or crashed
        NotStarted,  // the program could not be started; error says why
        Abandoned,   // the program is closing: the process was stopped
    };
    Outcome outcome = Outcome::NotStarted;
    qint32 exitCode = 0;
    QString error;

    // Only a process that ended by itself with code 0 has succeeded.
    bool succeeded() const { return outcome == Outcome::Exited && exitCode == 0; }
};

// Takes the output of a process (standard output and error, in order).
using OutputSink = std::function<void(const QByteArray& bytes)>;

// Runs one compiler program and returns how it ended.
class ProcessRunner {
  public:
    virtual ~ProcessRunner() = default;
    virtual ShellResult run(const CommandLine& command, const OutputSink& output) = 0;
};

// The real processes. Each starts without a shell in a process group of its
// own; when the program closes during the wait, the whole group is stopped,
// so that nothing a compiler started outlives it.
class ShellRunner : public ProcessRunner {
  public:
    explicit ShellRunner(EventPump& pump) : pump_(pump) {}
    ShellResult run(const CommandLine& command, const OutputSink& output) override;

  private:
    EventPump& pump_;
};

}  // namespace quv
