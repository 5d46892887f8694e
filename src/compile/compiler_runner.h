// Builds the current document with the two compiler programs: the save
// before the build, the names and command lines, the passes with their
// repeat for line numbers, the busy pointer, the compiler window and the
// error list.
#pragma once

#include "compile/shell_process.h"

#include <QObject>

#include <optional>

namespace quv {

class BuildOutput;
class Errors;
class MainWindow;

class CompilerRunner : public QObject {
    Q_OBJECT
  public:
    explicit CompilerRunner(MainWindow& window);

    // The whole build: 1 when both passes succeeded, 0 when a pass failed or
    // a compiler program could not be started, nothing when the build did
    // not start (no document, no dot in its name, a save that failed, or a
    // build already running).
    std::optional<int> compile();
    // Starts one compiler program and waits for its end; its output goes to
    // the compiler window, which shows when the option asks for it.
    ShellResult RunShell(const CommandLine& command);

    // The option "Show Compiler window" was toggled: the window with the
    // output of the last build shows or hides with it.
    void compilerWindowOptionChanged();

    bool building() const { return building_; }
    Errors* errorList() const { return errors_; }
    BuildOutput* buildOutput() const { return output_; }

  private:
    bool compilerWindowChecked() const;
    MainWindow& window_;
    Errors* errors_;
    BuildOutput* output_;
    bool building_ = false;
};

}  // namespace quv
