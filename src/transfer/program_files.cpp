#include "transfer/program_files.h"

#include "core/text_file.h"

#include <QFile>
#include <QFileInfo>

namespace quv {

std::optional<QString> programBaseName(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) return std::nullopt;
    return fileName.left(dot + 1);
}

std::optional<qint64> regularFileLength(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) return std::nullopt;
    return info.size();
}

std::optional<QByteArray> readProgramHeader(const QString& path) {
    if (!regularFileLength(path)) return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray header = file.read(kHeaderBytes);
    if (header.size() != kHeaderBytes) return std::nullopt;
    return header;
}

ImageRead readProgramImage(const QString& path) {
    if (!QFileInfo::exists(path)) return {QByteArray(), QString()};
    ReadResult r = readWholeFile(path, kMaxImageBytes);
    return {std::move(r.bytes), r.error};
}

}  // namespace quv
