// The main window's menu tree: names, captions, keys and help topics.
#pragma once

#include <array>

namespace quv {

struct MenuItemDef {
    enum Kind {
        Submenu,   // holds the items whose parent names it
        Command,   // runs the main window's handler of the same name
        Toggle,    // a checkable option
        Disabled,  // shown greyed, no action
        Inert,     // enabled, does nothing
        DisabledSubmenu,
    };
    const char* name;
    const char* parent;  // nullptr: on the menu bar
    const char* caption;
    const char* key;  // a key sequence in portable text, or ""
    int topic;        // help topic, 0 for none
    Kind kind;
};

inline constexpr std::array<MenuItemDef, 41> kMenuTree{{
    {"File", nullptr, "&File", "", 0, MenuItemDef::Submenu},
    {"new", "File", "&New", "", 1, MenuItemDef::Command},
    {"Open", "File", "&Open", "F6", 2, MenuItemDef::Command},
    {"save", "File", "&Save", "", 3, MenuItemDef::Command},
    {"save_as", "File", "Save &as", "", 4, MenuItemDef::Command},
    {"Close", "File", "&Close", "", 5, MenuItemDef::Command},
    {"Print", "File", "&Print", "", 6, MenuItemDef::Command},
    {"newproject", "File", "Ne&w Project", "", 7, MenuItemDef::Disabled},
    {"openproject", "File", "Ope&n Project", "", 8, MenuItemDef::Disabled},
    {"Exit", "File", "E&xit", "", 9, MenuItemDef::Command},
    {"Edit", nullptr, "&Edit", "", 0, MenuItemDef::Submenu},
    {"Cut", "Edit", "Cu&t", "", 10, MenuItemDef::Command},
    {"Copy", "Edit", "&Copy", "", 11, MenuItemDef::Command},
    {"Paste", "Edit", "&Paste", "", 12, MenuItemDef::Command},
    {"find", "Edit", "&Find/Replace", "Ctrl+F", 13, MenuItemDef::Command},
    {"find_next", "Edit", "Find &Next", "F3", 14, MenuItemDef::Command},
    {"goto", "Edit", "&Goto", "Ctrl+G", 15, MenuItemDef::Command},
    {"config", "Edit", "Co&nfigurations", "", 0, MenuItemDef::Submenu},
    {"EditorEnabled", "config", "Editor &Enabled", "Ctrl+E", 16, MenuItemDef::Toggle},
    {"compiler_window", "config", "&Show Compiler window", "", 17, MenuItemDef::Toggle},
    {"Serial", "config", "Serial Configurations", "", 0, MenuItemDef::Command},
    {"base", "config", "Base", "", 0, MenuItemDef::Command},
    {"Font_type", "config", "&Font type", "", 22, MenuItemDef::Command},
    {"SaveConfirmation", "config", "Save Confirmatio&n", "", 24, MenuItemDef::Toggle},
    {"AutoIndent", "config", "Auto &Indent", "Ctrl+I", 25, MenuItemDef::Toggle},
    {"Gencodewithlines", "config", "Generate line numbers", "", 261, MenuItemDef::Toggle},
    {"Format", nullptr, "F&ormat", "", 0, MenuItemDef::Submenu},
    {"Font", "Format", "&Font", "", 27, MenuItemDef::Command},
    {"Project", nullptr, "&Project", "", 0, MenuItemDef::DisabledSubmenu},
    {"dosbatch", "Project", "&DOS batch make", "", 0, MenuItemDef::Disabled},
    {"setup", "Project", "&Setup", "", 28, MenuItemDef::Inert},
    {"comp", nullptr, "&Compile", "", 0, MenuItemDef::Submenu},
    {"Compiler", "comp", "Compile pro&gram", "F7", 29, MenuItemDef::Command},
    {"compile_project", "comp", "Compile pro&ject", "", 30, MenuItemDef::Disabled},
    {"next_error", "comp", "&Next Error", "F4", 73, MenuItemDef::Command},
    {"previous_error", "comp", "&Previous Error", "Shift+F4", 73, MenuItemDef::Command},
    {"Transmit", nullptr, "&Transmit", "", 0, MenuItemDef::Submenu},
    {"Send_program", "Transmit", "Rs232 Transmit Pro&gram", "F8", 31, MenuItemDef::Command},
    {"Transmit_By_Radio_Without_Confirmation", "Transmit", "Wireless Transmit Program", "F9", 32,
     MenuItemDef::Command},
    {"TerminalMonitor", "Transmit", "Terminal &Monitor", "Ctrl+Shift+M", 72, MenuItemDef::Command},
    {"Help", nullptr, "&Help", "", 0, MenuItemDef::Command},
}};

}  // namespace quv
