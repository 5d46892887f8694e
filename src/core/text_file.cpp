#include "core/text_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quv {

QByteArray withCrLf(const QByteArray& text) {
    const qsizetype n = text.size();
    const char* p = text.constData();
    qsizetype extra = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == '\n' && (i == 0 || p[i - 1] != '\r'))
            ++extra;
        else if (p[i] == '\r' && (i + 1 == n || p[i + 1] != '\n'))
            ++extra;
    }
    if (extra == 0) return text;
    QByteArray out;
    out.resize(n + extra);
    char* o = out.data();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = p[i];
        if (c == '\r') {
            *o++ = '\r';
            *o++ = '\n';
            if (i + 1 < n && p[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            *o++ = '\r';
            *o++ = '\n';
        } else {
            *o++ = c;
        }
    }
    return out;
}

ReadResult readWholeFile(const QString& path, qint64 maxBytes) {
    const QFileInfo info(path);
    if (!info.exists()) return {std::nullopt, QStringLiteral("The file does not exist.")};
    if (!info.isFile()) return {std::nullopt, QStringLiteral("It is not a regular file.")};
    if (maxBytes >= 0 && info.size() > maxBytes)
        return {std::nullopt, QStringLiteral("The file is larger than %1 bytes.").arg(maxBytes)};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {std::nullopt, file.errorString()};
    // A file that grew since it was measured is read no further than the limit.
    QByteArray bytes = maxBytes >= 0 ? file.read(maxBytes) : file.readAll();
    if (file.error() != QFileDevice::NoError) return {std::nullopt, file.errorString()};
    return {std::move(bytes), QString()};
}

std::optional<QString> writeWholeFile(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    if (info.exists()) {
        if (info.isDir()) return QStringLiteral("It is a folder.");
        // No write bit in the file's mode marks it read-only, also for a user
        // whose rights would let the write through.
        const auto anyWrite =
            QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
        if (!(info.permissions() & anyWrite) || !info.isWritable())
            return QStringLiteral("The file is read-only.");
    }
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) return file.errorString();
    return std::nullopt;
}

}  // namespace quv
