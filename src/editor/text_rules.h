// The editing rules that work on text alone: block indent and unindent, the
// line a goto scan ends on, and the number typed in the goto dialog.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace quv {

// Tab on a selected block: one Tab at the block's start, and one at the start
// of every following line whose CR LF lies wholly before the block's last two
// characters (so a block that ends with a line break leaves the next line
// alone).
QByteArray indentBlock(const QByteArray& block);
// Shift+Tab on a selected block: at the same places, one Tab is removed
// where there is one.
QByteArray unindentBlock(const QByteArray& block);

// The lines of a text, as the editor numbers them: 0-based, the last line
// running on past the end of the text.
class LineModel {
  public:
    virtual ~LineModel() = default;
    virtual qint64 length() const = 0;
    virtual qint32 lineCount() const = 0;  // 1 or more
    virtual qint64 lineStart(qint32 line) const = 0;
    virtual qint32 lineOf(qint64 position) const = 0;
};

// Positions a goto scan walks on one line before it gives up.
constexpr qint64 kGotoScanLimit = 1000;

// Where the caret goes for a 0-based line index of 1 or more: the start of
// that line, unless a line before it is longer than the scan limit, then
// 1000 positions into the first such line; past the last line, 1000
// positions after the last line's start or the end of the text, whichever
// comes first. Looks at one position per 1000 of the text before the line,
// not at every position.
qint64 gotoTarget(const LineModel& lines, qint32 line);

// The 0-based line index of the number typed in the goto dialog: leading
// blanks skipped, the number read as far as it goes (sign, digits, decimal
// point, exponent), nothing readable counting as 0; minus 1, rounded to the
// nearest integer with halves to the even one, kept within 32 bits (the
// numeric reader of core/numeric_text.h).
qint32 gotoLineIndex(const QString& typed);

}  // namespace quv
