// The build subsystem as the main window holds it: the build command bound
// to the real compiler processes, the compiler window that shows its log and
// the error list that shows its errors.
#pragma once

#include "compile/compile_command.h"
#include "core/line_marks.h"

#include <QObject>

#include <memory>
#include <optional>

class QWidget;

namespace quv {

class BuildOutput;
class Errors;

// The services the build works through.
struct CompileServices {
    Dialogs& dialogs;
    CurrentDocument& document;
    const Options& options;
    EventPump& pump;
    WorkingFolder& folder;
};

// The build subsystem: the build command and its two windows.
class CompilerRunner : public QObject {
    Q_OBJECT
  public:
    // What the build shows or asks outside itself.
    struct Hooks {
        // InitialDirectory and the caption, with the folder of the file built.
        std::function<void(const QString& folder)> buildFolder;
        std::function<void()> reloadHelpLists;
        // The caret to the start of a 0-based line; the main window to the
        // front after a jump to an error.
        std::function<void(qint32 line)> gotoLine;
        std::function<void()> showMainWindow;
        std::function<void(bool busy)> setBusy;
        // A window of the build's own, which closes with the main window.
        std::function<void(QWidget* window)> registerWindow;
        // Marks the document's errors in the editor (none: clears them).
        std::function<void(const QList<LineMark>& marks)> showErrorMarks;
    };
    // The two windows are made children of parent.
    CompilerRunner(CompileServices services, QWidget* parent, Hooks hooks);
    ~CompilerRunner() override;

    // The whole build: 1, 0 or nothing (see CompileCommand::compile).
    std::optional<int> compile() { return command_->compile(); }

    // The option "Show Compiler window" was toggled: the window with the
    // output of the last build shows or hides with it.
    void compilerWindowOptionChanged();

    // F4 (forward) and Shift+F4: the next or previous row of the error
    // list, wrapping at the ends, jumped to as when it is chosen in the list.
    void nextError(bool forward);

    // The two windows, built the first time they are needed.
    Errors* errorList();
    BuildOutput* buildOutput();

  private:
    // Marks the errors of the document now open, from the error list's rows.
    void markDocument();

    const Options& options_;
    CurrentDocument& document_;
    QWidget* parent_;
    ShellRunner runner_;
    std::function<void(qint32)> gotoLine_;
    std::function<void()> showMainWindow_;
    std::function<void(QWidget*)> registerWindow_;
    std::function<void(const QList<LineMark>&)> showErrorMarks_;
    // The document whose errors were marked last.
    QString markedFor_;
    Errors* errors_ = nullptr;
    BuildOutput* output_ = nullptr;
    std::unique_ptr<CompileCommand> command_;
};

}  // namespace quv
