// Block indent and unindent on text, the goto scan against a literal walk
// position by position on many generated texts, and the typed line number.
#include "editor/text_rules.h"
#include "literal_goto.h"

#include <QRandomGenerator>
#include <QtTest>

#include <limits>

using namespace quv;
using quv::test::literalGoto;

namespace {

// Lines as the editor counts them: a line ends after CR LF, a lone CR or a
// lone LF; positions past the end belong to the last line.
class ByteLines : public LineModel {
  public:
    explicit ByteLines(const QByteArray& text) : length_(text.size()) {
        starts_ << 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            if (text[i] == '\r' || text[i] == '\n') starts_ << i + 1;
        }
    }
    qint64 length() const override { return length_; }
    qint32 lineCount() const override { return static_cast<qint32>(starts_.size()); }
    qint64 lineStart(qint32 line) const override {
        return line >= starts_.size() ? length_ : starts_[line];
    }
    qint32 lineOf(qint64 position) const override {
        const auto after = std::upper_bound(starts_.begin(), starts_.end(), position);
        return static_cast<qint32>(after - starts_.begin()) - 1;
    }

  private:
    qint64 length_;
    QVector<qint64> starts_;
};

QByteArray randomText(QRandomGenerator& rng) {
    static const int lengths[] = {0, 1, 2, 5, 40, 997, 998, 999, 1000, 1001, 1002, 1500, 2600};
    static const char* const breaks[] = {"\r\n", "\r\n", "\r\n", "\n", "\r"};
    QByteArray text;
    const int lineCount = 1 + static_cast<int>(rng.bounded(12));
    for (int i = 0; i < lineCount; ++i) {
        // Mostly short lines, now and then one near or past the limit.
        const int len =
            rng.bounded(4) == 0 ? lengths[rng.bounded(13)] : static_cast<int>(rng.bounded(60));
        text += QByteArray(len, 'x');
        if (i + 1 < lineCount || rng.bounded(2)) text += breaks[rng.bounded(5)];
    }
    return text;
}

}  // namespace

class TestTextRules : public QObject {
    Q_OBJECT
  private slots:
    void blockIndent_data() {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QByteArray>("indented");
        QTest::addColumn<QByteArray>("unindented");
        QTest::newRow("two characters")
            << QByteArray("ab") << QByteArray("\tab") << QByteArray("ab");
        QTest::newRow("three lines")
            << QByteArray("ab\r\n\tcd\r\nef") << QByteArray("\tab\r\n\t\tcd\r\n\tef")
            << QByteArray("ab\r\ncd\r\nef");
        QTest::newRow("ends on a line break")
            << QByteArray("\tab\r\ncd\r\n") << QByteArray("\t\tab\r\n\tcd\r\n")
            << QByteArray("ab\r\ncd\r\n");
        // The next line is indented only when two of its characters are in
        // the block.
        QTest::newRow("one character of the last line")
            << QByteArray("ab\r\nc") << QByteArray("\tab\r\nc") << QByteArray("ab\r\nc");
        QTest::newRow("two characters of the last line")
            << QByteArray("ab\r\n\tc") << QByteArray("\tab\r\n\t\tc") << QByteArray("ab\r\nc");
        QTest::newRow("one Tab per line at most")
            << QByteArray("\t\tx\r\n\t\t\r\n\r\n\ty")
            << QByteArray("\t\t\tx\r\n\t\t\t\r\n\t\r\n\t\ty") << QByteArray("\tx\r\n\t\r\n\r\ny");
        QTest::newRow("empty lines")
            << QByteArray("\r\n\r\n\r\n") << QByteArray("\t\r\n\t\r\n\t\r\n")
            << QByteArray("\r\n\r\n\r\n");
        QTest::newRow("lone line feeds are not line breaks here")
            << QByteArray("a\nb\n\tc") << QByteArray("\ta\nb\n\tc") << QByteArray("a\nb\n\tc");
    }
    void blockIndent() {
        QFETCH(QByteArray, block);
        QFETCH(QByteArray, indented);
        QFETCH(QByteArray, unindented);
        QCOMPARE(indentBlock(block), indented);
        QCOMPARE(unindentBlock(block), unindented);
    }

    void gotoEqualsTheWalkPositionByPosition() {
        QRandomGenerator rng(7);
        int longLines = 0;
        for (int round = 0; round < 400; ++round) {
            const QByteArray text = randomText(rng);
            const ByteLines lines(text);
            const qint32 count = lines.lineCount();
            for (qint32 line = 1; line <= count + 3; ++line) {
                const qint64 expected = literalGoto(lines, line);
                QVERIFY2(gotoTarget(lines, line) == expected,
                         qPrintable(QStringLiteral("round %1 line %2: %3 instead of %4")
                                        .arg(round)
                                        .arg(line)
                                        .arg(gotoTarget(lines, line))
                                        .arg(expected)));
            }
            if (text.contains(QByteArray(1001, 'x'))) ++longLines;
        }
        QVERIFY(longLines > 50);  // the long-line cases were met often
    }

    void gotoPastTheEndStopsAtTheEnd() {
        const ByteLines lines("first\r\nsecond\r\nlast");
        QCOMPARE(gotoTarget(lines, 1), 7);
        QCOMPARE(gotoTarget(lines, 2), 15);
        QCOMPARE(gotoTarget(lines, 3), 19);  // 1000 past the last start is beyond the end
        QCOMPARE(gotoTarget(lines, std::numeric_limits<qint32>::max()), 19);
        const QByteArray longLast = "a\r\n" + QByteArray(3000, 'y');
        QCOMPARE(gotoTarget(ByteLines(longLast), 5), 1003);
        // A 1500 long line before the wanted one: the scan gives up inside it.
        const QByteArray longFirst = QByteArray(1500, 'z') + "\r\nb\r\nc";
        QCOMPARE(gotoTarget(ByteLines(longFirst), 2), 1000);
    }

    void theTypedLineNumber_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<qint32>("index");
        QTest::newRow("1") << "1" << 0;
        QTest::newRow("12") << "12" << 11;
        QTest::newRow("blanks first") << "  \t7" << 6;
        QTest::newRow("12abc") << "12abc" << 11;
        QTest::newRow("0") << "0" << -1;
        QTest::newRow("negative") << "-3" << -4;
        QTest::newRow("plus") << "+4" << 3;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("letters") << "abc" << -1;
        QTest::newRow("half to even, down") << "3.5" << 2;
        QTest::newRow("half to even, up") << "2.5" << 2;
        QTest::newRow("fraction") << "4.7" << 4;
        QTest::newRow("exponent") << "1e2" << 99;
        QTest::newRow("exponent without digits") << "5e" << 4;
        QTest::newRow("blank inside") << "1 2" << 0;
        QTest::newRow("huge") << "99999999999999" << std::numeric_limits<qint32>::max();
        QTest::newRow("huge negative") << "-99999999999999" << std::numeric_limits<qint32>::min();
        QTest::newRow("beyond doubles") << "1e999" << std::numeric_limits<qint32>::max();
        QTest::newRow("other digits") << "\u0663" << -1;
    }
    void theTypedLineNumber() {
        QFETCH(QString, typed);
        QFETCH(qint32, index);
        QCOMPARE(gotoLineIndex(typed), index);
    }
};

QTEST_APPLESS_MAIN(TestTextRules)
#include "tst_text_rules.moc"
