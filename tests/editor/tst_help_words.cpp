// The word files' byte rules and limits, the three files of a folder (also
// when one is a pipe), and the match of a typed prefix.
#include "editor/help_words.h"

#include "support/test_files.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace quv;

namespace {

// Each word in list order with its help text after a "=".
QStringList wordsWithHelp(const HelpWords& h) {
    QStringList out;
    for (int row = 0; row < h.words().size(); ++row)
        out << h.words()[row] + '=' + h.helpText(h.itemData(row));
    return out;
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
        // Numbered so that they sort as read; the table keeps the first ones.
        QByteArray many;
        QStringList kept;
        for (int i = 1; i <= HelpWords::kMaxWords + 3; ++i) {
            const QByteArray w = QByteArray::number(10000 + i);
            many += "w" + w + ", help " + w + "\r\n";
            if (i <= HelpWords::kMaxWords) kept << "w" + w + "=  help " + w;
        }
        QTest::newRow("more words than the table holds") << many << kept.join('|');
    }
    void byteRules() {
        QFETCH(QByteArray, file);
        QFETCH(QString, words);
        HelpWords h;
        h.loadBytes(file);
        QCOMPARE(wordsWithHelp(h).join('|'), words);
        QCOMPARE(h.Help_Count(), words.isEmpty() ? 0 : words.count('|') + 1);
        QCOMPARE(h.helpText(HelpWords::kHelpTextSize), QString());
    }

    void theThreeFilesOfAFolder() {
        QTemporaryDir dir;
        QVERIFY(quv::test::writeTestFile(dir.filePath("funct1.txt"), "zeta, from one\r\n"));
        QVERIFY(quv::test::writeTestFile(dir.filePath("funct3.txt"), "alpha, from three"));
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
        QVERIFY(quv::test::writeTestFile(dir.filePath("funct1.txt"),
                                         QByteArray(HelpWords::kMaxFileBytes + 1, 'a')));
        QVERIFY(quv::test::writeTestFile(dir.filePath("funct3.txt"), "alpha"));
        for (int i = 0; i < 3; ++i) h.loadAll(QDir(dir.path()));
        QCOMPARE(wordsWithHelp(h), QStringList{"alpha="});
        QCOMPARE(h.itemData(0), 1);
        QVERIFY(quv::test::writeTestFile(dir.filePath("funct1.txt"),
                                         QByteArray(HelpWords::kMaxFileBytes, 'a')));
        h.loadAll(QDir(dir.path()));
        QCOMPARE(h.Help_Count(), 2);
    }

    void theMatchOfATypedPrefix() {
        HelpWords h;
        h.loadBytes("putc\npr\nprintf\nPrint\nw\xe9\nprint\nputc\n");
        QCOMPARE(h.words().join(' '), QString("Print pr print printf putc putc w\u00e9"));
        // The prefix, the first word with it, and whether two or more have it.
        const std::tuple<const char*, int, bool> rows[] = {
            {"", -1, false},      {"p", 1, true},      {"pr", 1, true},       {"prin", 2, true},
            {"printf", 3, false}, {"P", 0, false},     {"PR", -1, false},     {"putc", 4, true},
            {"pz", -1, false},    {"w\xe9", 6, false}, {"w\xe9x", -1, false}, {"x", -1, false}};
        for (const auto& [prefix, row, several] : rows) {
            const HelpWords::Match m = h.match(QString::fromLatin1(prefix));
            QVERIFY2(m.row == row && m.several == several, prefix);
        }
    }
};

QTEST_APPLESS_MAIN(TestHelpWords)
#include "tst_help_words.moc"
