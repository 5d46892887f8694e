// The instruction help list driven by real key events: filtering while a word
// is typed, Tab that completes or stays a Tab, completion from the list, the
// word files and their reload, and the help text as the list's tooltip.
#include "editor/instruction_help.h"
#include "editor_fixture.h"

#include <QListWidget>
#include <QtTest>

using namespace quv;
using quv::test::EditorFixture;

namespace {
void moveMouseOver(QListWidget* list) {
    const QPointF at = list->visualItemRect(list->currentItem()).center();
    QMouseEvent move(QEvent::MouseMove, at, list->viewport()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &move);
}
QString selectedEntry(const MainWindow& w) {
    const QList<QListWidgetItem*> items = w.List1()->selectedItems();
    return items.size() == 1 ? items[0]->text() : QString("<%1 selected>").arg(items.size());
}
}  // namespace

class TestInstructionHelp : public QObject {
    Q_OBJECT
  private slots:
    void severalMatchesKeepTabATab() {
        EditorFixture f;
        f.wordFile("funct1.txt", "printf, formatted output\r\nputc\r\nprint\r\n");
        MainWindow& w = f.startEditor();
        QCOMPARE(w.List1()->count(), 3);
        QVERIFY(!w.List1()->isVisible());
        f.setText("x ", 2);
        f.type("pr");
        QVERIFY(w.List1()->isVisible());
        QCOMPARE(selectedEntry(w), QString("print"));
        QVERIFY(f.subsystem().help().allow_tab);
        QCOMPARE(f.subsystem().help().Current_Word, QString("pr"));
        QCOMPARE(f.subsystem().help().Current_Word_pos, 2);
        f.key(Qt::Key_Tab);
        QCOMPARE(f.editor().bytes(), QByteArray("x pr\t"));
        QVERIFY(!w.List1()->isVisible());
        QCOMPARE(f.subsystem().help().Current_Word, QString());
    }

    void oneMatchCompletes_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Tab in the editor") << "tab";
        QTest::newRow("Enter in the list") << "enter";
        QTest::newRow("double click") << "double click";
    }
    void oneMatchCompletes() {
        QFETCH(QString, how);
        EditorFixture f;
        f.wordFile("funct1.txt", "printf\r\nputc, writes a character\r\nprint\r\n");
        MainWindow& w = f.startEditor();
        f.setText("int a;\r\n", 6);
        f.type(" pu");
        QCOMPARE(selectedEntry(w), QString("putc"));
        QVERIFY(!f.subsystem().help().allow_tab);
        if (how == "tab") {
            f.key(Qt::Key_Tab);
        } else if (how == "enter") {
            QTest::keyClick(w.List1(), Qt::Key_Return);
        } else {
            QListWidget* list = w.List1();
            const QRect r = list->visualItemRect(list->currentItem());
            // A double click follows a first click.
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
        }
        QCOMPARE(f.editor().bytes(), QByteArray("int a; putc\r\n"));
        QCOMPARE(f.editor().selectionStart(), 11);
        QVERIFY(!w.List1()->isVisible());
        QCOMPARE(f.subsystem().help().Current_Word, QString());
        // The next word starts afresh.
        f.type("(pr");
        QCOMPARE(f.subsystem().help().Current_Word, QString("pr"));
        QCOMPARE(f.subsystem().help().Current_Word_pos, 12);
    }

    void lettersMustMatchInCase() {
        EditorFixture f;
        f.wordFile("funct1.txt", "print\r\nprintf\r\n");
        MainWindow& w = f.startEditor();
        f.setText(";", 1);
        f.type("Pr");
        QVERIFY(!w.List1()->isVisible());
        QCOMPARE(w.List1()->selectedItems().size(), 0);
        // Tab with no list is a Tab.
        f.key(Qt::Key_Tab);
        QCOMPARE(f.editor().bytes(), QByteArray(";Pr\t"));
    }

    void backspaceShortensTheWord() {
        EditorFixture f;
        f.wordFile("funct1.txt", "print\r\nputc\r\n");
        MainWindow& w = f.startEditor();
        f.setText(";", 1);
        f.type("pri");
        QCOMPARE(selectedEntry(w), QString("print"));
        QVERIFY(!f.subsystem().help().allow_tab);
        f.key(Qt::Key_Backspace);
        f.key(Qt::Key_Backspace);
        QCOMPARE(f.subsystem().help().Current_Word, QString("p"));
        QVERIFY(f.subsystem().help().allow_tab);
        QVERIFY(w.List1()->isVisible());
        f.key(Qt::Key_Backspace);
        QVERIFY(!w.List1()->isVisible());
        // With no word left Backspace changes nothing here, and the next
        // word begins where it is typed.
        f.key(Qt::Key_Backspace);
        QCOMPARE(f.editor().bytes(), QByteArray());
        f.setText(";;", 2);
        f.key(Qt::Key_Backspace);
        f.type("pu");
        f.key(Qt::Key_Tab);
        QCOMPARE(f.editor().bytes(), QByteArray(";putc"));
    }

    void aWordAtTheVeryStartCompletesWhole() {
        EditorFixture f;
        f.wordFile("funct1.txt", "putc\r\n");
        MainWindow& w = f.startEditor();
        f.setText("\r\nmain", 0);
        f.type("pu");
        QCOMPARE(f.subsystem().help().Current_Word_pos, 0);
        QVERIFY(w.List1()->isVisible());
        f.key(Qt::Key_Tab);
        QCOMPARE(f.editor().bytes(), QByteArray("putc\r\nmain"));
    }

    void wordFilesMissingOrWithoutLineBreak() {
        EditorFixture f;
        f.wordFile("funct1.txt", "alpha, first file\r\n");
        f.wordFile("funct3.txt", "gamma, last line without break");
        MainWindow& w = f.startEditor();
        QCOMPARE(f.dialogs.messages.size(), 0);
        QCOMPARE(w.List1()->count(), 2);
        QCOMPARE(w.List1()->item(0)->text(), QString("alpha"));
        QCOMPARE(w.List1()->item(1)->text(), QString("gamma"));
        const HelpWords& words = f.subsystem().help().words();
        QCOMPARE(w.List1()->item(1)->data(Qt::UserRole).toInt(), 2);
        QCOMPARE(words.helpText(2), QString("  last line without break"));
    }

    void aCommaLineReplacesTheHelpAndTheListShowsIt() {
        EditorFixture f;
        f.wordFile("funct1.txt", "strcpy, copies\r\n, copies a string\r\nstrlen, length\r\n");
        MainWindow& w = f.startEditor();
        QCOMPARE(w.List1()->toolTip(), QString("C intructions help"));
        f.setText(";", 1);
        f.type("strc");
        QListWidget* list = w.List1();
        moveMouseOver(list);
        QCOMPARE(list->toolTip(), QString("  copies a string"));
        f.key(Qt::Key_Backspace);  // "str": strcpy still selected, strlen matches too
        QCOMPARE(selectedEntry(w), QString("strcpy"));
        f.type("l");
        moveMouseOver(list);
        QCOMPARE(list->toolTip(), QString("  length"));
    }

    void theListIsReloadedWithNewWords() {
        EditorFixture f;
        f.wordFile("funct1.txt", "old\r\n");
        MainWindow& w = f.startEditor();
        QCOMPARE(w.List1()->item(0)->text(), QString("old"));
        f.wordFile("funct1.txt", "newer\r\nnew\r\n");
        f.wordFile("funct2.txt", "added\r\n");
        w.loadHelpLists();
        QCOMPARE(w.List1()->count(), 3);
        QCOMPARE(w.List1()->item(0)->text(), QString("added"));
        QCOMPARE(w.List1()->item(0)->data(Qt::UserRole).toInt(), 3);
        QCOMPARE(f.subsystem().help().words().Help_Count(), 3);
    }

    void escInTheListHidesIt() {
        EditorFixture f;
        f.wordFile("funct1.txt", "while\r\n");
        MainWindow& w = f.startEditor();
        f.setText(";", 1);
        f.type("wh");
        QVERIFY(w.List1()->isVisible());
        QTest::keyClick(w.List1(), Qt::Key_Escape);
        QVERIFY(!w.List1()->isVisible());
        QCOMPARE(f.editor().bytes(), QByteArray(";wh"));
    }
};

QTEST_MAIN(TestInstructionHelp)
#include "tst_instruction_help.moc"
