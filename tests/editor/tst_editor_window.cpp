// The main window's commands on the editor: the Edit menu and Esc reach the
// editor subsystem, whose dialogs close with the window; Format > Font for the
// run and Font type stored for good, with the editor and the help list sharing
// the font the window keeps in its options; File > Print of the selection or
// the whole text, the printed pages of a PDF, and printers that cannot print.
#include "app/font_and_print.h"
#include "app/qt_dialogs.h"
#include "app/status_panels.h"
#include "core/settings_keys.h"
#include "editor/editor_subsystem.h"
#include "editor/find_dialog.h"
#include "editor/goto_line.h"
#include "editor/source_editor.h"
#include "support/app_fixture.h"
#include "transfer/transfer_commands.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

using namespace quv;

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

}  // namespace

class TestEditorWindow : public QObject {
    Q_OBJECT
  private slots:
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

QTEST_MAIN(TestEditorWindow)
#include "tst_editor_window.moc"
