// Goto line: the dialog with what users type into it, and Goto_line on the
// control against the walk position by position on generated texts.
#include "editor/goto_line.h"
#include "editor_fixture.h"
#include "literal_goto.h"
#include "support/sample_text.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QtTest>

using namespace quv;
using quv::test::EditorFixture;
using quv::test::numberedLines;

class TestGotoLine : public QObject {
    Q_OBJECT
  private slots:
    void theDialog() {
        EditorFixture f;
        MainWindow& w = f.startEditor();
        w.menuItem("goto")->trigger();
        GotoDialog& d = f.subsystem().Gotoline();
        QVERIFY(d.isVisible());
        QCOMPARE(d.objectName(), QString("Gotoline"));
        QCOMPARE(d.windowTitle(), QString("Goto"));
        QCOMPARE(d.size(), QSize(174, 57));
        QCOMPARE(d.findChild<QLabel*>("Label1")->text(), QString("Goto line"));
        QCOMPARE(d.findChild<QLabel*>("Label1")->geometry(), QRect(20, 16, 49, 17));
        QCOMPARE(d.Text1()->geometry(), QRect(76, 12, 57, 25));
        QTRY_VERIFY(d.Text1()->hasFocus());
    }

    void whatIsTyped_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("line");  // 1-based line the caret starts
        QTest::newRow("1") << "1" << 1;
        QTest::newRow("7") << "7" << 7;
        QTest::newRow("0") << "0" << 1;
        QTest::newRow("negative") << "-5" << 1;
        QTest::newRow("nothing") << "" << 1;
        QTest::newRow("letters") << "abc" << 1;
        QTest::newRow("12abc") << "12abc" << 12;
        QTest::newRow("blanks and a half") << " 3.5" << 3;
    }
    void whatIsTyped() {
        QFETCH(QString, typed);
        QFETCH(int, line);
        EditorFixture f;
        MainWindow& w = f.startEditor();
        f.setText(numberedLines(30), 40);
        w.menuItem("goto")->trigger();
        GotoDialog& d = f.subsystem().Gotoline();
        QTest::keyClicks(d.Text1(), typed);
        QTest::keyClick(d.Text1(), Qt::Key_Return);
        QCOMPARE(f.editor().selectionStart(), f.editor().lineStart(line - 1));
        QCOMPARE(f.editor().selectionLength(), 0);
        QVERIFY(!d.isVisible());
        w.menuItem("goto")->trigger();
        QCOMPARE(d.Text1()->text(), QString());
    }

    void pastTheEnd() {
        EditorFixture f;
        f.startEditor();
        f.setText("short\r\nlast line");
        qint32 n = 2;  // the third line does not exist
        Goto_line(f.editor(), n);
        QCOMPARE(f.editor().selectionStart(), f.editor().length());
        n = 99999;
        Goto_line(f.editor(), n);
        QCOMPARE(f.editor().selectionStart(), f.editor().length());
        // A negative index is set to 0 for the caller too.
        n = -3;
        Goto_line(f.editor(), n);
        QCOMPARE(n, 0);
        QCOMPARE(f.editor().selectionStart(), 0);
        // A long last line: 1000 positions after its start.
        f.setText("a\r\n" + QByteArray(5000, 'b'));
        n = 7;
        Goto_line(f.editor(), n);
        QCOMPARE(f.editor().selectionStart(), 1003);
    }

    void theCaretIsKeptInView() {
        EditorFixture f;
        f.startEditor();
        f.setText(numberedLines(5000));
        qint32 n = 4000;
        Goto_line(f.editor(), n);
        const int first =
            static_cast<int>(f.editor().SendScintilla(QsciScintilla::SCI_GETFIRSTVISIBLELINE));
        const int shown =
            static_cast<int>(f.editor().SendScintilla(QsciScintilla::SCI_LINESONSCREEN));
        QVERIFY2(first <= 4000 && 4000 <= first + shown, qPrintable(QString::number(first)));
    }

    void equalsTheWalkOnGeneratedTexts() {
        EditorFixture f;
        f.startEditor();
        QRandomGenerator rng(31);
        static const int longLengths[] = {998, 999, 1000, 1001, 1002, 1700};
        for (int round = 0; round < 60; ++round) {
            QByteArray text;
            const int count = 1 + static_cast<int>(rng.bounded(9));
            for (int i = 0; i < count; ++i) {
                const int len = rng.bounded(4) == 0 ? longLengths[rng.bounded(6)]
                                                    : static_cast<int>(rng.bounded(30));
                text += QByteArray(len, 'x');
                if (i + 1 < count || rng.bounded(2)) text += "\r\n";
            }
            f.setText(text);
            for (qint32 line = 0; line <= f.editor().lines() + 2; ++line) {
                const qint64 expected = quv::test::literalGoto(EditorLines(f.editor()), line);
                qint32 n = line;
                Goto_line(f.editor(), n);
                QVERIFY2(f.editor().selectionStart() == expected,
                         qPrintable(QString("round %1 line %2").arg(round).arg(line)));
            }
        }
    }
};

QTEST_MAIN(TestGotoLine)
#include "tst_goto_line.moc"
