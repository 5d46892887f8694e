// Receives the RS232 upload frame on a line: "S", 8 header bytes and their
// two checksums, the image and its two checksums. The frame carries no
// length: it has ended when its last four bytes are the checksums of the
// image before them and the line then stays quiet for a moment, or, with
// bad checksums, when the line stays quiet for long or closes.
#pragma once

#include "core/checksum.h"

#include <QByteArray>
#include <QElapsedTimer>

namespace quvsim {

class SerialDownload {
  public:
    static constexpr int kTrailer = 4;
    static constexpr int kHeaderEnd = 13;  // "S", 8 header bytes, 4 checksum bytes
    static constexpr qsizetype kLimit = 16 * 1024 * 1024;
    static constexpr int kSettleMs = 50;    // quiet after good checksums
    static constexpr int kGiveUpMs = 1000;  // quiet without them

    SerialDownload() {
        started_.start();
        lastByte_.start();
    }

    void feed(const QByteArray& bytes);
    // Whether the frame has ended, judged by the time since the last byte.
    bool ended() const;

    bool headerGood() const;
    bool imageGood() const { return candidate_; }
    QByteArray header() const { return frame_.mid(1, 8); }
    // Every byte received, as it came.
    const QByteArray& frame() const { return frame_; }
    // The image: everything between the header and the final four bytes.
    QByteArray image() const;
    // From the first byte to the last.
    double seconds() const { return static_cast<double>(lastByteAt_) / 1e9; }

  private:
    QByteArray frame_;
    quv::Checksum running_;  // over the image bytes up to the last four
    qsizetype summed_ = kHeaderEnd;
    bool candidate_ = false;
    QElapsedTimer started_;
    QElapsedTimer lastByte_;
    qint64 lastByteAt_ = 0;  // nanoseconds from the first byte to the last
};

}  // namespace quvsim
