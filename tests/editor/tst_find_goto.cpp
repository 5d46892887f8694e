// The find and replace dialog: Find, Find Next, Replace and Replace All (which
// always ends) as a table of button presses, the whole-word option, its keys
// and the menu commands. Goto line: what users type into its dialog, and
// Goto_line on the control against the walk position by position.
#include "editor/find_dialog.h"
#include "editor/goto_line.h"
#include "editor_fixture.h"
#include "support/sample_text.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QtTest>

using namespace quv;
using quv::test::EditorFixture;

namespace {

// The goto scan as stated: from position 1 on until the line is reached or
// 1000 positions passed on one line, no further than the end of the text.
qint64 literalGoto(const SourceEditor& e, qint32 line) {
    qint64 p = 0;
    for (qint64 same = 0, previous = 0, l = -1; line > 0 && l != line && same < 1000;
         previous = l) {
        l = e.lineOf(static_cast<int>(++p));
        same = l == previous ? same + 1 : 0;
    }
    return std::min<qint64>(p, e.length());
}

}  // namespace

class TestFindGoto : public QObject {
    Q_OBJECT
  private slots:
    void buttons_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replacement");
        // W whole word; F Find, N Next, R Replace, A All; U undo
        QTest::addColumn<QString>("presses");
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<int>("foundpos");
        QTest::addColumn<int>("notFound");  // "Word not found" shown so often
        const auto row = [](const char* name, const char* text, const char* find,
                            const char* replacement, const char* presses, const char* result,
                            int foundpos, int notFound = 0) {
            QTest::newRow(name) << QByteArray(text) << QString(find) << QString(replacement)
                                << QString(presses) << QByteArray(result) << foundpos << notFound;
        };
        // Find starts at the text's start, Find Next one after the selection's.
        row("find in any case", "aa|aa", "AA", "", "F", "[aa]aa", 0);
        row("next, one position on", "|aaaa", "aa", "", "FNN", "aa[aa]", 2);
        row("nothing further", "|aaaa", "aa", "", "FNNN", "aa[aa]", -1, 1);
        row("find starts again", "|aaaa", "aa", "", "FNF", "[aa]aa", 0);
        row("inside a word", "print(x); int i;", "int", "", "F", "pr[int](x); int i;", 2);
        row("whole word", "print int i", "int", "", "WF", "print [int] i", 6);
        row("whole word, no more", "print int i", "int", "", "WFN", "print [int] i", -1, 1);
        row("nothing to find", "t|ext", "", "X", "FRA", "t|ext", -1, 2);
        // Replace changes only a selected occurrence, then finds the next.
        row("replace: other text selected", "[one] two one two", "TWO", "2", "R",
            "one [two] one two", 4);
        row("replace", "[one] two one two", "TWO", "2", "RR", "one 2 one [two]", 10);
        row("replace the last", "[one] two one two", "TWO", "2", "RRR", "one 2 one 2|", -1, 1);
        // Replace All from the selection on: an occurrence before it stays,
        // one that starts at an empty caret is skipped.
        row("all from the caret", "ab |ab ab ab", "ab", "X", "A", "ab ab X X|", -1);
        row("all with the selection", "ab [ab] ab ab", "ab", "X", "A", "ab X X X|", -1);
        row("all, one undo", "ab [ab] ab ab", "ab", "X", "AU", "ab ab| ab ab", -1);
        // Replace All ends when the replacement holds the search text.
        row("longer", "a a a", "a", "xa", "FA", "xa xa xa|", -1);
        row("doubled", "ab,ab", "ab", "abab", "FA", "abab,abab|", -1);
        row("other case", "Int int", "int", "uint", "FA", "uint uint|", -1);
        row("removing", "xxxx", "x", "", "FA", "|", -1);
        row("overlapping removal", "aaaa", "aa", "", "FA", "|", -1);
        row("joined by the insertion", "abb", "ab", "xa", "FA", "xa|b", -1);
    }
    void buttons() {
        QFETCH(QByteArray, text);
        QFETCH(QString, find);
        QFETCH(QString, replacement);
        QFETCH(QString, presses);
        QFETCH(int, notFound);
        EditorFixture f;
        f.setMarked(text);
        FindDialog& d = f.subsystem->Findtext();
        d.Text1()->setText(find);
        d.Text2()->setText(replacement);
        for (const QChar press : presses)
            press == 'U'   ? f.editor->undo()
            : press == 'W' ? d.Check1()->setChecked(true)
                           : d.button(QString(" FNR A").indexOf(press))->click();
        QTEST(f.marked(), "result");
        QTEST(d.foundpos, "foundpos");
        QCOMPARE(f.dialogs.texts(), QStringList(notFound, "Word not found"));
        for (const auto& shown : f.dialogs.messages)
            QVERIFY(shown.icon == Icon::Information && shown.title == "Ombrex");
    }

    void theKeysAndTheMenu() {
        EditorFixture f;
        f.setMarked("|aaaa");
        // F3 with nothing to look for opens the dialog.
        f.subsystem->find_next_Click();
        FindDialog& d = f.subsystem->Findtext();
        QVERIFY(d.isVisible());
        QCOMPARE(f.ownWindows, QList<QWidget*>{&d});
        QStringList controls;  // in tab order
        for (QWidget* w = d.Text1(); controls.isEmpty() || w != d.Text1();
             w = w->nextInFocusChain())
            if (w->focusPolicy() & Qt::TabFocus)
                controls << w->objectName() + ' ' + w->property("text").toString();
        QCOMPARE(controls.join('|'), QString("Text1 |Text2 |Command1 &Find|Command2  Find &Next|"
                                             "Command3 &Replace|Command4 &Cancel|Check1 |"
                                             "Command5 Replace &All"));
        QTRY_VERIFY(d.Text1()->hasFocus());
        QTest::keyClicks(d.Text1(), "AA");
        QTest::keyClick(d.Text1(), Qt::Key_Return);  // Enter runs Find
        QCOMPARE(d.foundpos, 0);
        QVERIFY(d.button(2)->hasFocus());
        QTest::keyClick(d.button(2), Qt::Key_Return);  // and then Find Next
        QCOMPARE(d.foundpos, 1);
        f.subsystem->find_next_Click();  // F3: the focus goes back to the editor
        QCOMPARE(d.foundpos, 2);
        QCOMPARE(f.backs, 1);
        QTRY_VERIFY(f.editor->hasFocus());
        // Esc hides the dialog; the menu shows it again with the search text
        // selected, the replacement cleared and the option kept.
        QTest::keyClicks(d.Text2(), "start");
        d.Check1()->setChecked(true);
        QTest::keyClick(d.Text2(), Qt::Key_Escape);
        QVERIFY(!d.isVisible());
        f.subsystem->find_Click();
        QVERIFY(d.isVisible() && d.Check1()->isChecked());
        QCOMPARE(d.Text1()->selectedText(), QString("AA"));
        QCOMPARE(d.Text2()->text(), QString());
        d.button(4)->click();  // Cancel
        QVERIFY(!d.isVisible());
    }

    void whatIsTyped_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("line");  // the 1-based line the caret starts
        QTest::newRow("12abc") << "12abc" << 12;
        QTest::newRow("nothing") << "" << 1;
        QTest::newRow("exponent") << "1e2" << 100;
        QTest::newRow("half to even, up") << "2.5" << 3;
        QTest::newRow("half to even, down") << " 3.5" << 3;
        QTest::newRow("past the end") << "99999999999999" << 121;
    }
    void whatIsTyped() {
        QFETCH(QString, typed);
        QFETCH(int, line);
        EditorFixture f;
        f.editor->setBytes(quv::test::numberedLines(120));
        f.editor->select(40, 5);
        f.subsystem->goto_Click();
        GotoDialog& d = f.subsystem->Gotoline();
        QCOMPARE(f.ownWindows, QList<QWidget*>{&d});
        QTRY_VERIFY(d.Text1()->hasFocus());
        QTest::keyClicks(d.Text1(), typed);
        QTest::keyClick(d.Text1(), Qt::Key_Return);
        QCOMPARE(f.editor->selectionStart(), f.editor->lineStart(line - 1));
        QCOMPARE(f.editor->selectionLength(), 0);
        QVERIFY(!d.isVisible() && f.backs == 1);
        QTRY_COMPARE(f.line, QString::number(line));
        // The caret's line is scrolled into view.
        const auto first = f.editor->SendScintilla(QsciScintilla::SCI_GETFIRSTVISIBLELINE);
        const auto shown = f.editor->SendScintilla(QsciScintilla::SCI_LINESONSCREEN);
        QVERIFY(first < line && line <= first + shown);
        f.subsystem->goto_Click();
        QCOMPARE(d.Text1()->text(), QString());
    }

    void equalsTheWalkOnGeneratedTexts() {
        SourceEditor e;
        QRandomGenerator rng(31);
        int longLines = 0;
        for (int round = 0; round < 150; ++round) {
            QByteArray text;
            for (int i = 0, count = 1 + rng.bounded(9); i < count; ++i) {
                // Now and then a line near or past the scan limit.
                static const int lengths[] = {998, 999, 1000, 1001, 1002, 1700, 3100};
                text += QByteArray(rng.bounded(4) ? rng.bounded(30) : lengths[rng.bounded(7)], 'x');
                if (i + 1 < count || rng.bounded(2)) text += "\r\n";
            }
            e.setBytes(text);
            longLines += text.contains(QByteArray(1001, 'x'));
            for (qint32 line = -1; line <= e.lines() + 2; ++line) {
                qint32 n = line;
                Goto_line(e, n);
                QVERIFY2(e.selectionStart() == literalGoto(e, line),
                         qPrintable(QString("round %1 line %2").arg(round).arg(line)));
                QCOMPARE(n, std::max(line, 0));  // a negative index is set to 0 for the caller
            }
        }
        QVERIFY(longLines > 40);  // the long-line cases were met often
    }
};

QTEST_MAIN(TestFindGoto)
#include "tst_find_goto.moc"
