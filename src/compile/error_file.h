// The compiler's error file: two-line records of "line:file" and message,
// and the line index an error's line text stands for.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace quv {

struct ErrorRecord {
    QString line;     // the text before the first ":" of the record's first line
    QString file;     // the text after it; empty when the line has no ":"
    QString message;  // the record's second line
};

// Reads the records in file order. Lines end with CR LF (a lone LF or CR is
// taken as a line end too); a last line without its end is kept; a record
// whose two lines are both empty carries nothing and is skipped; a record
// cut short by the end of the file has an empty message. Text is 8-bit in
// the system's code page.
QList<ErrorRecord> parseErrorFile(const QByteArray& bytes);

// The 0-based line index for an error's line text: its numeric value (leading
// blanks skipped, read as far as it forms a number; no number counts as 0)
// minus 1, rounded to the nearest integer, halves to the even neighbour.
qint32 errorLineIndex(const QString& lineText);

}  // namespace quv
