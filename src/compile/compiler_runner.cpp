#include "compile/compiler_runner.h"

#include "compile/build_output.h"
#include "compile/error_marks.h"
#include "compile/errors_window.h"
#include "core/current_document.h"
#include "core/options.h"

namespace quv {

CompilerRunner::CompilerRunner(CompileServices services, QWidget* parent, Hooks hooks)
    : QObject(parent),
      options_(services.options),
      document_(services.document),
      parent_(parent),
      runner_(services.pump),
      gotoLine_(hooks.gotoLine),
      showMainWindow_(hooks.showMainWindow),
      registerWindow_(hooks.registerWindow),
      showErrorMarks_(hooks.showErrorMarks) {
    CompileHooks bound;
    bound.buildFolder = hooks.buildFolder;
    bound.reloadHelpLists = hooks.reloadHelpLists;
    bound.setBusy = hooks.setBusy;
    bound.closeErrors = [this] {
        if (errors_) errors_->unload();
        if (showErrorMarks_) showErrorMarks_({});
    };
    bound.showErrors = [this](const QString& builtFile) {
        errorList()->Form_Load(builtFile);
        markDocument();
    };
    bound.processStarting = [this] {
        if (options_.compiler_window) buildOutput()->showBeside();
    };
    bound.logChanged = [this] {
        if (output_) output_->logChanged();
    };
    command_ =
        std::make_unique<CompileCommand>(services.dialogs, services.document, services.options,
                                         services.folder, services.pump, runner_, std::move(bound));
}

Errors* CompilerRunner::errorList() {
    if (!errors_) {
        // A jump may have opened another file: its errors are marked.
        const auto jumped = [this] {
            if (document_.fileName() != markedFor_) markDocument();
            if (showMainWindow_) showMainWindow_();
        };
        errors_ = new Errors(document_, {gotoLine_, jumped}, parent_);
        if (registerWindow_) registerWindow_(errors_);
    }
    return errors_;
}

BuildOutput* CompilerRunner::buildOutput() {
    if (!output_) {
        output_ = new BuildOutput(command_->log(), parent_);
        if (registerWindow_) registerWindow_(output_);
    }
    return output_;
}

CompilerRunner::~CompilerRunner() = default;

void CompilerRunner::markDocument() {
    markedFor_ = document_.fileName();
    if (errors_ && showErrorMarks_) showErrorMarks_(errorMarks(errors_->records(), markedFor_));
}

void CompilerRunner::nextError(bool forward) {
    if (!errors_) return;
    const int row =
        nextErrorRow(static_cast<int>(errors_->records().size()), errors_->currentRow(), forward);
    if (row >= 0) errors_->selectRow(row);
}

void CompilerRunner::compilerWindowOptionChanged() {
    if (options_.compiler_window)
        buildOutput()->showBeside();
    else if (output_)
        output_->hide();
}

}  // namespace quv
