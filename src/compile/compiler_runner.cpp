#include "compile/compiler_runner.h"

#include "app/documents.h"
#include "app/main_window.h"
#include "compile/build_output.h"
#include "compile/busy_pointer.h"
#include "compile/errors_window.h"
#include "core/app_paths.h"
#include "core/dialogs.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>

namespace quv {

namespace {

// Clears a flag when the scope ends, however it ends.
class FlagGuard {
  public:
    explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagGuard() { flag_ = false; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

  private:
    bool& flag_;
};

}  // namespace

CompilerRunner::CompilerRunner(MainWindow& window)
    : QObject(&window),
      window_(window),
      errors_(new Errors(window)),
      output_(new BuildOutput(&window)) {
    window_.registerOwnWindow(errors_, true);
    window_.registerOwnWindow(output_, true);
}

bool CompilerRunner::compilerWindowChecked() const {
    return window_.options().compiler_window;
}

void CompilerRunner::compilerWindowOptionChanged() {
    if (compilerWindowChecked())
        output_->showBeside();
    else
        output_->hide();
}

std::optional<int> CompilerRunner::compile() {
    // A second build while one runs would interleave two sets of passes on
    // the same files: it is refused.
    if (building_) return std::nullopt;
    const FlagGuard running(building_);
    BusyPointer busy;
    Dialogs& dialogs = window_.services().dialogs;
    Documents& documents = window_.documents();

    const QString name = documents.CurrentFileName;
    if (name.isEmpty()) {
        busy.release();
        dialogs.message(QStringLiteral("File Not Open"));
        return std::nullopt;
    }
    // The question, and the report of a save that failed, show with the
    // normal pointer. A failed save ends the build: nothing typed is lost.
    busy.release();
    if (!documents.saveQuestion()) return std::nullopt;
    busy.hold();

    const PathStyle style = nativePathStyle();
    const auto names = buildNames(name, style);
    if (!names) {
        busy.release();
        dialogs.message(QStringLiteral("Not a '*.C' file!"));
        return std::nullopt;
    }
    window_.InitialDirectory = names->folder;
    window_.setWindowTitle(windowCaption(window_.InitialDirectory));
    errors_->unload();
    output_->beginBuild();

    const QString here = QDir::toNativeSeparators(QDir::currentPath());
    const bool lineNumbers = window_.options().GencodeLines;
    const CommandLine plain = compilerPassCommand(*names, false, here, style);
    const CommandLine withLines = compilerPassCommand(*names, true, here, style);
    const CommandLine second = secondPassCommand(*names, here, style);
    using Outcome = ShellResult::Outcome;

    // The errors of the file built, even if another document was opened
    // while the compiler ran.
    const auto failed = [&] {
        busy.release();
        errors_->Form_Load(name);
        return 0;
    };
    const auto notStarted = [&](const CommandLine& command, const ShellResult& result) {
        busy.release();
        const QString text =
            QFileInfo::exists(command.program)
                ? QStringLiteral(
                      "The compiler program %1 in the folder %2 could not be "
                      "started:\n%3")
                      .arg(command.programName, command.folder, result.error)
                : QStringLiteral("The compiler program %1 was not found in the folder %2.")
                      .arg(command.programName, command.folder);
        dialogs.message(text, Buttons::Ok, Icon::Critical);
        return 0;
    };

    // The program is closing: the build ends without a repeat or a list.
    const auto stopped = [&](const ShellResult& result) {
        return result.outcome == Outcome::Abandoned || window_.link().AppClosing;
    };

    // The compiler pass; when it fails without line numbers, it runs again
    // with them so that the error list carries them.
    const CommandLine& first = lineNumbers ? withLines : plain;
    ShellResult r = RunShell(first);
    if (stopped(r)) return 0;
    if (r.outcome == Outcome::NotStarted) return notStarted(first, r);
    if (!r.succeeded()) {
        if (!lineNumbers && stopped(RunShell(withLines))) return 0;
        return failed();
    }
    window_.loadHelpLists();

    // The second pass; when it fails without line numbers, both passes run
    // again with them.
    r = RunShell(second);
    if (stopped(r)) return 0;
    if (r.outcome == Outcome::NotStarted) return notStarted(second, r);
    if (r.succeeded()) {
        errors_->unload();
        return 1;
    }
    if (!lineNumbers && (stopped(RunShell(withLines)) || stopped(RunShell(second)))) return 0;
    return failed();
}

ShellResult CompilerRunner::RunShell(const CommandLine& command) {
    if (compilerWindowChecked()) output_->showBeside();
    output_->beginProcess(command);
    const ShellResult result =
        runAndWait(command, [this](const QByteArray& bytes) { output_->appendOutput(bytes); });
    output_->endProcess(command, result);
    return result;
}

}  // namespace quv
