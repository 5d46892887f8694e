#include "build_case.h"
#include "core/text_file.h"
#include "editor/source_editor.h"
#include "support/sample_text.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QtTest>

using namespace quv;
using quv::test::AppFixture;
using quv::test::BuildCase;
using quv::test::numberedLines;

namespace {

QByteArray record(const QString& line, const QString& file, const QString& message) {
    return (line + ':' + file + "\r\n" + message + "\r\n").toLocal8Bit();
}

QStringList rows(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

int caretLine(MainWindow& w) {
    int line = -1, index = -1;
    w.Source()->getCursorPosition(&line, &index);
    return index == 0 ? line : -1000 - line;  // at the start of a line, or marked as not
}

// A case whose error file is written beside the program.
struct ListCase : BuildCase {
    ListCase() : BuildCase(numberedLines(20)) {}
    void errorFile(const QByteArray& bytes) { f.writeFile("with blank/my prog.ERR", bytes); }
    QListWidget* list(int i) {
        return i == 0 ? errors().List1() : i == 1 ? errors().List2() : errors().List3();
    }
};

}  // namespace

class TestErrorList : public QObject {
    Q_OBJECT
  private slots:
    void theWindowAndItsColumns() {
        ListCase c;
        Errors& e = c.errors();
        // No error file at all: three empty lists.
        e.Form_Load();
        QVERIFY(e.isVisible());
        QCOMPARE(e.windowTitle(), QString("Error List"));
        QVERIFY(e.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(e.testAttribute(Qt::WA_ShowWithoutActivating));
        QCOMPARE(e.geometry(), QRect(3, 107, 661, 279));
        QCOMPARE(e.Label1()->text(), QString("Line"));
        QCOMPARE(e.Label2()->text(), QString("File"));
        QCOMPARE(e.Label3()->text(), QString("Message"));
        QCOMPARE(e.Label1()->geometry(), QRect(4, 0, 25, 13));
        QCOMPARE(e.Label3()->geometry(), QRect(224, 0, 57, 13));
        QCOMPARE(e.List1()->geometry(), QRect(0, 16, 57, 264));
        QCOMPARE(e.List2()->geometry(), QRect(56, 16, 169, 264));
        QCOMPARE(e.List3()->geometry(), QRect(228, 16, 433, 264));
        for (int i = 0; i < 3; ++i) QCOMPARE(c.list(i)->count(), 0);
        // An empty error file: the same.
        c.errorFile("");
        e.Form_Load();
        for (int i = 0; i < 3; ++i) QCOMPARE(c.list(i)->count(), 0);
        // The window follows a move by the user at its next showing.
        e.unload();
        e.move(200, 150);
        e.Form_Load();
        QCOMPARE(e.pos(), QPoint(200, 150));
    }

    void aFailedBuildListsTheErrors() {
        ListCase c;
        c.tools.exitCode("myc.exe", 1);
        c.tools.tell("myc.exe", "err",
                     record("12", c.source, "missing ;") + record("3", c.source, "second"));
        QCOMPARE(c.w().compile(), std::optional<int>(0));
        QVERIFY(c.errors().isVisible());
        QCOMPARE(rows(c.errors().List1()), (QStringList{"12", "3"}));
        QCOMPARE(rows(c.errors().List2()), (QStringList{c.source, c.source}));
        QCOMPARE(rows(c.errors().List3()), (QStringList{"missing ;", "second"}));
        // Closed by the user, it forgets its rows; each failure reads the
        // file afresh; a good build closes it.
        c.errors().close();
        QCOMPARE(c.errors().List1()->count(), 0);
        c.tools.tell("myc.exe", "err", record("2", c.source, "new"));
        QCOMPARE(c.w().compile(), std::optional<int>(0));
        QCOMPARE(rows(c.errors().List3()), QStringList{"new"});
        c.tools.exitCode("myc.exe", 0);
        QCOMPARE(c.w().compile(), std::optional<int>(1));
        QVERIFY(!c.errors().isVisible());
    }

    void theListIsOfTheFileBuiltThoughAnotherWasOpened() {
        ListCase c;
        const QString other = c.f.writeFile("with blank/other.c", numberedLines(3));
        c.tools.exitCode("myc.exe", 1);
        c.tools.tell("myc.exe", "sleep", "200");
        c.tools.tell("myc.exe", "err", record("12", c.source, "missing ;"));
        QTimer::singleShot(50, [&] { c.w().documents().Open_File(other); });
        QCOMPARE(c.w().compile(), std::optional<int>(0));
        QCOMPARE(rows(c.errors().List3()), QStringList{"missing ;"});
        // Choosing the row brings the file built back.
        c.errors().List1()->setCurrentRow(0);
        QCOMPARE(c.w().documents().CurrentFileName, c.source);
        QCOMPARE(caretLine(c.w()), 11);
    }

    void aRowChosenInAnyListJumps_data() {
        QTest::addColumn<int>("list");
        QTest::newRow("Line") << 0;
        QTest::newRow("File") << 1;
        QTest::newRow("Message") << 2;
    }
    void aRowChosenInAnyListJumps() {
        QFETCH(int, list);
        ListCase c;
        c.errorFile(record("12", c.source, "missing ;") + record("1", c.source, "first line") +
                    record("3", c.source, "third"));
        QTest::keyClicks(c.w().Source(), "typed ");
        c.errors().Form_Load();
        c.list(list)->setCurrentRow(2);
        for (int i = 0; i < 3; ++i) QCOMPARE(c.list(i)->currentRow(), 2);
        QCOMPARE(caretLine(c.w()), 2);
        c.list(list)->setCurrentRow(0);
        QCOMPARE(caretLine(c.w()), 11);
        c.list(list)->setCurrentRow(1);
        QCOMPARE(c.w().Source()->caretPosition(), 0);
        // A click on the row already chosen jumps to it again.
        c.w().Source()->setCaretPosition(40);
        QListWidget* l = c.list(list);
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {},
                          l->visualItemRect(l->item(1)).center());
        QCOMPARE(c.w().Source()->caretPosition(), 0);
        // An error in the open file: nothing saved or reopened, nothing said.
        QVERIFY(c.f.dialogs.messages.isEmpty());
        QCOMPARE(c.w().documents().CurrentFileName, c.source);
        QVERIFY(c.w().documents().Source_changed);
        QCOMPARE(AppFixture::readFile(c.source), numberedLines(20));
        // The main window is in front, the editor ready for typing.
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&c.w()));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(c.w().Source()));
    }

    void activatingTheWindowDoesNotJump() {
        ListCase c;
        c.errorFile(record("12", c.source, "missing ;"));
        c.w().Source()->setCaretPosition(30);
        c.errors().Form_Load();
        c.errors().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&c.errors()));
        QCOMPARE(c.errors().List1()->currentRow(), -1);
        QCOMPARE(c.w().Source()->caretPosition(), 30);
    }

    void anErrorInAnotherFileSavesTheCurrentOneFirst() {
        ListCase c;
        const QString other = c.f.writeFile("with blank/other.c", numberedLines(6));
        c.errorFile(record("4", other, "in the other file"));
        QTest::keyClicks(c.w().Source(), "typed ");
        c.errors().Form_Load();
        c.errors().List3()->setCurrentRow(0);
        QCOMPARE(AppFixture::readFile(c.source), "typed " + numberedLines(20));
        QCOMPARE(c.w().documents().CurrentFileName, other);
        QVERIFY(!c.w().documents().Source_changed);
        QCOMPARE(caretLine(c.w()), 3);
        QVERIFY(c.f.dialogs.messages.isEmpty());
    }

    void anUnchangedDocumentIsNotRewritten() {
        // A document as it came from disk (here with LF line ends, which a
        // save would turn into CR LF) stays untouched on disk.
        ListCase c;
        const QString lf = c.f.writeFile("with blank/lf.c", "a\nb\n");
        const QString other = c.f.writeFile("with blank/other.c", numberedLines(6));
        c.w().documents().Open_File(lf);
        c.f.writeFile("with blank/lf.ERR", record("2", other, "m"));
        c.errors().Form_Load();
        c.errors().List1()->setCurrentRow(0);
        QCOMPARE(c.w().documents().CurrentFileName, other);
        QCOMPARE(AppFixture::readFile(lf), QByteArray("a\nb\n"));
        QCOMPARE(caretLine(c.w()), 1);
    }

    void oddRecordsNeverStopTheWindow() {
        ListCase c;
        const QString gone = c.tools.path + "gone.c";
        c.errorFile("no colon\r\nfirst\r\n" + record("abc", c.source, "not a number") +
                    record("9", gone, "a file that is gone") + "7:" + c.source.toLocal8Bit() +
                    "\r\nno line end");
        c.errors().Form_Load();
        QCOMPARE(rows(c.errors().List1()), (QStringList{"no colon", "abc", "9", "7"}));
        QCOMPARE(rows(c.errors().List2()), (QStringList{"", c.source, gone, c.source}));
        QCOMPARE(rows(c.errors().List3()).last(), QString("no line end"));
        // No file: the document that was built; no number: the first line.
        c.w().Source()->setCaretPosition(30);
        c.errors().List1()->setCurrentRow(0);
        QCOMPARE(c.w().Source()->caretPosition(), 0);
        c.w().Source()->setCaretPosition(30);
        c.errors().List1()->setCurrentRow(1);
        QCOMPARE(c.w().Source()->caretPosition(), 0);
        c.errors().List1()->setCurrentRow(3);
        QCOMPARE(caretLine(c.w()), 6);
        // A file that is gone: said so; the document, its text and the caret
        // stay as they were.
        QTest::keyClicks(c.w().Source(), "kept ");
        const QByteArray text = c.w().Source()->bytes();
        const int caret = c.w().Source()->caretPosition();
        c.errors().List3()->setCurrentRow(2);
        QCOMPARE(c.f.dialogs.texts(), QStringList{"File not found!!!"});
        QCOMPARE(c.w().documents().CurrentFileName, c.source);
        QCOMPARE(c.w().Source()->bytes(), text);
        QCOMPARE(c.w().Source()->caretPosition(), caret);
        // The current document was saved before the attempt: nothing is lost.
        QCOMPARE(AppFixture::readFile(c.source), text);
    }

    void aSaveThatFailsKeepsTheDocument() {
        ListCase c;
        const QString other = c.f.writeFile("with blank/other.c", numberedLines(6));
        c.errorFile(record("4", other, "m"));
        QFile::setPermissions(c.source, QFile::ReadOwner | QFile::ReadGroup);
        QTest::keyClicks(c.w().Source(), "typed ");
        c.errors().Form_Load();
        c.errors().List1()->setCurrentRow(0);
        QCOMPARE(c.f.dialogs.messages.size(), 1);  // why the save failed
        QCOMPARE(c.w().documents().CurrentFileName, c.source);
        QCOMPARE(c.w().Source()->bytes(), "typed " + numberedLines(20));
        QVERIFY(c.w().documents().Source_changed);
    }

    void aLargeErrorFileOpens() {
        ListCase c;
        QByteArray big;
        for (int i = 1; i <= 60000; ++i)
            big += record(QString::number(i % 20 + 1), c.source,
                          QString("error number %1 with a message of some length").arg(i));
        QVERIFY(big.size() > 4 * 1000 * 1000);
        c.errorFile(big);
        c.errors().Form_Load();
        for (int i = 0; i < 3; ++i) QCOMPARE(c.list(i)->count(), 60000);
        c.errors().List3()->setCurrentRow(59998);  // number 59999: line 20
        QCOMPARE(c.errors().List1()->currentRow(), 59998);
        QCOMPARE(caretLine(c.w()), 19);
    }
};

QTEST_MAIN(TestErrorList)
#include "tst_error_list.moc"
