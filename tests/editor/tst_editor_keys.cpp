// The editor's own reactions to real key events: Enter with its indentation,
// the braces, block indent and unindent, the caret's line, and the help list
// that follows the typed word and completes it; the help texts and the reload.
#include "editor_fixture.h"

#include <QtTest>

using quv::test::EditorFixture;

namespace {
const QByteArray kWords =
    "printf, formatted output\r\nputc, writes a character\r\nprint, plain\r\nwhile\r\n";
}  // namespace

class TestEditorKeys : public QObject {
    Q_OBJECT
  private slots:
    void keys_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<QString>("shown");  // the selected entry of the shown help list
        QTest::addColumn<QString>("tip");    // the help list's tool tip
        const auto row = [](const char* name, const char* text, const char* keys,
                            const char* result, const char* shown = "",
                            const char* tip = "C intructions help") {
            QTest::newRow(name) << QByteArray(text) << QString(keys) << QByteArray(result)
                                << QString(shown) << QString(tip);
        };
        // Enter copies the blanks that begin the caret's line; on the first
        // line and at a line's start the control's own Enter runs and the
        // key is not remembered, so a brace after it stays plain.
        row("first line", "\ta|bc", "<Return>{", "\ta\r\n{|bc");
        row("start of a line", "x\r\n|\tabc", "<Return>{", "x\r\n\r\n{|\tabc");
        row("before a selection", "x\r\n\t\t[ab]c", "<Return>", "x\r\n\t\t\r\n\t\t|abc");
        row("blanks only", "x\r\n |\t \r\n\tnext", "<Return>", "x\r\n \r\n \t |\t \r\n\tnext");
        row("no indentation", "x\r\nab|c", "<Return>", "x\r\nab\r\n|c");
        row("twice", "x\r\n\tab|", "<Return><Return>", "x\r\n\tab\r\n\t\r\n\t|");
        // "{" right after Enter opens a level, "}" takes one back.
        row("{ after Enter", "x\r\n\tif (a)|", "<Return>{", "x\r\n\tif (a)\r\n\t{\r\n\t\t|");
        row("{ with AltGr", "x\r\n\tif (a)|", "<Return><Ctrl+Alt+{>",
            "x\r\n\tif (a)\r\n\t{\r\n\t\t|");
        row("{ after a letter", "x\r\n\tif (a)|", "<Return>a{", "x\r\n\tif (a)\r\n\ta{|");
        row("{ with no Enter", "x\r\n\tif (a)|", "{", "x\r\n\tif (a){|");
        row("} after Enter", "x\r\n\t\tfoo;|", "<Return>}", "x\r\n\t\tfoo;\r\n\t}|");
        row("} without indentation", "x\r\nfoo;|", "<Return>}", "x\r\nfoo;\r\n}|");
        row("} after a letter", "x\r\n\tfoo;|", "<Return>a}", "x\r\n\tfoo;\r\n\ta}|");
        row("} keeps a line break", "x\r\n\tfoo;|", "<Return><Home>}", "x\r\n\tfoo;\r\n}|\t");
        row("} keeps a letter", "x\r\n\tfoo;|", "<Return><Left><Left><Left><Left><Left>}",
            "x\r\n\tf}|oo;\r\n\t");
        row("Auto Indent off", "x\r\n\tif (a)|", "<AutoIndent off><Return>{}",
            "x\r\n\tif (a)\r\n{}|");
        // Tab and Shift+Tab on two or more selected characters.
        row("block", "[ab\r\ncd\r\nef]", "<Tab>", "[\tab\r\n\tcd\r\n\tef]");
        row("block, Auto Indent off", "[ab\r\ncd]", "<AutoIndent off><Tab>", "[\tab\r\n\tcd]");
        row("block ends on a line break", "[ab\r\ncd\r\n]ef", "<Tab>", "[\tab\r\n\tcd\r\n]ef");
        row("block starts mid-line", "a[b\r\ncd\r\nef]", "<Tab>", "a[\tb\r\n\tcd\r\n\tef]");
        row("one character", "a[b]c", "<Tab>", "a\t|c");
        // A following line is indented only when two of its characters are in
        // the block; each line gets or loses one Tab at most.
        row("one character of the last line", "[ab\r\nc]", "<Tab>", "[\tab\r\nc]");
        row("empty lines", "[\r\n\r\n\r\n]", "<Tab>", "[\t\r\n\t\r\n\t\r\n]");
        row("unindent", "[\tab\r\ncd\r\n\t\tef]", "<Shift+Tab>", "[ab\r\ncd\r\n\tef]");
        row("unindent, two characters of the last line", "[ab\r\n\tc]", "<Shift+Tab>", "[ab\r\nc]");
        row("Shift let go", "[\tab\r\n\tcd]", "<Shift+Tab><Tab>", "[\tab\r\n\tcd]");
        row("Esc types nothing", "a|", "<Esc>", "a|");
        // The help list with the words print, printf, putc and while.
        row("several match: the first selected", "x |", "pr", "x pr|", "print");
        row("several match: Tab stays a Tab", "x |", "pr<Tab>", "x pr\t|");
        row("one match: Tab completes", "int a;|\r\n", " pu<Tab>", "int a; putc|\r\n");
        row("one match: Enter in the list", "int a;|\r\n", " pu<ListReturn>", "int a; putc|\r\n");
        row("one match: a double click", "int a;|\r\n", " pu<DoubleClick>", "int a; putc|\r\n");
        row("the next word starts afresh", "int a;|", " pu<Tab>(pu<Tab>", "int a; putc(putc|");
        row("no match hides the list", ";|", "puc<Hover>", ";puc|");
        row("the help of the word", ";|", "pu<Hover>", ";pu|", "putc", "  writes a character");
        row("the help follows the word", ";|", "pu<Hover><Backspace>r<Hover>", ";pr|", "print",
            "  plain");
        row("Backspace filters again", ";|", "puc<Backspace>", ";pu|", "putc");
        row("Backspace shortens the word", ";|", "pu<Backspace><Tab>", ";p\t|");
        row("Backspace to nothing", ";|", "p<Backspace>", ";|");
        row("Backspace with no word", ";;|", "<Backspace>pu<Tab>", ";putc|");
        row("a word at the very start", "|\r\nmain", "pu<Tab>", "putc|\r\nmain");
        row("a digit 0 ends a word", "x |", "0pu<Tab>", "x 0putc|");
        row("a digit 1 does not", "x |", "w1<Tab>", "x w1\t|");
        row("an arrow ends the word", "x |", "pu<Left><Right><Tab>", "x pu\t|");
        row("a click ends the word", "x |", "pu<Click><Tab>", "x pu\t|");
        row("Control alone keeps it", "x |", "pu<Ctrl><Tab>", "x putc|");
        row("a command key ends it", "x |", "pu<Ctrl+C><Tab>", "x pu\t|");
        row("Esc in the list hides it", ";|", "wh<ListEsc>", ";wh|");
    }
    void keys() {
        QFETCH(QByteArray, text);
        QFETCH(QString, keys);
        EditorFixture f(kWords);
        f.setMarked(text);
        f.press(keys);
        QTEST(f.marked(), "result");
        QTEST(f.shownEntry(), "shown");
        QTEST(f.list->toolTip(), "tip");
        // The status bar shows the line where the caret or the selection starts.
        QCOMPARE(f.line, QString::number(f.editor->lineOf(f.editor->selectionStart()) + 1));
    }

    void theReloadReadsTheWordsAgain() {
        EditorFixture f(kWords);
        f.wordFile("funct3.txt", "added\r\n");
        f.subsystem->loadHelpLists();
        QCOMPARE(f.list->count(), 5);
        QVERIFY(f.list->item(0)->text() == "added" && f.list->item(0)->data(Qt::UserRole) == 5);
    }
};

QTEST_MAIN(TestEditorKeys)
#include "tst_editor_keys.moc"
