// Format > Font for the run, Font type stored for good, the editor and the
// help list sharing one font; File > Print of the selection or the whole
// text, checked in the text of a PDF file.
#include "app/font_and_print.h"
#include "app/qt_dialogs.h"
#include "editor_fixture.h"

#include <QAction>
#include <QListWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using namespace quv;
using quv::test::EditorFixture;

namespace {

// The printed text as pdftotext reads it back.
QString pdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return QStringLiteral("<pdftotext failed>");
    return QString::fromUtf8(p.readAllStandardOutput());
}

std::optional<QString> printToPdf(const QString& path, const QString& text) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return printPlainText(printer, text);
}

// Dialogs whose printer writes a PDF file.
struct PdfDialogs : quv::test::ScriptedDialogs {
    QString path;
    std::optional<QString> printText(const QString& text) override {
        return printToPdf(path, text);
    }
};

void checkFont(MainWindow& w, const QString& family, double size) {
    QCOMPARE(w.Source()->editorFont().family(), family);
    QCOMPARE(w.Source()->editorFont().pointSizeF(), size);
    QCOMPARE(w.List1()->font().family(), family);
    QCOMPARE(w.List1()->font().pointSizeF(), size);
}

}  // namespace

class TestFontAndPrint : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        QVERIFY2(!QStandardPaths::findExecutable("pdftotext").isEmpty(),
                 "pdftotext is missing: run scripts/install-deps");
    }

    void formatFontLastsForTheRun() {
        EditorFixture f;
        f.settings.save(keys::kFontSize, "10");
        f.settings.save(keys::kFontName, "Liberation Mono");
        MainWindow& w = f.startEditor();
        checkFont(w, "Liberation Mono", 10);
        f.dialogs.fontAnswers << FontChoice{"Liberation Serif", 15};
        w.menuItem("Font")->trigger();
        QCOMPARE(f.dialogs.fontInitials.size(), 1);
        QCOMPARE(f.dialogs.fontInitials[0].name, QString("Liberation Mono"));
        QCOMPARE(f.dialogs.fontInitials[0].size, 10.0);
        checkFont(w, "Liberation Serif", 15);
        // The dialog starts from the stored font, not the one shown.
        w.menuItem("Font")->trigger();  // cancelled
        QCOMPARE(f.dialogs.fontInitials[1].name, QString("Liberation Mono"));
        checkFont(w, "Liberation Serif", 15);
        QCOMPARE(f.settings.get(keys::kFontSize), QString("10"));
        // The next start brings the stored font back.
        f.window.reset();
        checkFont(f.start(), "Liberation Mono", 10);
    }

    void fontTypeIsStored() {
        EditorFixture f;
        MainWindow& w = f.startEditor();
        w.menuItem("Font_type")->trigger();  // cancelled: nothing changes
        QVERIFY(!f.settings.contains(keys::kFontSize));
        QCOMPARE(f.dialogs.fontInitials[0].size, 12.0);
        QCOMPARE(f.dialogs.fontInitials[0].name, QString());
        f.dialogs.fontAnswers << FontChoice{"Liberation Sans", 9.5};
        w.menuItem("Font_type")->trigger();
        checkFont(w, "Liberation Sans", 9.5);
        QCOMPARE(f.settings.get(keys::kFontSize), QString("9.5"));
        QCOMPARE(f.settings.get(keys::kFontName), QString("Liberation Sans"));
        f.window.reset();
        checkFont(f.start(), "Liberation Sans", 9.5);
    }

    void printTakesTheSelectionOrTheWholeText() {
        EditorFixture f;
        MainWindow& w = f.startEditor();
        f.setText("int main()\r\n{\r\n}\r\n");
        w.menuItem("Print")->trigger();
        f.setText("int main()\r\n{\r\n}\r\n", 4, 4);
        w.menuItem("Print")->trigger();
        QCOMPARE(f.dialogs.printed, (QStringList{"int main()\r\n{\r\n}\r\n", "main"}));
        QVERIFY(f.dialogs.messages.isEmpty());
        // A printer that cannot print is reported.
        f.dialogs.printError = QString("No printer is installed.");
        w.menuItem("Print")->trigger();
        QCOMPARE(f.dialogs.texts(), QStringList{"No printer is installed."});
        QCOMPARE(f.dialogs.messages[0].icon, Icon::Exclamation);
    }

    void theSelectionPrintedToAPdfFile() {
        PdfDialogs dialogs;
        QTemporaryDir out;
        dialogs.path = out.filePath("selection.pdf");
        MemorySettingsStore settings;
        settings.save(keys::kEditorEnabled, "True");
        quv::test::FixedClock clock;
        quv::test::RecordingCom com;
        LinkState link;
        quv::test::TestPump pump(clock);
        ProcessWorkingFolder folder;
        MainWindow w({dialogs, settings, clock, com, pump, folder}, link);
        w.Form_Load();
        w.Source()->setBytes(
            "/* hidden */\r\nvoid put(int c)\r\n{\r\n\tx = 1;\r\n}\r\n/* hidden */");
        w.Source()->select(14, 31);
        w.menuItem("Print")->trigger();
        QVERIFY(dialogs.messages.isEmpty());
        const QString text = pdfText(dialogs.path);
        QVERIFY2(text.contains("void put(int c)"), qPrintable(text));
        QVERIFY(text.contains("x = 1;"));
        QVERIFY(!text.contains("hidden"));
        QStringList lines;
        for (const QString& line : text.split('\n'))
            if (!line.trimmed().isEmpty()) lines << line.trimmed();
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines, (QStringList{"void put(int c)", "{", "x = 1;", "}"}));
    }

    void withoutAPrinterTheUserIsTold() {
        if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("this machine has a printer");
        QtDialogs dialogs;
        const std::optional<QString> error = dialogs.printText("text");
        QVERIFY(error.has_value());
        QVERIFY(error->startsWith("No printer is installed"));
    }

    void longTextsGoOnOverPagesAndLines() {
        QTemporaryDir out;
        QString text;
        for (int i = 1; i <= 150; ++i) text += QString("line %1 caf\u00e9\r\n").arg(i);
        QString longLine;
        for (int i = 0; i < 60; ++i) longLine += QString("w%1 ").arg(i);
        text += longLine;
        const QString path = out.filePath("long.pdf");
        QCOMPARE(printToPdf(path, text), std::nullopt);
        const QString printed = pdfText(path);
        QVERIFY(printed.count('\f') >= 2);  // more than one page
        int at = 0;
        for (int i = 1; i <= 150; ++i) {
            at = static_cast<int>(printed.indexOf(QString("line %1 caf\u00e9").arg(i), at));
            QVERIFY2(at >= 0, qPrintable(QString("line %1 missing or out of order").arg(i)));
        }
        // The long line wraps and nothing of it is lost.
        for (int i = 0; i < 60; ++i) QVERIFY(printed.contains(QString("w%1 ").arg(i).trimmed()));
        // A printer that cannot open its output says so.
        QVERIFY(printToPdf(out.filePath("no/such/folder/x.pdf"), "x").has_value());
    }
};

QTEST_MAIN(TestFontAndPrint)
#include "tst_font_and_print.moc"
