#include "compile/error_file.h"

#include <algorithm>

#include "core/current_document.h"
#include "core/numeric_text.h"
#include "core/text_file.h"

#include <QFileInfo>

#include <cstring>

namespace quv {

namespace {

// One line of the file as shown: cut to its bound, in the system's code page.
QString shown(const char* text, qsizetype size) {
    if (size <= kMaxErrorTextBytes) return QString::fromLocal8Bit(text, size);
    return QString::fromLocal8Bit(text, kMaxErrorTextBytes) + QStringLiteral("...");
}

// The lines of the file one after the other, without copying them.
class Lines {
  public:
    explicit Lines(const QByteArray& bytes) : p_(bytes.constData()), n_(bytes.size()) {}
    bool atEnd() const { return i_ >= n_; }
    // The next line (empty at the end of the file), without its line end.
    std::pair<const char*, qsizetype> next() {
        const qsizetype start = i_;
        while (i_ < n_ && p_[i_] != '\r' && p_[i_] != '\n') ++i_;
        const qsizetype size = i_ - start;
        if (i_ < n_) i_ += (p_[i_] == '\r' && i_ + 1 < n_ && p_[i_ + 1] == '\n') ? 2 : 1;
        return {p_ + start, size};
    }

  private:
    const char* p_;
    qsizetype n_;
    qsizetype i_ = 0;
};

ErrorRecord note(const QString& message) {
    return ErrorRecord{QString(), QString(), message};
}

}  // namespace

QList<ErrorRecord> parseErrorFile(const QByteArray& bytes) {
    QList<ErrorRecord> records;
    Lines lines(bytes);
    while (!lines.atEnd()) {
        const auto [first, firstSize] = lines.next();
        const auto [second, secondSize] = lines.next();
        if (firstSize == 0 && secondSize == 0) continue;
        if (records.size() == kMaxErrorRows) {
            records << note(QStringLiteral("More errors follow in the error file; the first %1 "
                                           "are shown.")
                                .arg(kMaxErrorRows));
            break;
        }
        ErrorRecord r;
        const auto* colon = static_cast<const char*>(std::memchr(first, ':', size_t(firstSize)));
        if (!colon) {
            r.line = shown(first, firstSize);
        } else {
            r.line = shown(first, colon - first);
            r.file = shown(colon + 1, firstSize - (colon - first) - 1);
        }
        r.message = shown(second, secondSize);
        records << r;
    }
    return records;
}

QList<ErrorRecord> readErrorFile(const QString& path) {
    const QFileInfo info(path);
    if (info.isFile() && info.size() > kMaxErrorFileBytes)
        return {note(QStringLiteral("The error file %1 is larger than %2 MB and was not read.")
                         .arg(path)
                         .arg(kMaxErrorFileBytes / (1024 * 1024)))};
    const ReadResult read = readWholeFile(path, kMaxErrorFileBytes);
    return read.bytes ? parseErrorFile(*read.bytes) : QList<ErrorRecord>();
}

qint32 errorLineIndex(const QString& lineText) {
    // Most line texts are a few plain digits: read at once.
    if (!lineText.isEmpty() && lineText.size() <= 9 &&
        std::all_of(lineText.begin(), lineText.end(),
                    [](QChar c) { return c.isDigit() && c.unicode() < 128; }))
        return lineText.toInt() - 1;
    return roundHalfEven(leadingNumber(lineText) - 1);
}

bool jumpToError(const ErrorRecord& row, CurrentDocument& document,
                 const std::function<void(qint32 line)>& gotoLine) {
    if (!row.file.isEmpty() && row.file != document.fileName()) {
        // Only a changed document is written: rewriting an unchanged one
        // gains nothing and would alter a compiled image opened in compact
        // mode.
        if (document.changed() && !document.save()) return false;
        if (!document.open(row.file)) return false;
    }
    if (gotoLine) gotoLine(errorLineIndex(row.line));
    return true;
}

}  // namespace quv
