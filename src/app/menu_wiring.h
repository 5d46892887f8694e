// Connects each menu item, by its name, to the command it runs.
#pragma once

#include "core/options.h"

#include <functional>

class QAction;
class QObject;

namespace quv {

class BaseConfig;
class CompilerRunner;
class Dialogs;
class Documents;
class EditorSubsystem;
class HelpRouting;
class MenuBar;
class TransferCommands;

// The window's own commands behind its menu items; they stop with window.
struct WindowCommands {
    QObject* window = nullptr;
    std::function<void()> exit;
    // Inverts an option of Edit > Configurations.
    std::function<void(Options::Toggle)> toggle;
    std::function<void()> compile;
    std::function<void()> font;
    std::function<void()> fontType;
    std::function<void()> print;
};

// The parts of the program whose commands the menus run.
struct MenuTargets {
    Documents& documents;
    EditorSubsystem& editor;
    BaseConfig& baseConfig;
    TransferCommands& transfer;
    HelpRouting& help;
    Dialogs& dialogs;
    CompilerRunner& compiler;
};

void wireMenus(const MenuBar& menus, const MenuTargets& targets, const WindowCommands& window);

// The menu item whose check mark shows the option.
QAction* toggleItem(const MenuBar& menus, Options::Toggle option);
// Sets the check mark of every option toggle from the options.
void showOptions(const MenuBar& menus, const Options& options);

}  // namespace quv
