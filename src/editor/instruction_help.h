// The instruction help list List1: follows the word being typed in the
// editor, shows the known words that begin with it, and completes it.
#pragma once

#include "editor/help_words.h"

#include <QObject>
#include <QString>

class QListWidget;
class QListWidgetItem;

namespace quv {

class SourceEditor;
class WorkingFolder;

class InstructionHelp : public QObject {
    Q_OBJECT
  public:
    // The list's own tooltip, shown until an entry's help text replaces it.
    static const QString kToolTip;

    InstructionHelp(SourceEditor& editor, QListWidget& list, const WorkingFolder& folder,
                    QObject* parent = nullptr);

    // Empties the list and reads the word files of the working folder.
    void loadHelpLists();
    // Follows the typed character code c (0 for a character the editing
    // rules consumed): codes above 48 and Backspace grow or shorten the
    // word and filter the list; any other code ends the word.
    void trackCharacter(int c);
    // Replaces the typed letters by the list's selected entry.
    void complete();
    // Ends the current word and hides the list (caret moved, mouse click).
    void reset();

    bool listShown() const;
    const HelpWords& words() const { return words_; }

    // The letters typed since the current word began.
    QString Current_Word;
    // Where the current word began; -1 until its first letter is typed.
    qint32 Current_Word_pos = -1;
    // The typed letters match two or more words: Tab keeps its meaning.
    bool allow_tab = false;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void fillList();
    void showHelpOfSelection();
    SourceEditor& editor_;
    QListWidget& list_;
    const WorkingFolder& folder_;
    HelpWords words_;
};

}  // namespace quv
