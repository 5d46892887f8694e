// The editor's reactions to real key events: Enter with its indentation, the
// braces, block indent and unindent, Esc, the line in the status bar, the
// clipboard commands; and the step-by-step scans they replace.
#include "app/documents.h"
#include "app/status_panels.h"
#include "editor/editing_rules.h"
#include "editor/find_dialog.h"
#include "editor/instruction_help.h"
#include "editor_fixture.h"
#include "transfer/transfer_commands.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QListWidget>
#include <QRandomGenerator>
#include <QtTest>

using namespace quv;
using quv::test::EditorFixture;

namespace {

// Block indent and unindent as stated, one Tab and one search at a time on
// the control, with its own find between two positions.
void literalBlock(SourceEditor& e, bool unindent) {
    int n = e.selectionLength();
    const int p = e.selectionStart();
    e.select(p, 0);
    for (;;) {
        if (unindent) {
            const int caret = e.selectionStart();
            e.select(caret, 1);
            if (e.selectedBytes() == "\t") {
                --n;
                e.replaceSelectionBytes(QByteArray());
            } else {
                e.select(caret, 0);
            }
        } else {
            ++n;
            e.replaceSelectionBytes("\t");
        }
        const int found = e.search("\r\n", e.selectionStart(), p + n - 2);
        if (found < 0) break;
        e.select(found + 2, 0);
    }
    e.select(p, n);
}

// The start of the caret's line found by stepping back one position at a
// time, and the blanks from there to the end of the line.
QByteArray literalEnter(const SourceEditor& e, int p) {
    const int line = e.lineOf(p);
    int q = p;
    while (q >= 0 && e.lineOf(q) >= line) --q;
    const int start = q + 1;
    QByteArray indent;
    for (int at = start; e.charAt(at) >= 0 && e.charAt(at) <= 32; ++at) {
        if (e.charAt(at) == '\r' || e.charAt(at) == '\n') break;
        indent += static_cast<char>(e.charAt(at));
    }
    const QByteArray text = e.bytes();
    return text.left(p) + "\r\n" + indent + text.mid(p);
}

QByteArray randomLines(QRandomGenerator& rng, int count) {
    QByteArray text;
    static const char* const leads[] = {"", "", "\t", "\t\t", "  ", " \t", "\t \t"};
    for (int i = 0; i < count; ++i) {
        text += leads[rng.bounded(7)];
        const int len = rng.bounded(6) == 0 ? 1000 + static_cast<int>(rng.bounded(600))
                                            : static_cast<int>(rng.bounded(12));
        for (int k = 0; k < len; ++k) text += "ab cd\t"[rng.bounded(6)];
        if (i + 1 < count) text += "\r\n";
    }
    return text;
}

}  // namespace

class TestEditingRules : public QObject {
    Q_OBJECT
  private slots:
    void enterCopiesTheIndentation_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("length");
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<int>("caret");
        QTest::addColumn<bool>("handled");  // Last_Key became 13
        QTest::newRow("first line")
            << QByteArray("\tabc") << 2 << 0 << QByteArray("\ta\r\nbc") << 4 << false;
        QTest::newRow("start of a line")
            << QByteArray("x\r\n\tabc") << 3 << 0 << QByteArray("x\r\n\r\n\tabc") << 5 << false;
        QTest::newRow("two Tabs") << QByteArray("x\r\n\t\tabc") << 7 << 0
                                  << QByteArray("x\r\n\t\tab\r\n\t\tc") << 11 << true;
        QTest::newRow("with a selection") << QByteArray("x\r\n\t\tabc") << 5 << 2
                                          << QByteArray("x\r\n\t\t\r\n\t\tabc") << 9 << true;
        QTest::newRow("blanks only, text after")
            << QByteArray("x\r\n \t \r\n\tnext") << 4 << 0
            << QByteArray("x\r\n \r\n \t \t \r\n\tnext") << 9 << true;
        QTest::newRow("no indentation")
            << QByteArray("x\r\nabc") << 5 << 0 << QByteArray("x\r\nab\r\nc") << 7 << true;
    }
    void enterCopiesTheIndentation() {
        QFETCH(QByteArray, text);
        QFETCH(int, position);
        QFETCH(int, length);
        QFETCH(QByteArray, result);
        QFETCH(int, caret);
        QFETCH(bool, handled);
        EditorFixture f;
        f.startEditor();
        f.setText(text, position, length);
        f.editor().setFocus();
        f.subsystem().rules().Last_Key = 'q';
        f.key(Qt::Key_Return);
        QCOMPARE(f.editor().bytes(), result);
        QCOMPARE(f.editor().selectionStart(), caret);
        QCOMPARE(f.subsystem().rules().Last_Key, handled ? 13 : int('q'));
        QVERIFY(f.window->documents().Source_changed);
    }

    void bracesAfterEnter() {
        EditorFixture f;
        f.startEditor();
        // "{" lands on the new line and opens one more level.
        f.setText("x\r\n\tif (a)", 10);
        f.key(Qt::Key_Return);
        f.type("{");
        QCOMPARE(f.editor().bytes(), QByteArray("x\r\n\tif (a)\r\n\t{\r\n\t\t"));
        QCOMPARE(f.editor().selectionStart(), f.editor().length());
        QCOMPARE(f.subsystem().rules().Last_Key, int('{'));
        // A brace typed with AltGr (Control and Alt) is a brace all the same.
        f.setText("x\r\n\tif (a)", 10);
        f.key(Qt::Key_Return);
        QTest::keyClick(&f.editor(), '{', Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(f.editor().bytes(), QByteArray("x\r\n\tif (a)\r\n\t{\r\n\t\t"));
        // "}" right after an indented Enter takes one indentation character.
        f.setText("x\r\n\t\tfoo;", 9);
        f.key(Qt::Key_Return);
        f.type("}");
        QCOMPARE(f.editor().bytes(), QByteArray("x\r\n\t\tfoo;\r\n\t}"));
        // Without indentation the brace is typed as usual.
        f.setText("x\r\nfoo;", 7);
        f.key(Qt::Key_Return);
        f.type("}");
        QCOMPARE(f.editor().bytes(), QByteArray("x\r\nfoo;\r\n}"));
        // A brace later, after another character, is plain too.
        f.setText("x\r\n\tfoo;", 8);
        f.key(Qt::Key_Return);
        f.type("a}");
        QCOMPARE(f.editor().bytes(), QByteArray("x\r\n\tfoo;\r\n\ta}"));
    }

    void aClosingBraceNeverTakesALineBreakOrALetter() {
        EditorFixture f;
        f.startEditor();
        f.setText("x\r\n\tfoo;", 8);
        f.key(Qt::Key_Return);
        f.key(Qt::Key_Home);  // the caret at the start of the new line
        f.type("}");
        QCOMPARE(f.editor().bytes(), QByteArray("x\r\n\tfoo;\r\n}\t"));
        f.setText("x\r\n\tfoo;", 8);
        f.key(Qt::Key_Return);
        f.editor().setCaretPosition(5);  // after "\tf"
        f.type("}");
        QCOMPARE(f.editor().bytes().left(10), QByteArray("x\r\n\tf}oo;\r"));
    }

    void withoutAutoIndentEnterAndBracesArePlain() {
        EditorFixture f;
        f.startEditor({{keys::kAutoIndent, "False"}});
        f.setText("x\r\n\tif (a)", 10);
        f.key(Qt::Key_Return);
        f.type("{}");
        QCOMPARE(f.editor().bytes(), QByteArray("x\r\n\tif (a)\r\n{}"));
        QCOMPARE(f.subsystem().rules().Last_Key, 0);
        // Block indentation still works.
        f.setText("ab\r\ncd", 0, 6);
        f.key(Qt::Key_Tab);
        QCOMPARE(f.editor().bytes(), QByteArray("\tab\r\n\tcd"));
        // The menu toggles the rules at once.
        f.window->menuItem("AutoIndent")->trigger();
        f.setText("x\r\n\tab", 6);
        f.key(Qt::Key_Return);
        QCOMPARE(f.editor().bytes(), QByteArray("x\r\n\tab\r\n\t"));
    }

    void blockIndentAndUnindent_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<int>("selected");
        QTest::newRow("whole text") << QByteArray("ab\r\ncd\r\nef") << 0 << 10 << false
                                    << QByteArray("\tab\r\n\tcd\r\n\tef") << 13;
        QTest::newRow("ends on a line break") << QByteArray("ab\r\ncd\r\nef") << 0 << 8 << false
                                              << QByteArray("\tab\r\n\tcd\r\nef") << 10;
        QTest::newRow("starts mid-line") << QByteArray("ab\r\ncd\r\nef") << 1 << 9 << false
                                         << QByteArray("a\tb\r\n\tcd\r\n\tef") << 12;
        QTest::newRow("one character: a plain Tab")
            << QByteArray("abc") << 1 << 1 << false << QByteArray("a\tc") << 0;
        QTest::newRow("unindent") << QByteArray("\tab\r\ncd\r\n\t\tef") << 0 << 13 << true
                                  << QByteArray("ab\r\ncd\r\n\tef") << 11;
        QTest::newRow("unindent mid-line") << QByteArray("a\tb\r\n\tcd\r\n\tef") << 1 << 11 << true
                                           << QByteArray("ab\r\ncd\r\nef") << 8;
        QTest::newRow("unindent ends on a line break")
            << QByteArray("\tab\r\n\tcd\r\n\tef") << 0 << 10 << true
            << QByteArray("ab\r\ncd\r\n\tef") << 8;
    }
    void blockIndentAndUnindent() {
        QFETCH(QByteArray, text);
        QFETCH(int, position);
        QFETCH(int, length);
        QFETCH(bool, shift);
        QFETCH(QByteArray, result);
        QFETCH(int, selected);
        EditorFixture f;
        f.startEditor();
        f.setText(text, position, length);
        if (shift)
            f.key(Qt::Key_Backtab, Qt::ShiftModifier);
        else
            f.key(Qt::Key_Tab);
        QCOMPARE(f.editor().bytes(), result);
        QCOMPARE(f.editor().selectionLength(), selected);
        if (selected) QCOMPARE(f.editor().selectionStart(), position);
        QVERIFY(!f.subsystem().rules().ShiftKey);  // the key went up again
    }

    void blockRulesEqualTheStatedStepsOnGeneratedTexts() {
        EditorFixture f;
        f.startEditor();
        SourceEditor literal;
        QRandomGenerator rng(99);
        for (int round = 0; round < 150; ++round) {
            const QByteArray text = randomLines(rng, 1 + static_cast<int>(rng.bounded(8)));
            const int len = static_cast<int>(text.size());
            if (len < 2) continue;
            const int start = static_cast<int>(rng.bounded(len - 1));
            const int count = 2 + static_cast<int>(rng.bounded(len - start - 1));
            const bool shift = rng.bounded(2) == 1;
            f.setText(text, start, count);
            literal.setBytes(text);
            literal.select(f.editor().selectionStart(), f.editor().selectionLength());
            literalBlock(literal, shift);
            if (shift)
                f.key(Qt::Key_Backtab, Qt::ShiftModifier);
            else
                f.key(Qt::Key_Tab);
            QVERIFY2(f.editor().bytes() == literal.bytes(), qPrintable(QString::number(round)));
            QCOMPARE(f.editor().selectionStart(), literal.selectionStart());
            QCOMPARE(f.editor().selectionLength(), literal.selectionLength());
        }
    }

    void enterEqualsTheStepBackScanOnGeneratedTexts() {
        EditorFixture f;
        f.startEditor();
        QRandomGenerator rng(5);
        int tried = 0;
        for (int round = 0; round < 120; ++round) {
            const QByteArray text = randomLines(rng, 2 + static_cast<int>(rng.bounded(6)));
            f.setText(text);
            const int p = static_cast<int>(rng.bounded(static_cast<int>(text.size()) + 1));
            f.editor().select(p, 0);
            const int at = f.editor().selectionStart();
            const int line = f.editor().lineOf(at);
            if (line == 0 || f.editor().lineStart(line) == at) continue;
            const QByteArray expected = literalEnter(f.editor(), at);
            f.key(Qt::Key_Return);
            QCOMPARE(f.editor().bytes(), expected);
            ++tried;
        }
        QVERIFY(tried > 60);
    }

    void escHidesTheFindDialogAndStopsTheWait() {
        EditorFixture f;
        MainWindow& w = f.startEditor();
        // In an empty document no rule runs.
        f.key(Qt::Key_Escape);
        QCOMPARE(w.transfer().state().ReceiveTerminal, QString());
        f.type("a");
        QCOMPARE(f.editor().bytes(), QByteArray("a"));
        w.menuItem("find")->trigger();
        QVERIFY(f.subsystem().Findtext().isVisible());
        f.editor().setFocus();
        f.key(Qt::Key_Escape);
        QVERIFY(!f.subsystem().Findtext().isVisible());
        QCOMPARE(w.transfer().state().ReceiveTerminal, QString("ESC"));
        QCOMPARE(f.editor().bytes(), QByteArray("a"));
    }

    void theLinePanelFollowsTheCaret() {
        EditorFixture f;
        MainWindow& w = f.startEditor();
        f.setText("one\r\ntwo\r\nthree");
        f.type("x");
        QCOMPARE(w.StatusBar1()->panelText("Line"), QString("1"));
        f.key(Qt::Key_Down);
        f.key(Qt::Key_Down);
        QCOMPARE(w.StatusBar1()->panelText("Line"), QString("3"));
        // A selection shows the line of its start.
        f.editor().select(6, 8);
        QTRY_COMPARE(w.StatusBar1()->panelText("Line"), QString("2"));
    }

    void arrowsAndClicksEndTheHelpWord() {
        EditorFixture f;
        f.wordFile("funct1.txt", "print\r\nprintf\r\n");
        MainWindow& w = f.startEditor();
        f.setText("x ", 2);
        f.type("pr");
        QVERIFY(w.List1()->isVisible());
        f.key(Qt::Key_Left);
        QVERIFY(!w.List1()->isVisible());
        QCOMPARE(f.subsystem().help().Current_Word, QString());
        f.type("pr");
        QVERIFY(w.List1()->isVisible());
        QTest::mouseClick(f.editor().viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!w.List1()->isVisible());
        QCOMPARE(f.subsystem().help().Current_Word, QString());
        QCOMPARE(f.subsystem().help().Current_Word_pos, -1);
        // A command key ends the word too; Shift alone does not.
        f.type("pr");
        QTest::keyClick(&f.editor(), Qt::Key_Shift, Qt::ShiftModifier);
        QCOMPARE(f.subsystem().help().Current_Word, QString("pr"));
        f.key(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!w.List1()->isVisible());
        QCOMPARE(f.subsystem().help().Current_Word, QString());
    }

    void clipboardCommands() {
        EditorFixture f;
        MainWindow& w = f.startEditor();
        f.setText("alpha beta\r\n", 6, 4);
        w.documents().Source_changed = false;
        w.menuItem("Copy")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("beta"));
        QVERIFY(!w.documents().Source_changed);
        w.menuItem("Cut")->trigger();
        QCOMPARE(f.editor().bytes(), QByteArray("alpha \r\n"));
        QVERIFY(w.documents().Source_changed);
        QGuiApplication::clipboard()->setText(QString::fromUtf8("one\ntwo \u00e9"));
        f.editor().select(0, 5);
        w.menuItem("Paste")->trigger();
        QCOMPARE(f.editor().bytes(), QByteArray("one\r\ntwo \xe9 \r\n"));
        QCOMPARE(f.editor().selectionStart(), 10);
    }
};

QTEST_MAIN(TestEditingRules)
#include "tst_editing_rules.moc"
