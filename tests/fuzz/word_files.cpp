// The three word files of the instruction help, read one after the other.
#include "editor/help_words.h"
#include "fuzz.h"

using quv::HelpWords;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The pieces make the three files; any further piece belongs to the third.
    QByteArray files[3];
    int at = 0;
    for (const QByteArray& piece : fuzz::pieces(data, size)) files[std::min(at++, 2)] += piece;
    HelpWords words;
    for (const QByteArray& file : files) words.loadBytes(file);
    const QStringList& list = words.words();
    FUZZ_CHECK(list.size() == words.Help_Count() && list.size() <= HelpWords::kMaxWords);
    for (int row = 0; row < list.size(); ++row) {
        const QString& w = list[row];
        FUZZ_CHECK(!w.isEmpty() && w.size() <= HelpWords::kMaxWordBytes && !w.contains(','));
        FUZZ_CHECK(row == 0 || list[row - 1] <= w);
        const int index = words.itemData(row);
        FUZZ_CHECK(index >= 1 && index <= words.Help_Count());
        FUZZ_CHECK(words.helpText(index).size() <= HelpWords::kMaxHelpTextBytes + 1);
        const HelpWords::Match m = words.match(w.left(1 + row % w.size()));
        FUZZ_CHECK(m.row >= 0 && m.row <= row &&
                   list[m.row].startsWith(w.left(1 + row % w.size())));
    }
    return 0;
}
