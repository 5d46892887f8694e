#include "app/menu_wiring.h"

#include "app/documents.h"
#include "app/help_routing.h"
#include "app/menu_bar.h"
#include "baseconfig/base_config.h"
#include "compile/compiler_runner.h"
#include "editor/editor_subsystem.h"
#include "transfer/monitor_window.h"
#include "transfer/transfer_commands.h"

#include <QWidget>

#include <utility>

namespace quv {

namespace {

const std::pair<Options::Toggle, const char*> kToggleItems[] = {
    {Options::Toggle::EditorEnabled, "EditorEnabled"},
    {Options::Toggle::compiler_window, "compiler_window"},
    {Options::Toggle::SaveConfirmation, "SaveConfirmation"},
    {Options::Toggle::AutoIndent, "AutoIndent"},
    {Options::Toggle::Gencodewithlines, "Gencodewithlines"},
};

}  // namespace

void wireMenus(const MenuBar& menus, const MenuTargets& targets, const WindowCommands& window) {
    menus.on("new", &targets.documents, &Documents::new_Click);
    menus.on("Open", &targets.documents, &Documents::Open_Click);
    menus.on("save", &targets.documents, &Documents::save_Click);
    menus.on("save_as", &targets.documents, &Documents::save_as_Click);
    menus.on("Close", &targets.documents, &Documents::Close_Click);
    const std::pair<const char*, void (EditorSubsystem::*)()> editItems[] = {
        {"Cut", &EditorSubsystem::Cut_Click},
        {"Copy", &EditorSubsystem::Copy_Click},
        {"Paste", &EditorSubsystem::Paste_Click},
        {"find", &EditorSubsystem::find_Click},
        {"find_next", &EditorSubsystem::find_next_Click},
        {"goto", &EditorSubsystem::goto_Click},
    };
    for (const auto& [name, handler] : editItems) menus.on(name, &targets.editor, handler);
    menus.on("Serial", &targets.baseConfig, &BaseConfig::Serial_Click);
    menus.on("base", &targets.baseConfig, &BaseConfig::base_Click);
    TransferCommands& transfer = targets.transfer;
    menus.on("Send_program", window.window, [&transfer] { transfer.Send_program_Click(); });
    menus.on("Transmit_By_Radio_Without_Confirmation", window.window,
             [&transfer] { transfer.Transmit_By_Radio_Without_Confirmation_Click(); });
    menus.on("TerminalMonitor", window.window, [targets, parent = window.window] {
        showTerminalMonitor(qobject_cast<QWidget*>(parent), targets.transfer.monitorSession(),
                            targets.dialogs,
                            [&help = targets.help](int topic) { help.showHelpTopic(topic); });
    });
    CompilerRunner& compiler = targets.compiler;
    menus.on("next_error", window.window, [&compiler] { compiler.nextError(true); });
    menus.on("previous_error", window.window, [&compiler] { compiler.nextError(false); });
    menus.on("Help", &targets.help, &HelpRouting::Help_Click);
    // The menu has already inverted a check mark; each toggle sets it from
    // the option it toggles.
    for (const auto& [option, item] : kToggleItems)
        menus.on(item, window.window,
                 [toggle = window.toggle, option = option] { toggle(option); });
    const std::pair<const char*, const std::function<void()>*> windowItems[] = {
        {"Exit", &window.exit},          {"Compiler", &window.compile}, {"Font", &window.font},
        {"Font_type", &window.fontType}, {"Print", &window.print},
    };
    for (const auto& [name, command] : windowItems) menus.on(name, window.window, *command);
}

QAction* toggleItem(const MenuBar& menus, Options::Toggle option) {
    for (const auto& [toggle, item] : kToggleItems)
        if (toggle == option) return menus.action(QString::fromLatin1(item));
    return nullptr;
}

void showOptions(const MenuBar& menus, const Options& options) {
    for (const auto& [option, item] : kToggleItems)
        menus.action(QString::fromLatin1(item))->setChecked(options.value(option));
}

}  // namespace quv
