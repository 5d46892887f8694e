// The compiled program beside a source file: its base name, the header file
// whose first 8 bytes go to the terminal, and the image, read as raw bytes.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace quv {

inline constexpr int kHeaderBytes = 8;
// No terminal takes a larger program; the frame's length must also fit the
// library's 32-bit counts.
inline constexpr qint64 kMaxImageBytes = 16 * 1024 * 1024;

// The file name cut back to its last "."; the dot stays ("prog.c" gives
// "prog."). Nothing when the name has no dot at all.
std::optional<QString> programBaseName(const QString& fileName);
inline QString headerFileName(const QString& baseName) {
    return baseName + QStringLiteral("hea");
}
inline QString imageFileName(const QString& baseName) {
    return baseName + QStringLiteral("bin");
}

// The length of a regular file; nothing when it does not exist or is no
// regular file (a folder, a device).
std::optional<qint64> regularFileLength(const QString& path);

// The header's first 8 bytes; nothing when the file holds fewer or cannot
// be read.
std::optional<QByteArray> readProgramHeader(const QString& path);

struct ImageRead {
    std::optional<QByteArray> bytes;
    QString error;  // why the image could not be read
};
// The whole image. A missing image file is an empty image.
ImageRead readProgramImage(const QString& path);

}  // namespace quv
