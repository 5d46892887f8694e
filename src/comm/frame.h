// One frame of the base station link, and the encoder and decoder that turn
// frames into bytes and bytes back into frames.
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <deque>

namespace quv {

// A frame: command code, sequence number and payload. On the line:
//   0x02, command, sequence, length low, length high, 4-byte header trailer,
//   payload, 4-byte payload trailer
// where each trailer is the two checksums of the system (see Checksum) over
// the five header bytes and over the payload alone.
struct Frame {
    quint8 command = 0;
    quint8 sequence = 0;
    QByteArray payload;

    static constexpr char kStart = 0x02;
    static constexpr int kHeaderSize = 5;
    static constexpr int kTrailerSize = 4;
    static constexpr int kOverhead = kHeaderSize + 2 * kTrailerSize;
    static constexpr int kMaxPayload = 4096;

    // The frame as line bytes; a payload over kMaxPayload is cut to it.
    QByteArray encode() const;
    bool operator==(const Frame& o) const {
        return command == o.command && sequence == o.sequence && payload == o.payload;
    }
};

// Turns the bytes of a line into frames. Bytes outside frames are skipped; a
// frame whose header fails its checksum is not trusted and the search for a
// start byte resumes one byte further; a frame whose payload fails its
// checksum is reported as damaged (command and sequence only, taken from the
// good header) and the search resumes inside it, so a frame hidden in a
// damaged one is still found.
class FrameDecoder {
  public:
    struct Item {
        Frame frame;
        bool damaged = false;  // payload checksum failed; payload empty
    };

    void feed(const char* data, qsizetype size);
    void feed(const QByteArray& bytes) { feed(bytes.constData(), bytes.size()); }
    // The next frame found, oldest first; false when none is complete.
    bool next(Item& item);
    // Forgets a partial frame and everything buffered.
    void reset();

    // Bytes skipped as noise or as untrusted headers, and damaged frames.
    qint64 skippedBytes() const { return skipped_; }
    qint64 damagedFrames() const { return damaged_; }
    // Bytes held while waiting for the rest of a frame.
    qsizetype pending() const { return buffer_.size() - pos_; }

  private:
    void scan();
    void compact();

    QByteArray buffer_;
    qsizetype pos_ = 0;
    std::deque<Item> ready_;
    qint64 skipped_ = 0;
    qint64 damaged_ = 0;
};

}  // namespace quv
