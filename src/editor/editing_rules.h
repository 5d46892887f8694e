// The editor's own reactions to keys: the indentation copied by Enter, the
// braces, block indent and unindent with Tab and Shift+Tab, Esc, the word
// tracking of the help list, and the caret's line in the status bar.
#pragma once

#include "editor/source_editor.h"

#include <QByteArray>
#include <QObject>

#include <functional>

namespace quv {

class InstructionHelp;
class SourceEditor;
struct Options;

class EditingRules : public QObject, public EditorKeyRules {
    Q_OBJECT
  public:
    // What the rules tell outside the editor.
    struct Hooks {
        std::function<void()> escape;            // Esc: hide the find dialog, tell the upload
        std::function<void(int line)> showLine;  // the 1-based caret line for the status bar
    };

    // The Auto Indent rules follow options.AutoIndent as it changes.
    EditingRules(SourceEditor& editor, InstructionHelp& help, const Options& options, Hooks hooks,
                 QObject* parent = nullptr);

    bool keyDown(int key, Qt::KeyboardModifiers modifiers) override;
    int characterTyped(int code) override;
    void keyUp(int key, Qt::KeyboardModifiers modifiers) override;
    void mouseDown() override;
    void afterInput() override { selectionChanged(); }

    // Shows the caret's line; runs on every change of the selection.
    void selectionChanged();

    // The last key-down carried Shift alone.
    bool ShiftKey = false;
    // The blanks the last indenting Enter copied.
    QByteArray Indent_String;
    // The last character code the Auto Indent rules saw.
    int Last_Key = 0;

  private:
    // Each rule may consume the character (c becomes 0); the Enter rule can
    // also end the handler, leaving Last_Key as it is.
    enum class Outcome { Continue, EndHandler };
    Outcome enterRule(int& c);
    void openingBraceRule(int& c);
    void closingBraceRule(int& c);
    void blockRule(int& c);

    SourceEditor& editor_;
    InstructionHelp& help_;
    const Options& options_;
    Hooks hooks_;
    int shownLine_ = -1;
};

}  // namespace quv
