// Files in a test's temporary folder, written and read as bytes.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace quv::test {

// Writes the bytes to the path under the folder, making its folders, and
// returns the full path in native form; nothing when the write fails.
inline QString writeTestFile(const QString& folder, const QString& relativePath,
                             const QByteArray& bytes) {
    const QString path = QDir::toNativeSeparators(QDir(folder).filePath(relativePath));
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? path : QString();
}

// The file's bytes, or "<missing>".
inline QByteArray readTestFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

}  // namespace quv::test
