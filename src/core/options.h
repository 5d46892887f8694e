// The options of Edit > Configurations and the editor font, held in one
// value: loaded from the settings store at start-up, stored the moment a
// stored option is toggled. The menu's check marks only show them.
#pragma once

#include <QString>

namespace quv {

class SettingsStore;

struct Options {
    enum class Toggle {
        EditorEnabled,
        compiler_window,
        SaveConfirmation,
        AutoIndent,
        Gencodewithlines
    };

    // Full mode: the editor is shown.
    bool EditorEnabled = false;
    // The compilers run in a visible window.
    bool compiler_window = false;
    // Ask before saving a changed document.
    bool Save_Confirmation = true;
    // The editor's automatic indentation and braces.
    bool AutoIndent = true;
    // The compiler is asked for line numbers; never stored, off at every start.
    bool GencodeLines = false;
    // The font of the editor and the help list; an empty name keeps the
    // editor's own font.
    QString FontName;
    double FontSize = 12;
    // The program a Windows compiler program runs through on other systems:
    // a name looked for on the PATH, or a path.
    QString CompilerLauncher = QStringLiteral("wine");

    static Options load(const SettingsStore& settings);

    bool value(Toggle option) const;
    // Inverts the option; a stored one is saved at once as Boolean text.
    void toggle(Toggle option, SettingsStore& settings);
    // Edit > Configurations > Font type: the font is kept for later runs.
    void saveFont(SettingsStore& settings) const;

  private:
    template <typename Self>
    static auto& field(Self& self, Toggle option);
};

}  // namespace quv
