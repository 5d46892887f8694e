#include "core/monitor_timeline.h"

#include <algorithm>
#include <utility>

namespace quv {

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz");

// The fields of one exported row, escaped.
QList<QByteArray> exportFields(const MonitorRow& row) {
    return {row.time.toString(kTimeFormat).toLatin1(), monitorKindWord(row.kind).toLatin1(),
            escapedBytes(row.address).toLatin1(), escapedBytes(row.bytes).toLatin1()};
}

QByteArray csvField(const QByteArray& field) {
    if (!field.contains(',') && !field.contains('"') && !field.contains('\r') &&
        !field.contains('\n'))
        return field;
    QByteArray quoted = field;
    quoted.replace("\"", "\"\"");
    return '"' + quoted + '"';
}

}  // namespace

QString monitorKindWord(MonitorKind kind) {
    switch (kind) {
        case MonitorKind::Received:
            return QStringLiteral("received");
        case MonitorKind::Sent:
            return QStringLiteral("sent");
        case MonitorKind::ProgramRequest:
            return QStringLiteral("request");
        case MonitorKind::UploadStart:
            return QStringLiteral("upload-start");
        case MonitorKind::UploadEnd:
            return QStringLiteral("upload-end");
        case MonitorKind::UploadFailed:
            return QStringLiteral("upload-failed");
        case MonitorKind::ChecksumsSent:
            return QStringLiteral("checksums");
        case MonitorKind::LinkLost:
            return QStringLiteral("link-lost");
        case MonitorKind::LinkBack:
            return QStringLiteral("link-back");
        case MonitorKind::Raw:
            return QStringLiteral("raw");
    }
    return QString();
}

QString escapedBytes(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == '\\') {
            out += QLatin1String("\\\\");
        } else if (b >= 0x20 && b <= 0x7E) {
            out += QLatin1Char(ch);
        } else if (b == '\r') {
            out += QLatin1String("\\r");
        } else if (b == '\n') {
            out += QLatin1String("\\n");
        } else if (b == '\t') {
            out += QLatin1String("\\t");
        } else {
            out += QLatin1String("\\x");
            out += QLatin1Char(kHexDigits[b >> 4]);
            out += QLatin1Char(kHexDigits[b & 0xF]);
        }
    }
    return out;
}

std::optional<QByteArray> unescapedBytes(const QString& text) {
    const auto hexDigit = [](QChar c) {
        return c.unicode() < 0x80 ? QByteArrayView(kHexDigits).indexOf(c.toUpper().toLatin1()) : -1;
    };
    QByteArray out;
    qsizetype i = 0;
    for (qsizetype slash; (slash = text.indexOf(u'\\', i)) >= 0;) {
        out += QStringView(text).sliced(i, slash - i).toUtf8();
        const QStringView rest = QStringView(text).sliced(slash + 1).left(3);
        const char16_t kind = rest.isEmpty() ? 0 : rest[0].unicode();
        i = slash + 2;
        if (kind == u'\\' || kind == u'r' || kind == u'n' || kind == u't') {
            out += kind == u'r' ? '\r' : kind == u'n' ? '\n' : kind == u't' ? '\t' : '\\';
        } else if (kind == u'x' && rest.size() == 3 && hexDigit(rest[1]) >= 0 &&
                   hexDigit(rest[2]) >= 0) {
            out += char(hexDigit(rest[1]) * 16 + hexDigit(rest[2]));
            i += 2;
        } else {
            return std::nullopt;
        }
    }
    return out + QStringView(text).sliced(i).toUtf8();
}

QString hexBytes(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

bool passesAddressFilter(const MonitorRow& row, const QByteArray& filter) {
    if (filter.isEmpty()) return true;
    if (row.kind != MonitorKind::Received && row.kind != MonitorKind::Sent) return true;
    return row.address == filter;
}

QByteArray withSendLineEnd(QByteArray typed, SendLineEnd end) {
    // In the order of SendLineEnd.
    static const char* const kEnds[] = {"", "\r", "\n", "\r\n"};
    return typed + kEnds[static_cast<int>(end)];
}

QList<QByteArray> RawLines::add(const QByteArray& bytes, qint64 nowMs) {
    QList<QByteArray> rows;
    if (bytes.isEmpty()) return rows;
    if (auto quiet = flush(nowMs)) rows.append(*quiet);
    waiting_ += bytes;
    lastMs_ = nowMs;
    qsizetype start = 0;
    for (;;) {
        // Only the next kMaxRow bytes are searched, so a long read without
        // an LF is cut in linear time.
        const qsizetype lf = QByteArrayView(waiting_)
                                 .sliced(start)
                                 .first(std::min(kMaxRow, waiting_.size() - start))
                                 .indexOf('\n');
        const qsizetype end = lf >= 0 ? start + lf + 1 : start + kMaxRow;
        if (end > waiting_.size()) break;
        rows.append(waiting_.mid(start, end - start));
        start = end;
    }
    waiting_.remove(0, start);
    return rows;
}

std::optional<QByteArray> RawLines::flush(qint64 nowMs, bool force) {
    if (waiting_.isEmpty() || (!force && nowMs - lastMs_ < kQuietMs)) return std::nullopt;
    return std::exchange(waiting_, QByteArray());
}

MonitorTimeline::MonitorTimeline(qsizetype capacity)
    : capacity_(std::max<qsizetype>(capacity, 1)) {}

void MonitorTimeline::append(MonitorRow row) {
    if (!row.address.isEmpty() && !seen_.contains(row.address)) {
        seen_.insert(row.address);
        addresses_.append(row.address);
    }
    rows_.push_back(std::move(row));
    setCapacity(capacity_);
}

void MonitorTimeline::setCapacity(qsizetype capacity) {
    capacity_ = std::max<qsizetype>(capacity, 1);
    while (size() > capacity_) {
        rows_.pop_front();
        ++dropped_;
    }
}

void MonitorTimeline::clear() {
    rows_.clear();
    dropped_ = 0;
    addresses_.clear();
    seen_.clear();
}

QByteArray MonitorTimeline::exportText(const QByteArray& filter) const {
    return exportRows(filter, false);
}

QByteArray MonitorTimeline::exportCsv(const QByteArray& filter) const {
    return exportRows(filter, true);
}

QByteArray MonitorTimeline::exportRows(const QByteArray& filter, bool csv) const {
    QByteArray out = csv ? "time,kind,address,text\r\n" : "";
    for (const MonitorRow& row : rows_) {
        if (!passesAddressFilter(row, filter)) continue;
        QList<QByteArray> fields = exportFields(row);
        if (csv)
            for (QByteArray& field : fields) field = csvField(field);
        out += fields.join(csv ? ',' : '\t') + "\r\n";
    }
    return out;
}

}  // namespace quv
