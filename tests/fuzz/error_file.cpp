// The compiler's error file, as the error list and the editor's marks read it.
#include "compile/error_file.h"
#include "compile/error_marks.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<quv::ErrorRecord> rows = quv::parseErrorFile(fuzz::bytes(data, size));
    FUZZ_CHECK(rows.size() <= quv::kMaxErrorRows + 1);
    for (const quv::ErrorRecord& r : rows) {
        for (const QString* text : {&r.line, &r.file, &r.message})
            FUZZ_CHECK(text->size() <= quv::kMaxErrorTextBytes + 3);
        // The quick reading of plain digits gives what the full reading gives.
        FUZZ_CHECK(quv::errorLineIndex(r.line) == quv::errorLineIndex(" " + r.line));
    }
    const QList<quv::LineMark> marks = quv::errorMarks(rows, QString());
    FUZZ_CHECK(marks.size() <= rows.size());
    for (qsizetype i = 0; i < marks.size(); ++i)
        FUZZ_CHECK(marks[i].line >= 0 && (i == 0 || marks[i - 1].line < marks[i].line));
    const int next = quv::nextErrorRow(rows.size(), size % (rows.size() + 1) - 1, size % 2);
    FUZZ_CHECK(rows.isEmpty() ? next == -1 : next >= 0 && next < rows.size());
    return 0;
}
