#include "editor/help_words.h"

#include "core/text_file.h"

#include <algorithm>
#include <numeric>

namespace quv {

namespace {
bool endsWord(char c) {
    return static_cast<unsigned char>(c) < 32 || c == ',';
}
bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}
}  // namespace

const QStringList& HelpWords::fileNames() {
    static const QStringList names{QStringLiteral("funct1.txt"), QStringLiteral("funct2.txt"),
                                   QStringLiteral("funct3.txt")};
    return names;
}

HelpWords::HelpWords() : helpText_(kHelpTextSize) {}

void HelpWords::clear() {
    helpText_.fill(QString());
    count_ = 0;
    sorted_.clear();
    sortedData_.clear();
}

void HelpWords::loadAll(const QDir& folder) {
    clear();
    for (const QString& name : fileNames()) loadFile(folder.filePath(name));
}

void HelpWords::loadFile(const QString& path) {
    // A missing or unreadable word file adds no words.
    if (const ReadResult read = readWholeFile(path, kMaxFileBytes); read.bytes)
        loadBytes(*read.bytes);
}

void HelpWords::loadBytes(const QByteArray& bytes) {
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && isBlank(bytes[i])) ++i;
        if (i >= n) break;
        const qsizetype start = i;
        while (i < n && !endsWord(bytes[i])) ++i;
        if (i > start) {
            // Once the table is full the rest is left out, help texts too.
            if (count_ >= kMaxWords) break;
            ++count_;
            sorted_ << QString::fromLatin1(bytes.constData() + start,
                                           std::min(i - start, kMaxWordBytes));
            sortedData_ << count_;
        }
        if (i < n && bytes[i] == ',') {
            ++i;
            const qsizetype helpStart = i;
            while (i < n && static_cast<unsigned char>(bytes[i]) >= 32) ++i;
            helpText_[count_] =
                QLatin1Char(' ') + QString::fromLatin1(bytes.constData() + helpStart,
                                                       std::min(i - helpStart, kMaxHelpTextBytes));
        }
    }
    sortWords();
}

void HelpWords::sortWords() {
    QVector<int> order(sorted_.size());
    std::iota(order.begin(), order.end(), 0);
    // Equal words keep the order in which they were read.
    std::stable_sort(order.begin(), order.end(),
                     [this](int a, int b) { return sorted_[a] < sorted_[b]; });
    QStringList words;
    QVector<int> data;
    words.reserve(order.size());
    data.reserve(order.size());
    for (int k : order) {
        words << sorted_[k];
        data << sortedData_[k];
    }
    sorted_ = words;
    sortedData_ = data;
}

const QString& HelpWords::helpText(int index) const {
    static const QString none;
    return index >= 0 && index < helpText_.size() ? helpText_[index] : none;
}

HelpWords::Match HelpWords::match(const QString& prefix) const {
    Match m;
    if (prefix.isEmpty()) return m;
    // All words with the prefix follow one another from the first word that
    // does not sort before it.
    const auto first = std::lower_bound(sorted_.begin(), sorted_.end(), prefix);
    if (first == sorted_.end() || !first->startsWith(prefix)) return m;
    m.row = static_cast<int>(first - sorted_.begin());
    const auto next = first + 1;
    m.several = next != sorted_.end() && next->startsWith(prefix);
    return m;
}

}  // namespace quv
