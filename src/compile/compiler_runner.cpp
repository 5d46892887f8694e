#include "compile/compiler_runner.h"

#include "compile/build_output.h"
#include "compile/errors_window.h"
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
      registerWindow_(hooks.registerWindow) {
    CompileHooks bound;
    bound.buildFolder = hooks.buildFolder;
    bound.reloadHelpLists = hooks.reloadHelpLists;
    bound.setBusy = hooks.setBusy;
    bound.closeErrors = [this] {
        if (errors_) errors_->unload();
    };
    bound.showErrors = [this](const QString& builtFile) { errorList()->Form_Load(builtFile); };
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
        errors_ = new Errors(document_, {gotoLine_, showMainWindow_}, parent_);
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

void CompilerRunner::compilerWindowOptionChanged() {
    if (options_.compiler_window)
        buildOutput()->showBeside();
    else if (output_)
        output_->hide();
}

}  // namespace quv
