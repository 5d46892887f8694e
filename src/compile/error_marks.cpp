#include "compile/error_marks.h"

#include <algorithm>

namespace quv {

QList<LineMark> errorMarks(const QList<ErrorRecord>& rows, const QString& document) {
    QList<LineMark> marks;
    for (const ErrorRecord& row : rows) {
        if (!row.file.isEmpty() && row.file != document) continue;
        const qint32 line = errorLineIndex(row.line);
        if (line >= 0) marks.append({line, row.message});
    }
    const auto byLine = [](const LineMark& a, const LineMark& b) { return a.line < b.line; };
    // A compiler mostly writes its errors in line order already.
    if (!std::is_sorted(marks.begin(), marks.end(), byLine))
        std::stable_sort(marks.begin(), marks.end(), byLine);
    // The messages of one line go into its one mark.
    QList<LineMark> merged;
    for (LineMark& mark : marks) {
        if (!merged.isEmpty() && merged.last().line == mark.line)
            merged.last().text += QLatin1Char('\n') + mark.text;
        else
            merged.append(std::move(mark));
    }
    return merged;
}

int nextErrorRow(int rowCount, int current, bool forward) {
    if (rowCount <= 0) return -1;
    if (current < 0 || current >= rowCount) return forward ? 0 : rowCount - 1;
    return (current + (forward ? 1 : rowCount - 1)) % rowCount;
}

}  // namespace quv
