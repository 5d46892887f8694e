// Draws the compiler's errors in the editor: a marker in the margin and a
// wavy underline on each marked line (underlined as it comes into view). They move with the lines
// as the text is edited; the message shows when the mouse rests on either, and the message of the
// caret's line goes to a hook.
#pragma once

#include "core/line_marks.h"

#include <QList>
#include <QObject>

#include <functional>
#include <vector>

class QsciScintilla;

namespace quv {

class ErrorMarksView : public QObject {
  public:
    static constexpr int kMargin = 1;
    static constexpr int kMarker = 1;
    static constexpr int kIndicator = 8;
    static constexpr int kDwellMs = 400;

    ErrorMarksView(QsciScintilla& editor, std::function<void(const QString&)> caretMessage,
                   QObject* parent = nullptr);

    // Marks these lines instead of those marked before; lines past the end
    // of the text are left out. An empty list clears the marks.
    void show(const QList<LineMark>& marks);
    void clear() { show({}); }
    // How many lines are marked.
    int count() const { return static_cast<int>(placed_.size()); }
    // The text of the marks on the line as it is now; empty when none.
    QString textAt(int line) const;

  private:
    void caretMoved(int line);
    void underlineShownLines();
    void dwell(int x, int y);

    struct Placed {
        int handle;
        QString text;
    };
    QsciScintilla& editor_;
    std::function<void(const QString&)> caretMessage_;
    std::vector<Placed> placed_;
    QString atCaret_;
};

}  // namespace quv
