// Moving the caret to the start of a line given by its 0-based index.
#pragma once

#include <QtGlobal>

namespace quv {

class SourceEditor;

// Puts the caret at the start of the line (a negative index counts as 0) and
// keeps it in view. Like a walk through the text position by position that
// gives up after 1000 positions on one line, it stops 1000 positions into a
// line that long, and 1000 positions after the start of the last line for a
// line past the end (or at the end of the text, whichever comes first).
void Goto_line(SourceEditor& editor, qint32& line_number);

}  // namespace quv
