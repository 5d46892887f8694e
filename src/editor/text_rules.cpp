#include "editor/text_rules.h"

#include "core/numeric_text.h"

#include <algorithm>

namespace quv {

namespace {

// The offsets in the block where the block rules act: 0, and the start of
// each line whose CR LF ends at or before two characters from the block's end.
template <typename Visit>
void forEachBlockLine(const QByteArray& block, Visit visit) {
    const qsizetype limit = block.size() - 2;
    qsizetype at = 0;
    for (;;) {
        visit(at);
        const qsizetype cr = block.indexOf("\r\n", at);
        if (cr < 0 || cr + 2 > limit) return;
        at = cr + 2;
    }
}

}  // namespace

QByteArray indentBlock(const QByteArray& block) {
    QByteArray out;
    out.reserve(block.size() + block.size() / 16 + 2);
    qsizetype copied = 0;
    forEachBlockLine(block, [&](qsizetype at) {
        out.append(block.constData() + copied, at - copied);
        out.append('\t');
        copied = at;
    });
    out.append(block.constData() + copied, block.size() - copied);
    return out;
}

QByteArray unindentBlock(const QByteArray& block) {
    QByteArray out;
    out.reserve(block.size());
    qsizetype copied = 0;
    forEachBlockLine(block, [&](qsizetype at) {
        if (at >= block.size() || block[at] != '\t') return;
        out.append(block.constData() + copied, at - copied);
        copied = at + 1;
    });
    out.append(block.constData() + copied, block.size() - copied);
    return out;
}

qint64 gotoTarget(const LineModel& lines, qint32 line) {
    const qint32 last = lines.lineCount() - 1;
    const qint32 before = std::min(line, last);
    const qint64 end = lines.lineStart(before);
    // A line longer than the limit holds at least one multiple of the limit
    // among its first limit + 1 positions; a look at every such position in
    // order therefore meets the first long line before any later line.
    qint64 sample = 0;
    while (sample < end) {
        const qint32 k = lines.lineOf(sample);
        const qint64 start = lines.lineStart(k);
        const qint64 next = lines.lineStart(k + 1);
        if (next - start > kGotoScanLimit) return start + kGotoScanLimit;
        sample = (next + kGotoScanLimit - 1) / kGotoScanLimit * kGotoScanLimit;
    }
    if (line <= last) return end;
    return std::min(lines.lineStart(last) + kGotoScanLimit, lines.length());
}

qint32 gotoLineIndex(const QString& typed) {
    return roundHalfEven(leadingNumber(typed) - 1);
}

}  // namespace quv
