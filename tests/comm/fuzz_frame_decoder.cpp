// libFuzzer entry: the frame decoder fed arbitrary bytes in arbitrary pieces.
// Every frame it calls good must encode back to bytes that decode to the same
// frame, and it never holds more than one frame's worth of bytes.

#include "comm/frame.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte chooses the size of the pieces the rest is fed in.
    const size_t piece = 1 + data[0] % 64;
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const size_t length = size - 1;
    quv::FrameDecoder decoder;
    quv::FrameDecoder::Item item;
    for (size_t at = 0; at < length; at += piece) {
        decoder.feed(bytes + at, static_cast<qsizetype>(std::min(piece, length - at)));
        if (decoder.pending() > quv::Frame::kOverhead + quv::Frame::kMaxPayload) std::abort();
        while (decoder.next(item)) {
            if (item.damaged) continue;
            if (item.frame.payload.size() > quv::Frame::kMaxPayload) std::abort();
            quv::FrameDecoder again;
            quv::FrameDecoder::Item back;
            again.feed(item.frame.encode());
            if (!again.next(back) || back.damaged || !(back.frame == item.frame)) std::abort();
        }
    }
    return 0;
}
