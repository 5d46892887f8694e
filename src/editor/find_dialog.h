// The find and replace dialog Findtext: a modeless window over the main
// window that finds a word in the editor, optionally as a whole word, and
// replaces occurrences one by one or all from the caret on.
#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quv {

class Dialogs;
class SourceEditor;

class FindDialog : public QWidget {
    Q_OBJECT
  public:
    FindDialog(SourceEditor& editor, Dialogs& dialogs, QWidget* parent = nullptr);

    // The menu item find: the search text selected, the replacement
    // cleared, the dialog shown with the focus in the search text.
    void showForFind();
    // The menu item find_next: the next occurrence, or the dialog when there
    // is no search text yet. True when it searched (the caller then gives
    // the focus back to the main window).
    bool findNextFromMenu();

    void Command1_Click();  // Find: from the start of the text
    void Command2_Click();  // Find Next: one position after the selection's start
    void Command3_Click();  // Replace the selected occurrence, then find the next
    void Command4_Click();  // Cancel
    void Command5_Click();  // Replace All from the selection on

    QLineEdit* Text1() const { return text1_; }
    QLineEdit* Text2() const { return text2_; }
    QCheckBox* Check1() const { return check1_; }
    QPushButton* button(int index) const;

    // Where the last search found the text; -1 when it found nothing.
    qint32 foundpos = -1;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int options() const;
    QByteArray searchText() const;
    // The text equals the search text, letter case aside.
    bool isSearchText(const QByteArray& text) const;
    // Searches from the position on, selects what it finds and says so when
    // it finds nothing.
    void findFrom(int position);
    void notFound();

    SourceEditor& editor_;
    Dialogs& dialogs_;
    QLineEdit* text1_;
    QLineEdit* text2_;
    QCheckBox* check1_;
    QPushButton* buttons_[6] = {};
};

}  // namespace quv
