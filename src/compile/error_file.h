// The compiler's error file: two-line records of "line:file" and message,
// the line index an error's line text stands for, and the jump to an error.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace quv {

class CurrentDocument;

// One error of the file, as its row in the error list shows it.
struct ErrorRecord {
    QString line;     // the text before the first ":" of the record's first line
    QString file;     // the text after it; empty when the line has no ":"
    QString message;  // the record's second line
};

// No real compiler writes more than this into its error file; a larger file
// is not read (a row says so), so that a runaway compiler cannot freeze the
// error list or fill the memory.
inline constexpr qint64 kMaxErrorFileBytes = 32 * 1024 * 1024;
// At most this many rows are shown; a last row says that more were left out.
inline constexpr int kMaxErrorRows = 100000;
// Each shown text (line, file, message) keeps at most this many bytes of
// its line in the file; a longer one is cut and ends in "...".
inline constexpr int kMaxErrorTextBytes = 1000;

// Reads the records in file order. Lines end with CR LF (a lone LF or CR is
// taken as a line end too); a last line without its end is kept; a record
// whose two lines are both empty carries nothing and is skipped; a record
// cut short by the end of the file has an empty message. Text is 8-bit in
// the system's code page.
QList<ErrorRecord> parseErrorFile(const QByteArray& bytes);

// The records of the error file at the path. A missing file, or anything but
// a regular file (a folder, a pipe), gives no rows and is never waited on.
QList<ErrorRecord> readErrorFile(const QString& path);

// The 0-based line index for an error's line text: its numeric value (leading
// blanks skipped, read as far as it forms a number; no number counts as 0)
// minus 1, rounded to the nearest integer, halves to the even neighbour.
qint32 errorLineIndex(const QString& lineText);

// Jumps to the error: when the row names another file than the document, a
// changed document is saved first and the row's file is opened; then the
// caret goes to the row's 0-based line. A row without a file belongs to the
// document. False when a save or the open failed (the document said why):
// the caret then stays where it is.
bool jumpToError(const ErrorRecord& row, CurrentDocument& document,
                 const std::function<void(qint32 line)>& gotoLine);

}  // namespace quv
