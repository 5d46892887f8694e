// The emulator's reading of the frames a program sends it, arriving in pieces.
#include "station.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::application();
    fuzz::Station station;
    for (const QByteArray& piece : fuzz::pieces(data, size)) station.line->arrived(piece);
    // Whatever it read, the station answers in whole, sound frames.
    quv::FrameDecoder answers;
    answers.feed(station.line->sent);
    quv::FrameDecoder::Item item;
    while (answers.next(item)) FUZZ_CHECK(!item.damaged);
    FUZZ_CHECK(answers.skippedBytes() == 0 && answers.pending() == 0);
    return 0;
}
