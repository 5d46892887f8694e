// The editor: its reactions to real key events (Enter with its indentation,
// the braces, block indent and unindent, the caret's line, and the help list
// that follows the typed word and completes it); find, replace and goto; the
// word rules of the help list; and the main window's editor commands.
#include "app/font_and_print.h"
#include "app/qt_dialogs.h"
#include "app/status_panels.h"
#include "core/settings_keys.h"
#include "editor/editor_subsystem.h"
#include "editor/find_dialog.h"
#include "editor/goto_line.h"
#include "editor/help_words.h"
#include "editor/source_editor.h"
#include "editor_fixture.h"
#include "support/app_fixture.h"
#include "support/test_files.h"
#include "transfer/transfer_commands.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace quv;
using quv::test::EditorFixture;

namespace {

// Prints the text into a PDF file; its text as pdftotext reads it back, or
// the printer's error.
QString printedPdf(const QString& path, const QString& text) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    if (const std::optional<QString> error = printPlainText(printer, text)) return *error;
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QStringLiteral("<pdftotext failed: run scripts/install-deps>");
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The editor, the help list and the window's options show one font.
void checkFont(MainWindow& w, const QString& family, double size) {
    for (const QFont& f : {w.Source()->editorFont(), w.List1()->font()})
        QVERIFY(f.family() == family && f.pointSizeF() == size);
    QVERIFY(w.options().FontName == family && w.options().FontSize == size);
}

// Each word in list order with its help text after a "=".
QStringList wordsWithHelp(const HelpWords& h) {
    QStringList out;
    for (int row = 0; row < h.words().size(); ++row)
        out << h.words()[row] + '=' + h.helpText(h.itemData(row));
    return out;
}

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

const QByteArray kWords =
    "printf, formatted output\r\nputc, writes a character\r\nprint, plain\r\nwhile\r\n";
}  // namespace

class TestEditor : public QObject {
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
        // Read again, the list holds each word once, with its help text.
        row("the words read again", ";|", "<Reload>pu<Tab> ad<Hover>", ";putc ad|", "added",
            "  new help");
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
        QTest::newRow("half to even, up") << "2.5" << 3;
        QTest::newRow("half to even, down") << " 3.5" << 3;
        QTest::newRow("past the end") << "99999999999999" << 121;
    }
    void whatIsTyped() {
        QFETCH(QString, typed);
        QFETCH(int, line);
        EditorFixture f;
        QByteArray lines;  // "line 1" to "line 120"
        for (int i = 1; i <= 120; ++i) lines += "line " + QByteArray::number(i) + "\r\n";
        f.editor->setBytes(lines);
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

    void theThreeFilesOfAFolderAndTheMatchOfATypedPrefix() {
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
        // The match of a typed prefix.
        HelpWords typed;
        typed.loadBytes("putc\npr\nprintf\nPrint\nw\xe9\nprint\nputc\n");
        QCOMPARE(typed.words().join(' '), QString("Print pr print printf putc putc w\u00e9"));
        // The prefix, the first word with it, and whether two or more have it.
        const std::tuple<const char*, int, bool> rows[] = {
            {"", -1, false},      {"p", 1, true},      {"pr", 1, true},       {"prin", 2, true},
            {"printf", 3, false}, {"P", 0, false},     {"PR", -1, false},     {"putc", 4, true},
            {"pz", -1, false},    {"w\xe9", 6, false}, {"w\xe9x", -1, false}, {"x", -1, false}};
        for (const auto& [prefix, row, several] : rows) {
            const HelpWords::Match m = typed.match(QString::fromLatin1(prefix));
            QVERIFY2(m.row == row && m.several == several, prefix);
        }
    }

    void theEditMenuAndEsc() {
        quv::test::AppFixture f;
        f.settings.save(keys::kEditorEnabled, "True");
        MainWindow& w = f.start();
        SourceEditor& e = *w.Source();
        const auto menu = [&w](const char* item) { w.menuItem(item)->trigger(); };
        QTest::keyClick(&e, Qt::Key_Escape);  // in an empty document no rule runs
        QCOMPARE(w.transfer().state().ReceiveTerminal, QString());
        e.setBytes("alpha beta\r\n");
        e.select(6, 4);
        menu("Copy");
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("beta"));
        menu("Cut");
        QCOMPARE(e.bytes(), QByteArray("alpha \r\n"));
        QGuiApplication::clipboard()->setText(QString::fromUtf8("one\ntwo \u00e9"));
        e.select(0, 5);
        menu("Paste");
        QCOMPARE(e.bytes(), QByteArray("one\r\ntwo \xe9 \r\n"));
        QTRY_COMPARE(w.StatusBar1()->panelText("Line"), QString("2"));
        menu("find");
        FindDialog& find = w.editor().Findtext();
        find.Text1()->setText("TWO");
        e.select(0, 0);
        menu("find_next");
        QCOMPARE(e.selectionStart(), 5);
        // Esc hides the find dialog and gives up waiting for a terminal.
        e.setFocus();
        QTest::keyClick(&e, Qt::Key_Escape);
        QVERIFY(!find.isVisible());
        QCOMPARE(w.transfer().state().ReceiveTerminal, QString("ESC"));
        menu("goto");
        menu("find");
        QVERIFY(w.editor().Gotoline().isVisible() && find.isVisible());
        QVERIFY(w.close());  // the changed text is not saved: No
        QVERIFY(!w.editor().Gotoline().isVisible() && !find.isVisible());
    }

    void theFontCommands() {
        quv::test::AppFixture f;
        MainWindow& w = f.start();
        w.menuItem("Font_type")->trigger();  // cancelled: nothing is stored
        QVERIFY(!f.settings.contains(keys::kFontSize));
        f.dialogs.fontAnswers << FontChoice{"Liberation Mono", 10}
                              << FontChoice{"Liberation Serif", 15};
        w.menuItem("Font_type")->trigger();  // stored
        w.menuItem("Font")->trigger();       // for this run
        checkFont(w, "Liberation Serif", 15);
        QCOMPARE(f.settings.get(keys::kFontSize), QString("10"));
        QCOMPARE(f.settings.get(keys::kFontName), QString("Liberation Mono"));
        w.menuItem("Font")->trigger();  // cancelled
        checkFont(w, "Liberation Serif", 15);
        // Each dialog starts from the stored font (or its default), not from
        // the one shown.
        const QList<FontChoice>& initial = f.dialogs.fontInitials;
        QVERIFY(initial.size() == 4 && initial[0].name.isEmpty() && initial[0].size == 12);
        QVERIFY(initial[3].name == "Liberation Mono" && initial[3].size == 10);
        // The next start brings the stored font back.
        f.window.reset();
        checkFont(f.start(), "Liberation Mono", 10);
        // Print takes the selection, or the whole text when there is none.
        f.window->Source()->setBytes("int main()\r\n");
        f.window->menuItem("Print")->trigger();
        f.window->Source()->select(4, 4);
        f.window->menuItem("Print")->trigger();
        QCOMPARE(f.dialogs.printed, (QStringList{"int main()\r\n", "main"}));
        // A printer that cannot print is reported.
        f.dialogs.printError = QString("No printer is installed.");
        f.window->menuItem("Print")->trigger();
        QCOMPARE(f.dialogs.texts(), QStringList{"No printer is installed."});
        QCOMPARE(f.dialogs.messages[0].icon, Icon::Exclamation);
    }

    void printedPagesAndPrinterErrors() {
        QTemporaryDir out;
        QStringList expected{"void put(int c)", "{", "x = 1; /* one */", "}"};
        for (int i = 1; i <= 150; ++i) expected << QString("line %1 caf\u00e9").arg(i);
        QString longLine;
        for (int i = 0; i < 60; ++i) longLine += QString(" w%1").arg(i);
        const QString text = "void put(int c)\r\n{\r\n\tx = 1;\t/* one */\r\n}\r\n" +
                             expected.mid(4).join("\r\n") + "\r\n" + longLine;
        const QString printed = printedPdf(out.filePath("long.pdf"), text);
        QVERIFY(printed.count('\f') >= 2);  // more than one page
        // A Tab moves the text on along its line.
        QVERIFY2(printed.contains(QRegularExpression("\n +x = 1; +/\\* one \\*/\n")),
                 qPrintable(printed.left(200)));
        QStringList lines;
        for (const QString& line : printed.split('\n'))
            if (!line.simplified().isEmpty()) lines << line.simplified();
        // The text of a line cut off at a page's foot is there, but unseen.
        lines.removeDuplicates();
        QCOMPARE(lines.mid(0, expected.size()), expected);
        // The long line wraps and nothing of it is lost.
        QVERIFY(lines.size() > expected.size() + 1);
        QCOMPARE(lines.mid(expected.size()).join(' '), longLine.trimmed());
        // A printer that cannot open its output says so.
        QVERIFY(printedPdf(out.filePath("no/such/folder/x.pdf"), "x").startsWith("The printer"));
        // So does a machine without a printer.
        if (QPrinterInfo::defaultPrinter().isNull())
            QVERIFY(QtDialogs().printText("x").value_or("").startsWith("No printer is installed"));
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
