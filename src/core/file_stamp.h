// What a file was when the document last read or wrote it, and whether
// another program has changed it since.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace quv {

struct FileStamp {
    QString path;  // empty: nothing is known of a file
    qint64 size = -1;
    QDateTime modified;
    QByteArray hash;
};

// The stamp of the file at path just after these bytes were read from it or
// written to it.
FileStamp stampOf(const QString& path, const QByteArray& bytes);

enum class DiskState { Same, Changed, Deleted };
struct DiskCheck {
    DiskState state = DiskState::Same;
    // The file as it is now; its hash is known when the content was read.
    FileStamp now;
};
// The file now against the stamp. The content is read only when the size or
// the time differ, so a file rewritten with the same bytes counts as the same.
// A file that cannot be read counts as changed.
DiskCheck checkDisk(const FileStamp& known);

// The line (from 0) that holds the byte offset, and the offset at which a
// line starts (the end of the text for a line past the last).
int lineOfOffset(const QByteArray& text, int offset);
int offsetOfLine(const QByteArray& text, int line);

}  // namespace quv
