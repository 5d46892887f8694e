// The whole build of the current document: the save before it, the names
// and command lines, the two passes with their repeat for line numbers, and
// what the user is told. It shows nothing itself; the hooks show it.
#pragma once

#include "compile/build_log.h"
#include "compile/shell_process.h"
#include "core/one_at_a_time.h"

#include <QString>

#include <functional>
#include <optional>

namespace quv {

class CurrentDocument;
class Dialogs;
class EventPump;
class WorkingFolder;
struct Options;

// What a build shows or asks outside itself; an empty hook does nothing.
struct CompileHooks {
    // The folder of the file being built, with its trailing separator
    // (empty when the name has none): InitialDirectory and the caption.
    std::function<void(const QString& folder)> buildFolder;
    // After a good compiler pass: the instruction help lists are read again.
    std::function<void()> reloadHelpLists;
    // The busy pointer on (true) and off again; every build that turns it on
    // turns it off before it ends, and before each message it shows.
    std::function<void(bool busy)> setBusy;
    // The error list closes, and shows the errors of the file built.
    std::function<void()> closeErrors;
    std::function<void(const QString& builtFile)> showErrors;
    // A compiler program is about to start; the log has changed.
    std::function<void()> processStarting;
    std::function<void()> logChanged;
};

// compile: the build of the current document, one at a time.
class CompileCommand {
  public:
    CompileCommand(Dialogs& dialogs, CurrentDocument& document, const Options& options,
                   WorkingFolder& folder, EventPump& pump, ProcessRunner& runner,
                   CompileHooks hooks);

    // The whole build: 1 when both passes succeeded, 0 when a pass failed, a
    // compiler program could not be started or the program closed meanwhile,
    // nothing when the build did not start (no document, no dot in its name,
    // a save that failed, or a build already running).
    std::optional<int> compile();
    // Starts one compiler program and waits for its end; its output goes to
    // the log.
    ShellResult RunShell(const CommandLine& command);

    const BuildLog& log() const { return log_; }

  private:
    int notStarted(const CommandLine& command, const ShellResult& result);
    void changed() const;

    Dialogs& dialogs_;
    CurrentDocument& document_;
    const Options& options_;
    WorkingFolder& folder_;
    EventPump& pump_;
    ProcessRunner& runner_;
    CompileHooks hooks_;
    BuildLog log_;
    OneAtATime once_;
};

}  // namespace quv
