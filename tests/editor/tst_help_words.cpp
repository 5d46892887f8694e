// The word files' byte rules and limits, the three files of a folder (also
// when one is a pipe), and the match of a typed prefix against a literal walk
// over every entry.
#include "editor/help_words.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace quv;

namespace {

QString helpOf(const HelpWords& h, const QString& word) {
    const int row = static_cast<int>(h.words().indexOf(word));
    return row < 0 ? QStringLiteral("<no word>") : h.helpText(h.itemData(row));
}

// Each word in list order with its help text after a "=".
QStringList wordsWithHelp(const HelpWords& h) {
    QStringList out;
    for (const QString& w : h.words()) out << w + '=' + helpOf(h, w);
    return out;
}

// The walk over every entry in list order: the first entry whose first n
// characters equal the prefix, and whether two or more do.
HelpWords::Match walk(const QStringList& entries, const QString& prefix) {
    int count = 0, row = -1;
    for (int i = 0; i < entries.size(); ++i)
        if (entries[i].left(prefix.size()) == prefix && ++count == 1) row = i;
    return {row, count >= 2};
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

}  // namespace

class TestHelpWords : public QObject {
    Q_OBJECT
  private slots:
    void byteRules_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("words");  // in list order, each with its help after a "="
        QTest::newRow("words and help texts")
            << QByteArray(
                   "printf, writes formatted text\r\n"
                   "  \t putc\r\n"           // blanks before a word are skipped
                   "long int, a, b and c\n"  // blanks inside a word stay
                   "tab\tnext\r\n"           // a control byte ends a word
                   "caf\xe9, \xe0 la carte\r\n"
                   "last, no line break")
            << "caf\u00e9=  \u00e0 la carte|last=  no line break|long int=  a, b and c|next=|"
               "printf=  writes formatted text|putc=|tab=";
        QTest::newRow("a comma line replaces the help before")
            << QByteArray(", before any word\r\nputs, first\r\n  , second\r\nfree")
            << "free=|puts=  second";
        QTest::newRow("blanks only") << QByteArray(" \t\r\n\r\n \x01\x1f") << "";
        QTest::newRow("a comma at the very end") << QByteArray("x,") << "x= ";
        // Cut to the limits; the blank after the comma counts in the help.
        const QByteArray word(HelpWords::kMaxWordBytes + 50, 'w');
        const QByteArray help(HelpWords::kMaxHelpTextBytes + 50, 'h');
        QTest::newRow("cut to the limits")
            << "v" + word + "\r\nnext, short\r\n" + word + ", " + help
            << QString("next=  short|v" + word.left(HelpWords::kMaxWordBytes - 1) + "=|" +
                       word.left(HelpWords::kMaxWordBytes) + "=  " +
                       help.left(HelpWords::kMaxHelpTextBytes - 1));
    }
    void byteRules() {
        QFETCH(QByteArray, file);
        QFETCH(QString, words);
        HelpWords h;
        h.loadBytes(file);
        QCOMPARE(wordsWithHelp(h).join('|'), words);
        QCOMPARE(h.Help_Count(), words.isEmpty() ? 0 : words.count('|') + 1);
    }

    void theThreeFilesOfAFolder() {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("funct1.txt"), "zeta, from one\r\n"));
        QVERIFY(writeFile(dir.filePath("funct3.txt"), "alpha, from three"));
        // A pipe with no writer: a loader that opened it would wait for one,
        // until the alarm ends the test.
        QCOMPARE(mkfifo(QFile::encodeName(dir.filePath("funct2.txt")).constData(), 0600), 0);
        alarm(5);
        HelpWords h;
        h.loadAll(QDir(dir.path()));
        alarm(0);
        QCOMPARE(wordsWithHelp(h), (QStringList{"alpha=  from three", "zeta=  from one"}));
        QCOMPARE(h.itemData(0), 2);
        // A reload starts the numbering again and forgets old help texts; a
        // file larger than the limit is skipped, one at the limit is read.
        QVERIFY(
            writeFile(dir.filePath("funct1.txt"), QByteArray(HelpWords::kMaxFileBytes + 1, 'a')));
        QVERIFY(writeFile(dir.filePath("funct3.txt"), "alpha"));
        for (int i = 0; i < 3; ++i) h.loadAll(QDir(dir.path()));
        QCOMPARE(wordsWithHelp(h), QStringList{"alpha="});
        QCOMPARE(h.itemData(0), 1);
        QVERIFY(writeFile(dir.filePath("funct1.txt"), QByteArray(HelpWords::kMaxFileBytes, 'a')));
        h.loadAll(QDir(dir.path()));
        QCOMPARE(h.Help_Count(), 2);
    }

    void moreWordsThanTheTableHoldsKeepsTheFirst() {
        QByteArray file;
        for (int i = 1; i <= HelpWords::kMaxWords + 3; ++i)
            file += "w" + QByteArray::number(i) + ", help " + QByteArray::number(i) + "\r\n";
        HelpWords h;
        h.loadBytes(file);
        QCOMPARE(h.Help_Count(), HelpWords::kMaxWords);
        QCOMPARE(h.words().size(), HelpWords::kMaxWords);
        QCOMPARE(helpOf(h, "w5000"), QString("  help 5000"));
        QCOMPARE(helpOf(h, "w5001"), QString("<no word>"));
        QCOMPARE(h.helpText(HelpWords::kHelpTextSize), QString());
    }

    void theMatchEqualsTheWalkOverEveryEntry() {
        QRandomGenerator rng(20240601);
        const auto randomWord = [&](int maxLength) {
            QString w;
            for (int i = 0, n = 1 + rng.bounded(maxLength); i < n; ++i)
                w += QStringLiteral("aAbBpPrR_:1\u00e9")[rng.bounded(12)];
            return w;
        };
        for (int round = 0; round < 300; ++round) {
            QByteArray file;
            for (int i = 0, n = rng.bounded(60); i < n; ++i)
                file += randomWord(5).toLatin1() + "\n";
            HelpWords h;
            h.loadBytes(file);
            QStringList sorted = h.words();
            std::sort(sorted.begin(), sorted.end());
            QCOMPARE(h.words(), sorted);
            for (int k = 0; k < 40; ++k) {
                const QString prefix = randomWord(3);
                const HelpWords::Match fast = h.match(prefix);
                const HelpWords::Match literal = walk(sorted, prefix);
                QVERIFY2(fast.row == literal.row && fast.several == literal.several,
                         qPrintable(prefix + " in " + sorted.join(' ')));
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestHelpWords)
#include "tst_help_words.moc"
