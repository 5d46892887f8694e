#include "compile/compiler_runner.h"

#include "compile/build_output.h"
#include "compile/errors_window.h"
#include "core/options.h"

namespace quv {

CompilerRunner::CompilerRunner(CompileServices services, QWidget* parent, Hooks hooks)
    : QObject(parent),
      options_(services.options),
      runner_(services.pump),
      errors_(new Errors(services.document, {hooks.gotoLine, hooks.showMainWindow}, parent)) {
    CompileHooks bound;
    bound.buildFolder = hooks.buildFolder;
    bound.reloadHelpLists = hooks.reloadHelpLists;
    bound.setBusy = hooks.setBusy;
    bound.closeErrors = [this] { errors_->unload(); };
    bound.showErrors = [this](const QString& builtFile) { errors_->Form_Load(builtFile); };
    bound.processStarting = [this] {
        if (options_.compiler_window) output_->showBeside();
    };
    bound.logChanged = [this] { output_->logChanged(); };
    command_ =
        std::make_unique<CompileCommand>(services.dialogs, services.document, services.options,
                                         services.folder, services.pump, runner_, std::move(bound));
    output_ = new BuildOutput(command_->log(), parent);
    if (hooks.registerWindow) {
        hooks.registerWindow(errors_);
        hooks.registerWindow(output_);
    }
}

CompilerRunner::~CompilerRunner() = default;

void CompilerRunner::compilerWindowOptionChanged() {
    if (options_.compiler_window)
        output_->showBeside();
    else
        output_->hide();
}

}  // namespace quv
