// The emulator's configuration file, and the status record it then gives.
#include "station.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::application();
    fuzz::Station station;
    QFile file(station.dir.filePath("base.json"));
    FUZZ_CHECK(file.open(QIODevice::WriteOnly) && file.write(fuzz::bytes(data, size)) >= 0);
    file.close();
    QString error;
    FUZZ_CHECK(station.base.loadConfig(&error));
    station.line->arrived(quv::Frame{quv::wire::kGetStatus, 1, {}}.encode());
    quv::FrameDecoder answers;
    answers.feed(station.line->sent);
    quv::FrameDecoder::Item item;
    FUZZ_CHECK(answers.next(item) && !item.damaged && item.frame.payload.startsWith('\0'));
    // The record is always 25 characters, and it reads.
    const QByteArray record = item.frame.payload.mid(1);
    FUZZ_CHECK(record.size() == quv::wire::StatusRecord::kLength);
    FUZZ_CHECK(quv::wire::StatusRecord::fromText(record));
    return 0;
}
