// The source editor's part of the main window: the editing rules, the help
// list, the find and goto dialogs, and the Edit, Format and Print commands.
#pragma once

#include <QObject>

namespace quv {

class EditingRules;
class FindDialog;
class GotoDialog;
class InstructionHelp;
class MainWindow;

class EditorSubsystem : public QObject {
    Q_OBJECT
  public:
    explicit EditorSubsystem(MainWindow& window);

    // Start-up and every good compiler pass.
    void loadHelpLists();

    void Cut_Click();
    void Copy_Click();
    void Paste_Click();
    void find_Click();
    void find_next_Click();
    void goto_Click();
    void Font_Click();
    void Font_type_Click();
    void Print_Click();

    EditingRules& rules() const { return *rules_; }
    InstructionHelp& help() const { return *help_; }
    // Loaded on first use, then only hidden and shown again.
    FindDialog& Findtext();
    GotoDialog& Gotoline();

  private:
    void backToEditor();
    MainWindow& window_;
    InstructionHelp* help_;
    EditingRules* rules_;
    FindDialog* find_ = nullptr;
    GotoDialog* goto_ = nullptr;
};

}  // namespace quv
