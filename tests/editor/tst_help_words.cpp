// The word files' byte rules, the numbering and its limit, and the match of a
// typed prefix against a literal walk over every entry.
#include "editor/help_words.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace quv;

namespace {

QString helpOf(const HelpWords& h, const QString& word) {
    const int row = static_cast<int>(h.words().indexOf(word));
    return row < 0 ? QStringLiteral("<no word>") : h.helpText(h.itemData(row));
}

// The walk over every entry in list order: the first entry whose first n
// characters equal the prefix, and whether two or more do.
HelpWords::Match walk(const QStringList& entries, const QString& prefix) {
    HelpWords::Match m;
    int count = 0;
    for (int i = 0; i < entries.size(); ++i) {
        if (entries[i].left(prefix.size()) == prefix) {
            if (++count == 1) m.row = i;
        }
    }
    m.several = count >= 2;
    return m;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

}  // namespace

class TestHelpWords : public QObject {
    Q_OBJECT
  private slots:
    void wordsAndHelpTextsFollowTheByteRules() {
        HelpWords h;
        h.loadBytes(
            "printf, writes formatted text\r\n"
            "  \t putc\r\n"           // blanks before a word are skipped
            "long int, a, b and c\n"  // blanks inside a word stay; commas in help
            "tab\tnext\r\n"           // a control byte ends a word
            "caf\xe9, \xe0 la carte\r\n"
            "last, no line break");
        QCOMPARE(h.words(),
                 (QStringList{"caf\u00e9", "last", "long int", "next", "printf", "putc", "tab"}));
        QCOMPARE(helpOf(h, "printf"), QString("  writes formatted text"));
        QCOMPARE(helpOf(h, "putc"), QString());
        QCOMPARE(helpOf(h, "long int"), QString("  a, b and c"));
        QCOMPARE(helpOf(h, "tab"), QString());
        QCOMPARE(helpOf(h, "caf\u00e9"), QString("  \u00e0 la carte"));
        QCOMPARE(helpOf(h, "last"), QString("  no line break"));
        QCOMPARE(h.Help_Count(), 7);
        // Numbers follow the file order whatever the sorted order.
        QCOMPARE(h.itemData(static_cast<int>(h.words().indexOf("printf"))), 1);
        QCOMPARE(h.itemData(static_cast<int>(h.words().indexOf("last"))), 7);
    }

    void aLineStartingWithACommaReplacesThePreviousHelp() {
        HelpWords h;
        h.loadBytes(", before any word\r\nputs, first\r\n  , second\r\nfree");
        QCOMPARE(h.words(), (QStringList{"free", "puts"}));
        QCOMPARE(helpOf(h, "puts"), QString("  second"));
        QCOMPARE(h.helpText(0), QString("  before any word"));
        QCOMPARE(h.Help_Count(), 2);
    }

    void emptyAndBlankFilesAddNothing() {
        HelpWords h;
        h.loadBytes("");
        h.loadBytes(" \t\r\n\r\n \x01\x1f");
        QVERIFY(h.words().isEmpty());
        QCOMPARE(h.Help_Count(), 0);
        // A comma at the very end leaves an empty help text.
        h.loadBytes("x,");
        QCOMPARE(h.words(), QStringList{"x"});
        QCOMPARE(helpOf(h, "x"), QString(" "));
    }

    void theThreeFilesLoadInOrderAndAMissingOneIsSkipped() {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("funct1.txt"), "zeta, from one\r\n"));
        QVERIFY(writeFile(dir.filePath("funct3.txt"), "alpha, from three"));
        HelpWords h;
        h.loadAll(QDir(dir.path()));
        QCOMPARE(h.words(), (QStringList{"alpha", "zeta"}));
        QCOMPARE(h.itemData(0), 2);
        QCOMPARE(helpOf(h, "alpha"), QString("  from three"));
        // A reload starts the numbering again and forgets old help texts.
        QVERIFY(writeFile(dir.filePath("funct1.txt"), "zeta\r\n"));
        for (int i = 0; i < 3; ++i) h.loadAll(QDir(dir.path()));
        QCOMPARE(h.Help_Count(), 2);
        QCOMPARE(helpOf(h, "zeta"), QString());
        // A folder in place of a file is skipped too.
        QVERIFY(QDir(dir.path()).mkdir("funct2.txt"));
        h.loadAll(QDir(dir.path()));
        QCOMPARE(h.words().size(), 2);
    }

    void moreWordsThanTheTableHoldsKeepsTheFirst() {
        QByteArray file;
        for (int i = 1; i <= HelpWords::kMaxWords + 3; ++i)
            file += "w" + QByteArray::number(i) + ", help " + QByteArray::number(i) + "\r\n";
        HelpWords h;
        h.loadBytes(file);
        h.loadBytes("more, and more\r\n");
        QCOMPARE(h.Help_Count(), HelpWords::kMaxWords);
        QCOMPARE(h.words().size(), HelpWords::kMaxWords);
        QVERIFY(h.words().contains("w5000"));
        QVERIFY(!h.words().contains("w5001"));
        QVERIFY(!h.words().contains("more"));
        QCOMPARE(helpOf(h, "w5000"), QString("  help 5000"));
        QCOMPARE(h.helpText(HelpWords::kHelpTextSize), QString());
    }

    void theMatchEqualsTheWalkOverEveryEntry() {
        QRandomGenerator rng(20240601);
        const QString letters = QStringLiteral("aAbBpPrR_:1\u00e9");
        const auto randomWord = [&](int maxLength) {
            QString w;
            const int n = 1 + static_cast<int>(rng.bounded(maxLength));
            for (int i = 0; i < n; ++i) w += letters[static_cast<int>(rng.bounded(letters.size()))];
            return w;
        };
        for (int round = 0; round < 300; ++round) {
            QByteArray file;
            const int n = static_cast<int>(rng.bounded(60));
            for (int i = 0; i < n; ++i) file += randomWord(5).toLatin1() + "\r\n";
            HelpWords h;
            h.loadBytes(file);
            // The list is in sorted order.
            QStringList sorted = h.words();
            std::sort(sorted.begin(), sorted.end());
            QCOMPARE(h.words(), sorted);
            for (int k = 0; k < 40; ++k) {
                const QString prefix =
                    rng.bounded(3) == 0 && !h.words().isEmpty()
                        ? h.words()[static_cast<int>(rng.bounded(h.words().size()))].left(1 + k % 3)
                        : randomWord(4);
                const HelpWords::Match fast = h.match(prefix);
                const HelpWords::Match literal = walk(h.words(), prefix);
                QVERIFY2(fast.row == literal.row && fast.several == literal.several,
                         qPrintable(prefix + " in " + h.words().join(' ')));
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestHelpWords)
#include "tst_help_words.moc"
