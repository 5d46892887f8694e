// The goto scan as stated, one position at a time: the reference that the
// direct computation is compared with.
#pragma once

#include "editor/text_rules.h"

#include <algorithm>

namespace quv::test {

// From position 1 on, counting the positions on one line, until the line is
// reached or 1000 positions passed on one line; the caret then cannot go past
// the end of the text. Line 0 and below go to the start.
inline qint64 literalGoto(const LineModel& lines, qint32 line) {
    if (line <= 0) return 0;
    qint64 p = 0;
    qint32 previous = 0;
    qint64 same = 0;
    qint32 l = 0;
    do {
        ++p;
        ++same;
        l = lines.lineOf(p);
        if (l != previous) same = 0;
        previous = l;
    } while (l != line && same < 1000);
    return std::min(p, lines.length());
}

}  // namespace quv::test
