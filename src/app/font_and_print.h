// Format > Font, Edit > Configurations > Font type and File > Print: the one
// font of the editor and the help list, and printing the program text.
#pragma once

#include "core/dialogs.h"

#include <QString>

#include <optional>

class QListWidget;
class QPrinter;

namespace quv {

class SettingsStore;
class SourceEditor;

// Asks for a font, starting from the stored one (not from the one shown);
// the editor and the help list take the choice, which is returned so that
// the caller keeps it. Cancelling changes nothing and returns nothing.
std::optional<FontChoice> chooseEditorFont(SourceEditor& editor, QListWidget& list,
                                           Dialogs& dialogs, const SettingsStore& settings);

// The selection, or the whole text when nothing is selected, on the default
// printer; a printer that cannot print is reported to the user.
void printProgram(SourceEditor& editor, Dialogs& dialogs);

// Prints the text on the printer as one document: each line break starts a
// new printed line, lines too long for the page go on in the next printed
// line, and the document ends with the last line. Returns the reason when
// the printer cannot print.
std::optional<QString> printPlainText(QPrinter& printer, const QString& text);

}  // namespace quv
