// The base station's status record, as the dialog and the library read it.
#include "baseconfig/base_status.h"
#include "comm/wire.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray reply = fuzz::bytes(data, size);
    const auto r = quv::BaseStatusRecord::fromReply(reply);
    // The fields put together again give the record's 25 characters.
    const QByteArray joined =
        r.Version + r.LocalName + r.RemoteName + r.RadioBaud + r.SerialBaud + r.SendTo;
    FUZZ_CHECK(joined.size() == quv::BaseStatusRecord::kLength);
    FUZZ_CHECK(joined.startsWith(reply.left(quv::BaseStatusRecord::kLength)));
    if (const auto baud = r.serialBaudRate()) FUZZ_CHECK(*baud > 0);

    if (const auto s = quv::wire::StatusRecord::fromText(reply)) {
        const QByteArray text = s->toText();
        FUZZ_CHECK(text.size() == quv::wire::StatusRecord::kLength);
        const auto again = quv::wire::StatusRecord::fromText(text);
        FUZZ_CHECK(again && again->toText() == text);
    }
    return 0;
}
