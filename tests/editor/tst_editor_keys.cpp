// The editor's own reactions to real key events: Enter with its indentation,
// the braces, block indent and unindent, the caret's line, and the help list
// that follows the typed word and completes it; the help texts, the reload,
// and word files too large to be real.
#include "editor_fixture.h"

#include <QElapsedTimer>
#include <QtTest>

using quv::test::EditorFixture;

namespace {
const QHash<QString, QByteArray> kWords{
    {"funct1.txt", "printf, formatted output\r\nputc, writes a character\r\nprint\r\nwhile\r\n"}};
}  // namespace

class TestEditorKeys : public QObject {
    Q_OBJECT
  private slots:
    void keys_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<QString>("shown");  // the selected entry of the shown help list
        const auto row = [](const char* name, const char* text, const char* keys,
                            const char* result, const char* shown = "") {
            QTest::newRow(name) << QByteArray(text) << QString(keys) << QByteArray(result)
                                << QString(shown);
        };
        // Enter copies the blanks that begin the caret's line; on the first
        // line and at a line's start the control's own Enter runs and the
        // key is not remembered, so a brace after it stays plain.
        row("first line", "\ta|bc", "<Return>{", "\ta\r\n{|bc");
        row("start of a line", "x\r\n|\tabc", "<Return>{", "x\r\n\r\n{|\tabc");
        row("two Tabs", "x\r\n\t\tab|c", "<Return>", "x\r\n\t\tab\r\n\t\t|c");
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
        row("two characters of the last line", "[ab\r\n\tc]", "<Tab>", "[\tab\r\n\t\tc]");
        row("empty lines", "[\r\n\r\n\r\n]", "<Tab>", "[\t\r\n\t\r\n\t\r\n]");
        row("unindent", "[\tab\r\ncd\r\n\t\tef]", "<Shift+Tab>", "[ab\r\ncd\r\n\tef]");
        row("unindent one Tab each", "[\t\tx\r\n\t\t\r\n\r\n\ty]", "<Shift+Tab>",
            "[\tx\r\n\t\r\n\r\ny]");
        row("unindent, two characters of the last line", "[ab\r\n\tc]", "<Shift+Tab>", "[ab\r\nc]");
        row("unindent mid-line", "a[\tb\r\n\tcd\r\n\tef]", "<Shift+Tab>", "a[b\r\ncd\r\nef]");
        row("unindent ends on a line break", "[\tab\r\n\tcd\r\n]\tef", "<Shift+Tab>",
            "[ab\r\ncd\r\n]\tef");
        row("Shift let go", "[\tab\r\n\tcd]", "<Shift+Tab><Tab>", "[\tab\r\n\tcd]");
        row("Esc types nothing", "a|", "<Esc>", "a|");
        // The help list with the words print, printf, putc and while.
        row("several match: the first selected", "x |", "pr", "x pr|", "print");
        row("several match: Tab stays a Tab", "x |", "pr<Tab>", "x pr\t|");
        row("one match: Tab completes", "int a;|\r\n", " pu<Tab>", "int a; putc|\r\n");
        row("one match: Enter in the list", "int a;|\r\n", " pu<ListReturn>", "int a; putc|\r\n");
        row("one match: a double click", "int a;|\r\n", " pu<DoubleClick>", "int a; putc|\r\n");
        row("the next word starts afresh", "int a;|", " pu<Tab>(pu<Tab>", "int a; putc(putc|");
        row("letter case counts", ";|", "Pu<Tab>", ";Pu\t|");
        row("no match hides the list", ";|", "puc", ";puc|");
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
        QFETCH(QByteArray, result);
        QFETCH(QString, shown);
        EditorFixture f(kWords);
        f.setMarked(text);
        f.press(keys);
        QCOMPARE(f.marked(), result);
        QCOMPARE(f.shownEntry(), shown);
        // The status bar shows the line where the caret or the selection starts.
        QCOMPARE(f.line, QString::number(f.editor->lineOf(f.editor->selectionStart()) + 1));
    }

    void theHelpTextsAndTheReload() {
        EditorFixture f(
            {{"funct1.txt", "strcpy, copies\r\n, copies a string\r\nstrlen, length\r\n"}});
        QCOMPARE(f.list->toolTip(), QString("C intructions help"));
        f.setMarked(";|");
        f.press("strc<Hover>");
        QCOMPARE(f.list->toolTip(), QString("  copies a string"));
        f.press("<Backspace>l<Hover>");
        QCOMPARE(f.list->toolTip(), QString("  length"));
        // The words are read again from the working folder.
        f.wordFile("funct3.txt", "added\r\n");
        f.subsystem->loadHelpLists();
        QCOMPARE(f.list->count(), 3);
        QCOMPARE(f.list->item(0)->text(), QString("added"));
        QCOMPARE(f.list->item(0)->data(Qt::UserRole).toInt(), 3);
    }

    void hugeWordFilesKeepKeystrokesFast() {
        // A word of 8 MB in a file beyond the limit; words and help of 1 MB.
        const QByteArray huge(1024 * 1024, 'x');
        EditorFixture f({{"funct1.txt", "p" + QByteArray(8 * 1024 * 1024, 'y') + ", big\r\n"},
                         {"funct2.txt", "p" + huge + ", " + huge + "\r\nputs\r\npx" + huge}});
        QCOMPARE(f.list->count(), 3);
        f.setMarked("x |");
        QElapsedTimer timer;
        timer.start();
        f.press("p<Hover>x<Hover>");
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    }
};

QTEST_MAIN(TestEditorKeys)
#include "tst_editor_keys.moc"
