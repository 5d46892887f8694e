// The source editor on the program text: the editing rules, the help list,
// the find and goto dialogs and the clipboard commands of the Edit menu.
#pragma once

#include <QObject>

#include <functional>

class QListWidget;
class QWidget;

namespace quv {

class Dialogs;
class EditingRules;
class FindDialog;
class GotoDialog;
class InstructionHelp;
class SourceEditor;
class ErrorMarksView;
class WorkingFolder;
struct Options;

class EditorSubsystem : public QObject {
    Q_OBJECT
  public:
    // What the editor shows or tells outside itself.
    struct Hooks {
        // The 1-based line of the caret, for the status bar.
        std::function<void(int line)> showLine;
        // Esc in the editor: an upload that waits for a terminal gives up.
        std::function<void()> escape;
        // After a goto and after Find Next from the menu: the main window is
        // activated again (the editor then takes the focus).
        std::function<void()> backToMain;
        // A dialog of the program's own, loaded on first use.
        std::function<void(QWidget* dialog)> ownWindow;
        // The compiler's message for the caret's line, for the status bar;
        // empty when the line has no error.
        std::function<void(const QString& message)> caretError;
    };

    // The words are read from the working folder; the dialogs belong to
    // dialogParent. options is read as it changes (Auto Indent).
    EditorSubsystem(SourceEditor& editor, QListWidget& list, Dialogs& dialogs,
                    const Options& options, const WorkingFolder& folder, QWidget* dialogParent,
                    Hooks hooks, QObject* parent = nullptr);

    // Start-up and every good compiler pass.
    void loadHelpLists();

    void Cut_Click();
    void Copy_Click();
    void Paste_Click();
    void find_Click();
    void find_next_Click();
    void goto_Click();

    EditingRules& rules() const { return *rules_; }
    InstructionHelp& help() const { return *help_; }
    // The compiler's errors marked in the text; cleared when the whole text
    // is replaced (another document, a reload).
    ErrorMarksView& errorMarks() const { return *marks_; }
    // Loaded on first use, then only hidden and shown again.
    FindDialog& Findtext();
    GotoDialog& Gotoline();

  private:
    void backToEditor();
    SourceEditor& editor_;
    Dialogs& dialogs_;
    QWidget* dialogParent_;
    Hooks hooks_;
    InstructionHelp* help_;
    EditingRules* rules_;
    FindDialog* find_ = nullptr;
    GotoDialog* goto_ = nullptr;
    ErrorMarksView* marks_;
};

}  // namespace quv
