#include "transfer/program_files.h"

#include <QFile>
#include <QFileInfo>

namespace quv {

ReadResult readProgramHeader(const QString& path) {
    // Anything but a regular file (a folder, a pipe) is refused as a whole
    // read refuses it, before it is opened.
    if (!QFileInfo(path).isFile()) return readWholeFile(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {std::nullopt, file.errorString()};
    QByteArray header = file.read(kHeaderBytes);
    if (file.error() != QFileDevice::NoError) return {std::nullopt, file.errorString()};
    return {std::move(header), QString()};
}

}  // namespace quv
