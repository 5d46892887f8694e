// Program sources on disk: 8-bit text in which every byte is kept, written
// with CR LF line ends, and never half-written.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace quv {

// Every line break (CR LF, a lone LF or a lone CR) becomes CR LF; all other
// bytes stay as they are.
QByteArray withCrLf(const QByteArray& text);

struct ReadResult {
    std::optional<QByteArray> bytes;
    QString error;  // the reason when bytes is empty
};
// Reads a regular file whole. Anything else (a folder, a pipe, a device) is
// refused before it is opened, so that a reader never waits for a writer; so
// is a file larger than maxBytes.
inline constexpr qint64 kNoSizeLimit = -1;
ReadResult readWholeFile(const QString& path, qint64 maxBytes = kNoSizeLimit);

// Writes the bytes to a temporary file beside the target and renames it into
// place, so that the previous file stays intact when anything fails. In a
// folder where no temporary file can be made, a writable file is written in
// place. A file without write permission is not replaced. Returns the reason
// on failure.
std::optional<QString> writeWholeFile(const QString& path, const QByteArray& bytes);

}  // namespace quv
