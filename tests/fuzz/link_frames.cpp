// The frames a base station sends the library, over a serial line or TCP,
// arriving in pieces, and the payloads the library reads from them.
#include "comm/frame.h"
#include "comm/wire.h"
#include "fuzz.h"

using namespace quv;

namespace {
// A payload read and written again reads the same.
template <class Record>
void roundTrip(const QByteArray& payload) {
    if (const auto r = Record::fromPayload(payload)) {
        const QByteArray again = r->toPayload();
        const auto back = Record::fromPayload(again);
        FUZZ_CHECK(back && back->toPayload() == again);
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray line = fuzz::bytes(data, size);
    FrameDecoder decoder;
    FrameDecoder::Item item;
    for (const QByteArray& piece : fuzz::pieces(data, size)) {
        decoder.feed(piece);
        while (decoder.next(item)) {
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
    return 0;
}
