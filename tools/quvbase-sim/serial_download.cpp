#include "serial_download.h"

namespace quvsim {

void SerialDownload::feed(const QByteArray& bytes) {
    if (bytes.isEmpty() || frame_.size() > kLimit) return;
    lastByte_.restart();
    lastByteAt_ = started_.nsecsElapsed();
    frame_.append(bytes);
    const qsizetype end = frame_.size() - kTrailer;
    candidate_ = false;
    if (end < kHeaderEnd) return;
    while (summed_ < end) running_.Do_Checksum(static_cast<unsigned char>(frame_.at(summed_++)));
    candidate_ = running_.trailer() == frame_.mid(end);
}

bool SerialDownload::ended() const {
    if (frame_.size() > kLimit) return true;
    return lastByte_.elapsed() >= (candidate_ ? kSettleMs : kGiveUpMs);
}

bool SerialDownload::headerGood() const {
    if (frame_.size() < kHeaderEnd) return false;
    return quv::Checksum::of(frame_.left(9)).trailer() == frame_.mid(9, kTrailer);
}

QByteArray SerialDownload::image() const {
    if (frame_.size() < kHeaderEnd + kTrailer) return frame_.mid(kHeaderEnd);
    return frame_.mid(kHeaderEnd, frame_.size() - kHeaderEnd - kTrailer);
}

}  // namespace quvsim
