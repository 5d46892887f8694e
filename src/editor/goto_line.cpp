#include "editor/goto_line.h"

#include "editor/source_editor.h"

namespace quv {

namespace {
constexpr qint64 kScanLimit = 1000;
}

void Goto_line(SourceEditor& editor, qint32& line_number) {
    if (line_number < 0) line_number = 0;
    if (line_number == 0) {
        editor.setCaretPosition(0);
        editor.ensureCursorVisible();
        return;
    }
    const qint64 lines = editor.lines();
    qint64 target = -1;
    for (qint64 k = 0; k < lines && target < 0; ++k) {
        const qint64 start = editor.SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, static_cast<unsigned long>(k));
        // Line 0 is entered at position 1 with one position counted.
        const qint64 giveUp = k == 0 ? kScanLimit : start + kScanLimit;
        if (k == line_number) {
            target = k == 0 ? 1 : start;
            break;
        }
        const bool last = k + 1 >= lines;
        const qint64 next =
            last ? giveUp + 1 : editor.SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE,
                                                       static_cast<unsigned long>(k + 1));
        if (giveUp < next) target = giveUp;
    }
    editor.setCaretPosition(static_cast<int>(target));
    editor.ensureCursorVisible();
}

}  // namespace quv
