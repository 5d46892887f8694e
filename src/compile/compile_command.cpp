#include "compile/compile_command.h"

#include "compile/compiler_launch.h"
#include "core/app_paths.h"
#include "core/busy_pointer.h"
#include "core/current_document.h"
#include "core/dialogs.h"
#include "core/event_pump.h"
#include "core/options.h"
#include "core/working_folder.h"

#include <QFileInfo>

namespace quv {

namespace {

void call(const std::function<void()>& hook) {
    if (hook) hook();
}

}  // namespace

CompileCommand::CompileCommand(Dialogs& dialogs, CurrentDocument& document, const Options& options,
                               WorkingFolder& folder, EventPump& pump, ProcessRunner& runner,
                               CompileHooks hooks)
    : dialogs_(dialogs),
      document_(document),
      options_(options),
      folder_(folder),
      pump_(pump),
      runner_(runner),
      hooks_(std::move(hooks)) {}

void CompileCommand::changed() const {
    call(hooks_.logChanged);
}

std::optional<int> CompileCommand::compile() {
    // A second build while one runs would interleave two sets of passes on
    // the same files: it is refused.
    const auto running = once_.tryStart();
    if (!running) return std::nullopt;
    BusyPointer busy(hooks_.setBusy);
    busy.hold();

    const QString name = document_.fileName();
    if (name.isEmpty()) {
        busy.release();
        dialogs_.message(QStringLiteral("File Not Open"));
        return std::nullopt;
    }
    // The question, and the report of a save that failed, show with the
    // normal pointer. A failed save ends the build: nothing typed is lost.
    if (document_.changed()) {
        busy.release();
        if (!document_.askToSave()) return std::nullopt;
        busy.hold();
    }

    const PathStyle style = nativePathStyle();
    const auto names = buildNames(name, style);
    if (!names) {
        busy.release();
        dialogs_.message(QStringLiteral("Not a '*.C' file!"));
        return std::nullopt;
    }
    if (hooks_.buildFolder) hooks_.buildFolder(names->folder);
    call(hooks_.closeErrors);
    log_.clear();
    changed();

    const QString here = folder_.current();
    const bool lineNumbers = options_.GencodeLines;
    CommandLine plain = compilerPassCommand(*names, false, here, style);
    CommandLine withLines = compilerPassCommand(*names, true, here, style);
    CommandLine second = secondPassCommand(*names, here, style);
    // A Windows compiler program runs through the launcher; without the
    // launcher no pass starts.
    for (CommandLine* c : {&plain, &withLines, &second}) {
        const CommandLine run =
            launchedCommand(*c, programHead(c->program), options_.CompilerLauncher);
        if (run.program != c->program && !launcherFound(run.program)) {
            busy.release();
            dialogs_.message(kNoLauncher.arg(c->programName, run.program), Buttons::Ok,
                             Icon::Critical);
            return 0;
        }
        *c = run;
    }
    using Outcome = ShellResult::Outcome;

    // The errors of the file built, even if another document was opened
    // while the compiler ran.
    const auto failed = [&] {
        busy.release();
        if (hooks_.showErrors) hooks_.showErrors(name);
        return 0;
    };
    // The program is closing: the build ends without a repeat or a list.
    const auto stopped = [&](const ShellResult& result) {
        return result.outcome == Outcome::Abandoned || pump_.closing();
    };

    // The compiler pass; when it fails without line numbers, it runs again
    // with them so that the error list carries them.
    const CommandLine& first = lineNumbers ? withLines : plain;
    ShellResult r = RunShell(first);
    if (stopped(r)) return 0;
    if (r.outcome == Outcome::NotStarted) {
        busy.release();
        return notStarted(first, r);
    }
    if (!r.succeeded()) {
        if (!lineNumbers && stopped(RunShell(withLines))) return 0;
        return failed();
    }
    call(hooks_.reloadHelpLists);

    // The second pass; when it fails without line numbers, both passes run
    // again with them.
    r = RunShell(second);
    if (stopped(r)) return 0;
    if (r.outcome == Outcome::NotStarted) {
        busy.release();
        return notStarted(second, r);
    }
    if (r.succeeded()) {
        call(hooks_.closeErrors);
        return 1;
    }
    if (!lineNumbers && (stopped(RunShell(withLines)) || stopped(RunShell(second)))) return 0;
    return failed();
}

int CompileCommand::notStarted(const CommandLine& command, const ShellResult& result) {
    const QString text =
        QFileInfo::exists(command.folder + command.programName)
            ? QStringLiteral("The compiler program %1 in the folder %2 could not be started:\n%3")
                  .arg(command.programName, command.folder, result.error)
            : QStringLiteral("The compiler program %1 was not found in the folder %2.")
                  .arg(command.programName, command.folder);
    dialogs_.message(text, Buttons::Ok, Icon::Critical);
    return 0;
}

ShellResult CompileCommand::RunShell(const CommandLine& command) {
    call(hooks_.processStarting);
    log_.beginProcess(command);
    changed();
    const ShellResult result = runner_.run(command, [this](const QByteArray& bytes) {
        log_.append(bytes);
        changed();
    });
    log_.endProcess(command, result);
    changed();
    return result;
}

}  // namespace quv
