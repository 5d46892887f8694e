#include "comm/frame.h"

#include "core/checksum.h"

#include <cstring>

namespace quv {

namespace {

bool trailerMatches(const char* block, qsizetype size, const char* trailer) {
    Checksum c;
    c.add(block, size);
    return std::memcmp(c.trailer().constData(), trailer, Frame::kTrailerSize) == 0;
}

}  // namespace

QByteArray Frame::encode() const {
    const QByteArray body = payload.left(kMaxPayload);
    QByteArray out;
    out.reserve(kOverhead + body.size());
    out.append(kStart);
    out.append(static_cast<char>(command));
    out.append(static_cast<char>(sequence));
    out.append(static_cast<char>(body.size() & 0xFF));
    out.append(static_cast<char>((body.size() >> 8) & 0xFF));
    out.append(Checksum::of(out).trailer());
    out.append(body);
    out.append(Checksum::of(body).trailer());
    return out;
}

void FrameDecoder::feed(const char* data, qsizetype size) {
    if (size <= 0) return;
    buffer_.append(data, size);
    scan();
}

bool FrameDecoder::next(Item& item) {
    if (ready_.empty()) return false;
    item = std::move(ready_.front());
    ready_.pop_front();
    return true;
}

void FrameDecoder::reset() {
    buffer_.clear();
    pos_ = 0;
    ready_.clear();
}

void FrameDecoder::scan() {
    constexpr qsizetype headerAndTrailer = Frame::kHeaderSize + Frame::kTrailerSize;
    for (;;) {
        const qsizetype start = buffer_.indexOf(Frame::kStart, pos_);
        if (start < 0) {
            skipped_ += buffer_.size() - pos_;
            pos_ = buffer_.size();
            break;
        }
        skipped_ += start - pos_;
        pos_ = start;
        const qsizetype available = buffer_.size() - pos_;
        if (available < headerAndTrailer) break;

        const char* h = buffer_.constData() + pos_;
        const int length = static_cast<quint8>(h[3]) | (static_cast<quint8>(h[4]) << 8);
        if (length > Frame::kMaxPayload ||
            !trailerMatches(h, Frame::kHeaderSize, h + Frame::kHeaderSize)) {
            ++skipped_;
            ++pos_;
            continue;
        }
        const qsizetype total = Frame::kOverhead + length;
        if (available < total) break;

        const char* payload = h + headerAndTrailer;
        Item item;
        item.frame.command = static_cast<quint8>(h[1]);
        item.frame.sequence = static_cast<quint8>(h[2]);
        if (trailerMatches(payload, length, payload + length)) {
            item.frame.payload = QByteArray(payload, length);
            pos_ += total;
        } else {
            item.damaged = true;
            ++damaged_;
            ++skipped_;
            ++pos_;
        }
        ready_.push_back(std::move(item));
    }
    compact();
}

void FrameDecoder::compact() {
    if (pos_ == 0) return;
    if (pos_ >= buffer_.size()) {
        buffer_.clear();
        pos_ = 0;
    } else if (pos_ > 4096 && pos_ * 2 > buffer_.size()) {
        buffer_.remove(0, pos_);
        pos_ = 0;
    }
}

}  // namespace quv
