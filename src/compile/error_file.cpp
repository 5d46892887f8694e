#include "compile/error_file.h"

#include "core/numeric_text.h"

namespace quv {

namespace {

QList<QByteArray> splitLines(const QByteArray& bytes) {
    QList<QByteArray> lines;
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n') continue;
        lines << bytes.mid(start, i - start);
        if (c == '\r' && i + 1 < n && bytes.at(i + 1) == '\n') ++i;
        start = i + 1;
    }
    if (start < n) lines << bytes.mid(start);
    return lines;
}

}  // namespace

QList<ErrorRecord> parseErrorFile(const QByteArray& bytes) {
    const QList<QByteArray> lines = splitLines(bytes);
    QList<ErrorRecord> records;
    records.reserve(lines.size() / 2 + 1);
    for (qsizetype i = 0; i < lines.size(); i += 2) {
        const QByteArray& first = lines.at(i);
        const QByteArray second = i + 1 < lines.size() ? lines.at(i + 1) : QByteArray();
        if (first.isEmpty() && second.isEmpty()) continue;
        ErrorRecord r;
        const qsizetype colon = first.indexOf(':');
        if (colon < 0) {
            r.line = QString::fromLocal8Bit(first);
        } else {
            r.line = QString::fromLocal8Bit(first.left(colon));
            r.file = QString::fromLocal8Bit(first.mid(colon + 1));
        }
        r.message = QString::fromLocal8Bit(second);
        records << r;
    }
    return records;
}

qint32 errorLineIndex(const QString& lineText) {
    return roundHalfEven(leadingNumber(lineText) - 1);
}

}  // namespace quv
