#include "core/file_stamp.h"

#include "core/text_file.h"

#include <QCryptographicHash>
#include <QFileInfo>

#include <algorithm>

namespace quv {

namespace {
QByteArray hashOf(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}
}  // namespace

FileStamp stampOf(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    return {path, info.size(), info.lastModified(), hashOf(bytes)};
}

DiskCheck checkDisk(const FileStamp& known) {
    const QFileInfo info(known.path);
    if (!info.exists()) return {DiskState::Deleted, {}};
    FileStamp now{known.path, info.size(), info.lastModified(), {}};
    if (now.size == known.size && now.modified == known.modified) return {DiskState::Same, known};
    const ReadResult read = readWholeFile(known.path);
    if (!read.bytes) return {DiskState::Changed, now};
    now.hash = hashOf(*read.bytes);
    return {now.hash == known.hash ? DiskState::Same : DiskState::Changed, now};
}

int lineOfOffset(const QByteArray& text, int offset) {
    const auto end = text.cbegin() + std::clamp<qsizetype>(offset, 0, text.size());
    return static_cast<int>(std::count(text.cbegin(), end, '\n'));
}

int offsetOfLine(const QByteArray& text, int line) {
    qsizetype at = 0;
    for (int n = 0; n < line; ++n) {
        const qsizetype next = text.indexOf('\n', at);
        if (next < 0) return static_cast<int>(text.size());
        at = next + 1;
    }
    return static_cast<int>(at);
}

}  // namespace quv
