// Moving the caret to the start of a line given by its 0-based index, and
// the small dialog Gotoline that asks for the line number.
#pragma once

#include "editor/text_rules.h"

#include <QWidget>
#include <QtGlobal>

class QLineEdit;

namespace quv {

class SourceEditor;

// The editor's own line numbering, for the goto scan.
class EditorLines : public LineModel {
  public:
    explicit EditorLines(const SourceEditor& editor) : editor_(editor) {}
    qint64 length() const override;
    qint32 lineCount() const override;
    qint64 lineStart(qint32 line) const override;
    qint32 lineOf(qint64 position) const override;

  private:
    const SourceEditor& editor_;
};

// Puts the caret at the start of the line (a negative index is set to 0) and
// keeps it in view. Like a walk through the text position by position that
// gives up after 1000 positions on one line, it stops 1000 positions into a
// line that long, and 1000 positions after the start of the last line for a
// line past the end (or at the end of the text, whichever comes first).
void Goto_line(SourceEditor& editor, qint32& line_number);

class GotoDialog : public QWidget {
    Q_OBJECT
  public:
    explicit GotoDialog(SourceEditor& editor, QWidget* parent = nullptr);

    // The menu item goto: shows the dialog with the focus in its text box.
    void showForGoto();
    // Enter in the text box: goes to the typed line, clears the text box
    // and closes the dialog.
    void Text1_Enter();
    QLineEdit* Text1() const { return text1_; }

  signals:
    // The dialog has moved the caret and closed.
    void done();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    SourceEditor& editor_;
    QLineEdit* text1_;
};

}  // namespace quv
