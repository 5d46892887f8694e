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

// Writes the bytes to the path; false when the write fails.
inline bool writeTestFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// size bytes of a pattern that runs through every byte value; seed varies it.
inline QByteArray patternBytes(qsizetype size, int seed = 1) {
    QByteArray b(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        b[i] = static_cast<char>((i * 31 + seed * 7 + i / 253) & 0xFF);
    return b;
}

// The file's bytes, or "<missing>".
inline QByteArray readTestFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

}  // namespace quv::test
