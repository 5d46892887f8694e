#include "core/options.h"

#include "core/settings_keys.h"
#include "core/settings_store.h"

namespace quv {

namespace {

// The key a toggle is stored under; empty for the one that is not stored.
QString keyOf(Options::Toggle option) {
    switch (option) {
        case Options::Toggle::EditorEnabled:
            return keys::kEditorEnabled;
        case Options::Toggle::compiler_window:
            return keys::kCompilerWindows;
        case Options::Toggle::SaveConfirmation:
            return keys::kSaveConfirmation;
        case Options::Toggle::AutoIndent:
            return keys::kAutoIndent;
        case Options::Toggle::Gencodewithlines:
            break;
    }
    return QString();
}

}  // namespace

Options Options::load(const SettingsStore& s) {
    Options o;
    o.FontSize = s.getNumber(keys::kFontSize, keys::kDefaultFontSize);
    o.FontName = s.get(keys::kFontName, QString());
    o.Save_Confirmation = s.getBool(keys::kSaveConfirmation, keys::kDefaultSaveConfirmation);
    o.AutoIndent = s.getBool(keys::kAutoIndent, keys::kDefaultAutoIndent);
    o.EditorEnabled = s.getBool(keys::kEditorEnabled, keys::kDefaultEditorEnabled);
    o.compiler_window = s.getBool(keys::kCompilerWindows, keys::kDefaultCompilerWindows);
    // An empty setting is the default.
    o.CompilerLauncher = s.get(keys::kCompilerLauncher);
    if (o.CompilerLauncher.isEmpty()) o.CompilerLauncher = keys::kDefaultCompilerLauncher;
    return o;
}

template <typename Self>
auto& Options::field(Self& self, Toggle option) {
    switch (option) {
        case Toggle::EditorEnabled:
            return self.EditorEnabled;
        case Toggle::compiler_window:
            return self.compiler_window;
        case Toggle::SaveConfirmation:
            return self.Save_Confirmation;
        case Toggle::AutoIndent:
            return self.AutoIndent;
        case Toggle::Gencodewithlines:
            break;
    }
    return self.GencodeLines;
}

bool Options::value(Toggle option) const {
    return field(*this, option);
}

void Options::toggle(Toggle option, SettingsStore& settings) {
    bool& f = field(*this, option);
    f = !f;
    if (const QString key = keyOf(option); !key.isEmpty()) settings.saveBool(key, f);
}

void Options::saveFont(SettingsStore& settings) const {
    settings.save(keys::kFontSize, SettingsStore::numberText(FontSize));
    settings.save(keys::kFontName, FontName);
}

}  // namespace quv
