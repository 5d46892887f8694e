// The Terminal Monitor's timeline: one list, in arrival order, of what the
// terminals say through the base station and of the program's own traffic,
// with the escaped and hex views of the bytes and the text and CSV exports.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>

#include <deque>
#include <optional>

namespace quv {

enum class MonitorKind {
    Received,        // a message from a terminal (address: its sender)
    Sent,            // text typed by the user and sent to a terminal (address: the destination)
    ProgramRequest,  // the program took a terminal's "RESET" as a program request
    UploadStart,     // an upload began (bytes: what is uploaded, e.g. the file name)
    UploadEnd,       // an upload ended (bytes: the rate as shown in the status bar)
    UploadFailed,    // an upload stopped (bytes: the reason as told to the user)
    ChecksumsSent,   // the checksums went out (bytes: the four trailer bytes)
    LinkLost,        // the link to the base station went away
    LinkBack,        // the link came back
    Raw,             // bytes read from a COM port in raw line mode (no address)
};

// The kind's word in the exports: "received", "sent", "request",
// "upload-start", "upload-end", "upload-failed", "checksums", "link-lost",
// "link-back", "raw".
QString monitorKindWord(MonitorKind kind);

struct MonitorRow {
    QDateTime time;  // to the millisecond
    MonitorKind kind = MonitorKind::Received;
    QByteArray address;  // the terminal's 8-character address; may be empty
    QByteArray bytes;    // every byte as it came or went
};

// Bytes for display, one line whatever they hold: printable ASCII (0x20 to
// 0x7E) as is except the backslash, which shows as \\; CR, LF and Tab as \r,
// \n and \t; every other byte as \xNN with two upper-case hex digits.
QString escapedBytes(const QByteArray& bytes);

// The bytes escapedBytes shows as text, its exact inverse; \xNN also takes
// lower-case hex digits, and a character beyond ASCII stands for its UTF-8
// bytes. Nothing when a backslash starts none of \\ \r \n \t \xNN.
std::optional<QByteArray> unescapedBytes(const QString& text);

// Bytes as upper-case hex pairs separated by one space: "41 42 0D 0A".
QString hexBytes(const QByteArray& bytes);

// Whether a row shows under an address filter. An empty filter shows every
// row. Otherwise the terminal's conversation (received and sent rows) shows
// only for that address, and every other row (own traffic, link lost and
// back, raw bytes) always shows, so the filtered view still tells what the
// program and the link did around that terminal's messages.
bool passesAddressFilter(const MonitorRow& row, const QByteArray& filter);

// Cuts the bytes read from a raw line into rows: each row ends after an LF;
// bytes without an LF come out as a row once the line has been quiet for
// kQuietMs or they reach kMaxRow bytes.
class RawLines {
  public:
    static constexpr qint64 kQuietMs = 100;
    static constexpr qsizetype kMaxRow = 4096;
    // The rows completed by these bytes, read at nowMs (any monotonic
    // milliseconds). Waiting bytes that had already been quiet long enough
    // come first as a row of their own, however seldom flush is called.
    QList<QByteArray> add(const QByteArray& bytes, qint64 nowMs);
    // The waiting bytes as a row when the line has been quiet long enough
    // (or when force), else nothing.
    std::optional<QByteArray> flush(qint64 nowMs, bool force = false);

  private:
    QByteArray waiting_;  // never an LF, fewer than kMaxRow bytes
    qint64 lastMs_ = 0;   // when the last bytes came
};

// The line end the user chose to follow the typed text when it is sent.
enum class SendLineEnd { None, Cr, Lf, CrLf };

// The typed text followed by the chosen line end.
QByteArray withSendLineEnd(QByteArray typed, SendLineEnd end);

// Keeps the newest rows of the monitor, counts the older ones it dropped and
// remembers every terminal address it has seen, and exports its rows.
class MonitorTimeline {
  public:
    static constexpr qsizetype kDefaultCapacity = 100000;

    explicit MonitorTimeline(qsizetype capacity = kDefaultCapacity);

    // Adds a row at the end (amortised constant time); when the timeline is
    // full, the oldest row goes and is counted as dropped.
    void append(MonitorRow row);
    // Keeps at most `capacity` rows (at least 1), dropping the oldest ones.
    void setCapacity(qsizetype capacity);
    qsizetype capacity() const { return capacity_; }

    qsizetype size() const { return static_cast<qsizetype>(rows_.size()); }
    // Row 0 is the oldest row kept.
    const MonitorRow& at(qsizetype i) const { return rows_[static_cast<size_t>(i)]; }
    // How many older rows went to make room since the last clear.
    qint64 dropped() const { return dropped_; }
    // The non-empty addresses seen since the last clear, in the order they
    // first came, also those whose rows were dropped since.
    const QList<QByteArray>& addresses() const { return addresses_; }

    // Forgets the rows, the dropped count and the addresses seen.
    void clear();

    // All rows kept, whatever a view shows, under the address filter (empty:
    // all rows). Lines end in CR LF.
    //
    // Text: one line per row, its fields separated by one Tab:
    //   time as yyyy-MM-dd hh:mm:ss.zzz (in the row's own time zone), kind
    //   word, escaped address, escaped bytes.
    // The escaped address and bytes never hold a Tab or a line break.
    QByteArray exportText(const QByteArray& filter = {}) const;
    // CSV: the header line "time,kind,address,text" and one record per row
    // with the same fields; a field holding a comma, a quote, CR or LF is
    // quoted with its quotes doubled. The text column holds the escaped bytes,
    // so each record stays on one line.
    QByteArray exportCsv(const QByteArray& filter = {}) const;

  private:
    QByteArray exportRows(const QByteArray& filter, bool csv) const;

    std::deque<MonitorRow> rows_;
    qsizetype capacity_;
    qint64 dropped_ = 0;
    QList<QByteArray> addresses_;
    QSet<QByteArray> seen_;
};

}  // namespace quv
