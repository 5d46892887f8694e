// What the Terminal Monitor makes of the bytes it shows: raw rows, the
// escaped and hex views, the text typed with escapes, and the exports.
#include "core/monitor_timeline.h"
#include "fuzz.h"

using namespace quv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<QByteArray> pieces = fuzz::pieces(data, size);
    RawLines raw;
    MonitorTimeline timeline(5);
    QByteArray read, joined;
    qint64 now = 0;
    for (const QByteArray& piece : pieces) {
        read += piece;
        now += 7 * (piece.size() % 31);  // now quick, now after a quiet spell
        for (const QByteArray& row : raw.add(piece, now)) {
            FUZZ_CHECK(!row.isEmpty() && row.size() <= RawLines::kMaxRow);
            FUZZ_CHECK(!row.chopped(1).contains('\n'));
            joined += row;
        }
        const QString shown = escapedBytes(piece);
        for (QChar c : shown) FUZZ_CHECK(c.unicode() >= 0x20 && c.unicode() <= 0x7E);
        FUZZ_CHECK(unescapedBytes(shown) == piece);
        FUZZ_CHECK(hexBytes(piece).size() == std::max<qsizetype>(3 * piece.size() - 1, 0));
        if (const auto typed = unescapedBytes(QString::fromUtf8(piece)))
            FUZZ_CHECK(unescapedBytes(escapedBytes(*typed)) == typed);
        const auto kind = static_cast<MonitorKind>(piece.size() % 10);
        timeline.append({QDateTime::fromMSecsSinceEpoch(now), kind, piece.left(8), piece});
    }
    if (const auto rest = raw.flush(now, true)) joined += *rest;
    // The rows hold every byte read, in order.
    FUZZ_CHECK(joined == read);
    FUZZ_CHECK(timeline.size() <= 5);
    FUZZ_CHECK(timeline.exportText().count("\r\n") == timeline.size());
    FUZZ_CHECK(timeline.exportCsv().count("\r\n") == timeline.size() + 1);
    return 0;
}
