// The frames a base station sends the library, over a serial line or TCP,
// arriving in pieces, and the payloads the library reads from them.
#include "comm/frame.h"
#include "comm/wire.h"
#include "fuzz.h"

using namespace quv;

namespace {
using Items = std::vector<std::pair<Frame, bool>>;  // a frame, and whether it came damaged

// A payload read and written again reads the same.
template <class Record>
void roundTrip(const QByteArray& payload) {
    if (const auto r = Record::fromPayload(payload)) {
        const QByteArray again = r->toPayload();
        const auto back = Record::fromPayload(again);
        FUZZ_CHECK(back && back->toPayload() == again);
    }
}

void take(FrameDecoder& decoder, const QByteArray& line, Items& items) {
    FrameDecoder::Item item;
    while (decoder.next(item)) {
        items.emplace_back(item.frame, item.damaged);
        FUZZ_CHECK(item.frame.payload.size() <= Frame::kMaxPayload);
        if (item.damaged) continue;
        // A frame taken from the line is exactly the bytes it came as.
        FUZZ_CHECK(line.contains(item.frame.encode()));
        const QByteArray& p = item.frame.payload;
        if (const auto text = wire::TerminalText::fromPayload(p))
            FUZZ_CHECK(text->toPayload() == p);
        roundTrip<wire::EventRecord>(p);
        roundTrip<wire::TransferMark>(p);
        roundTrip<wire::TransferBegin>(p);
    }
    FUZZ_CHECK(decoder.pending() <= Frame::kOverhead + Frame::kMaxPayload);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray line;
    FrameDecoder split, whole;
    Items inPieces, atOnce;
    for (const QByteArray& piece : fuzz::pieces(data, size)) {
        line += piece;
        split.feed(piece);
        take(split, line, inPieces);
    }
    whole.feed(line);
    take(whole, line, atOnce);
    // However the line is cut, the same frames come out.
    FUZZ_CHECK(inPieces == atOnce);
    // A good frame behind whatever came still comes through: at once when
    // nothing is held, else behind filler as long as the longest frame. (A
    // frame cut short after a good header takes the next frame's header as
    // its payload when its length is 5: the framing cannot tell them apart.)
    const Frame last{wire::kEvent, 0xEE, "last"};
    const QByteArray filler(Frame::kOverhead + Frame::kMaxPayload, 0);
    const QByteArray tail = (split.pending() ? filler : QByteArray()) + last.encode() + filler;
    split.feed(tail);
    Items after;
    take(split, line + tail, after);
    FUZZ_CHECK(std::find(after.begin(), after.end(), std::make_pair(last, false)) != after.end());
    return 0;
}
