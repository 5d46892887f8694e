// Where the compiler's errors are marked in the document, and the order in
// which F4 and Shift+F4 walk the error list.
#pragma once

#include "compile/error_file.h"
#include "core/line_marks.h"

#include <QList>

namespace quv {

// The marks of the document's own errors: the rows without a file or naming
// the document (as a jump to the row decides), one mark per line in line
// order, its text the messages of that line's rows in file order, one per
// line of text. Lines before the first one are left out.
QList<LineMark> errorMarks(const QList<ErrorRecord>& rows, const QString& document);

// The row that F4 (forward) or Shift+F4 goes to from the current row (-1:
// none yet): the next or previous one, wrapping at the ends; -1 when there
// are no rows.
int nextErrorRow(int rowCount, int current, bool forward);

}  // namespace quv
