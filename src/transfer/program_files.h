// The compiled program beside a source file: the header file whose first 8
// bytes go to the terminal, and the image, read as raw bytes. Their names are
// the source's base name (baseNameWithDot) followed by "hea" and "bin".
#pragma once

#include "core/text_file.h"

#include <QByteArray>
#include <QString>

namespace quv {

inline constexpr int kHeaderBytes = 8;
// No terminal takes a larger program; the frame's length must also fit the
// library's 32-bit counts.
inline constexpr qint64 kMaxImageBytes = 16 * 1024 * 1024;

inline QString headerFileName(const QString& baseName) {
    return baseName + QStringLiteral("hea");
}
inline QString imageFileName(const QString& baseName) {
    return baseName + QStringLiteral("bin");
}

// The header's first 8 bytes, fewer when the file holds fewer; the reason
// when it cannot be read (also when it is no regular file).
ReadResult readProgramHeader(const QString& path);

}  // namespace quv
