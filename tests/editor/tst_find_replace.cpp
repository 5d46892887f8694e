// The find and replace dialog: its controls, Find and Find Next, Replace,
// Replace All from the caret (and that it always ends), the whole-word
// option, the keys of the dialog and the menu items.
#include "editor/find_dialog.h"
#include "editor_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace quv;
using quv::test::EditorFixture;

namespace {
// The next control the Tab key moves to.
QWidget* nextTabStop(QWidget* w) {
    QWidget* next = w->nextInFocusChain();
    while (next != w && !(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
    return next;
}
}  // namespace

class TestFindReplace : public QObject {
    Q_OBJECT
  private slots:
    void theDialogAndItsControls() {
        EditorFixture f;
        MainWindow& w = f.startEditor();
        w.menuItem("find")->trigger();
        FindDialog& d = f.subsystem().Findtext();
        QVERIFY(d.isVisible());
        QCOMPARE(d.objectName(), QString("Findtext"));
        QCOMPARE(d.windowTitle(), QString("Find"));
        QVERIFY(d.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(d.testAttribute(Qt::WA_ShowWithoutActivating));
        QCOMPARE(d.size(), QSize(302, 166));
        QCOMPARE(d.pos(), QPoint(116, 97));
        QCOMPARE(d.Text1()->geometry(), QRect(80, 16, 97, 19));
        QCOMPARE(d.Text2()->geometry(), QRect(80, 68, 97, 21));
        QCOMPARE(d.Check1()->geometry(), QRect(24, 48, 17, 17));
        QCOMPARE(d.findChild<QLabel*>("Label2")->text(), QString("Find whole word"));
        QCOMPARE(d.findChild<QLabel*>("Label1")->text(), QString("Find what:"));
        QCOMPARE(d.findChild<QLabel*>("Label3")->text(), QString("Replace with:"));
        QCOMPARE(d.button(1)->text(), QString("&Find"));
        QCOMPARE(d.button(2)->text(), QString(" Find &Next"));
        QCOMPARE(d.button(5)->geometry(), QRect(208, 104, 89, 25));
        QCOMPARE(d.button(4)->text(), QString("&Cancel"));
        // Tab order: Text1, Text2, Find, Find Next, Replace, Cancel, the check box.
        QCOMPARE(nextTabStop(d.Text1()), d.Text2());
        QCOMPARE(nextTabStop(d.Text2()), d.button(1));
        QCOMPARE(nextTabStop(d.button(3)), d.button(4));
        QCOMPARE(nextTabStop(d.button(4)), d.Check1());
        QCOMPARE(nextTabStop(d.Check1()), d.button(5));
        d.button(4)->click();
        QVERIFY(!d.isVisible());
    }

    void findThenFindNextWalksOnePositionAtATime() {
        EditorFixture f;
        MainWindow& w = f.startEditor();
        f.setText("aaaa");
        w.menuItem("find")->trigger();
        FindDialog& d = f.subsystem().Findtext();
        QTRY_VERIFY(d.Text1()->hasFocus());
        QTest::keyClicks(d.Text1(), "AA");
        QTest::keyClick(d.Text1(), Qt::Key_Return);  // Enter runs Find
        QCOMPARE(d.foundpos, 0);
        QCOMPARE(f.editor().selectedBytes(), QByteArray("aa"));
        QVERIFY(d.button(2)->hasFocus());
        QTest::keyClick(d.button(2), Qt::Key_Return);  // Enter continues on Find Next
        QCOMPARE(d.foundpos, 1);
        w.menuItem("find_next")->trigger();  // F3
        QCOMPARE(d.foundpos, 2);
        QTRY_VERIFY(f.editor().hasFocus());  // F3 gives the focus back
        QCOMPARE(f.editor().selectionStart(), 2);
        QVERIFY(f.dialogs.messages.isEmpty());
        // Nothing further: the selection stays and the user is told.
        w.menuItem("find_next")->trigger();
        QCOMPARE(d.foundpos, -1);
        QCOMPARE(f.editor().selectionStart(), 2);
        QCOMPARE(f.editor().selectionLength(), 2);
        QCOMPARE(f.dialogs.texts(), QStringList{"Word not found"});
        QCOMPARE(f.dialogs.messages[0].icon, Icon::Information);
        QCOMPARE(f.dialogs.messages[0].title, QString("Ombrex"));
        // Find starts at the beginning again, and finds other letter cases.
        d.button(1)->click();
        QCOMPARE(d.foundpos, 0);
    }

    void wholeWordsOnly() {
        EditorFixture f;
        f.startEditor();
        f.setText("print(x); int i;");
        FindDialog& d = f.subsystem().Findtext();
        d.Text1()->setText("int");
        d.Command1_Click();
        QCOMPARE(d.foundpos, 2);
        d.Check1()->setChecked(true);
        d.Command1_Click();
        QCOMPARE(d.foundpos, 10);
        d.Command2_Click();
        QCOMPARE(d.foundpos, -1);
        QCOMPARE(f.dialogs.texts(), QStringList{"Word not found"});
    }

    void anEmptySearchTextFindsNothing() {
        EditorFixture f;
        MainWindow& w = f.startEditor();
        f.setText("text", 1);
        // F3 with nothing to look for opens the dialog instead.
        w.menuItem("find_next")->trigger();
        FindDialog& d = f.subsystem().Findtext();
        QVERIFY(d.isVisible());
        QTRY_VERIFY(d.Text1()->hasFocus());
        d.Command1_Click();
        QCOMPARE(d.foundpos, -1);
        d.Text2()->setText("X");
        d.Command3_Click();
        d.Command5_Click();
        QCOMPARE(f.editor().bytes(), QByteArray("text"));
        QCOMPARE(f.dialogs.texts(), QStringList(2, "Word not found"));
    }

    void replaceReplacesOnlyTheSelectedOccurrence() {
        EditorFixture f;
        f.startEditor();
        f.setText("one two one two", 0, 3);
        FindDialog& d = f.subsystem().Findtext();
        d.Text1()->setText("TWO");
        d.Text2()->setText("2");
        // "one" is selected: nothing is replaced, the next "two" is found.
        d.Command3_Click();
        QCOMPARE(f.editor().bytes(), QByteArray("one two one two"));
        QCOMPARE(d.foundpos, 4);
        d.Command3_Click();
        QCOMPARE(f.editor().bytes(), QByteArray("one 2 one two"));
        QCOMPARE(d.foundpos, 10);
        QCOMPARE(f.editor().selectedBytes(), QByteArray("two"));
        d.Command3_Click();
        QCOMPARE(f.editor().bytes(), QByteArray("one 2 one 2"));
        QCOMPARE(f.dialogs.texts(), QStringList{"Word not found"});
    }

    void replaceAllGoesOnFromTheCaret() {
        EditorFixture f;
        f.startEditor();
        // An occurrence before the caret stays; one starting exactly at the
        // (empty) caret is skipped.
        f.setText("ab ab ab ab", 3);
        FindDialog& d = f.subsystem().Findtext();
        d.Text1()->setText("ab");
        d.Text2()->setText("X");
        d.Command5_Click();
        QCOMPARE(f.editor().bytes(), QByteArray("ab ab X X"));
        QVERIFY(f.dialogs.messages.isEmpty());
        QCOMPARE(f.editor().selectionStart(), 9);
        // With the occurrence selected, it is replaced too.
        f.setText("ab ab ab ab", 3, 2);
        d.Command5_Click();
        QCOMPARE(f.editor().bytes(), QByteArray("ab X X X"));
        // One undo takes the whole replacement back.
        f.editor().undo();
        QCOMPARE(f.editor().bytes(), QByteArray("ab ab ab ab"));
    }

    void replaceAllEndsWhenTheReplacementHoldsTheSearchText_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QByteArray>("result");
        QTest::newRow("longer") << QByteArray("a a a") << "a"
                                << "xa" << QByteArray("xa xa xa");
        QTest::newRow("doubled") << QByteArray("ab,ab") << "ab"
                                 << "abab" << QByteArray("abab,abab");
        QTest::newRow("case") << QByteArray("Int int") << "int"
                              << "uint" << QByteArray("uint uint");
        QTest::newRow("removing") << QByteArray("xxxx") << "x"
                                  << "" << QByteArray("");
        QTest::newRow("overlapping removal") << QByteArray("aaaa") << "aa"
                                             << "" << QByteArray("");
        QTest::newRow("joined by the insertion") << QByteArray("abb") << "ab"
                                                 << "xa" << QByteArray("xab");
    }
    void replaceAllEndsWhenTheReplacementHoldsTheSearchText() {
        QFETCH(QByteArray, text);
        QFETCH(QString, find);
        QFETCH(QString, replacement);
        QFETCH(QByteArray, result);
        EditorFixture f;
        f.startEditor();
        f.setText(text);
        FindDialog& d = f.subsystem().Findtext();
        d.Text1()->setText(find);
        d.Text2()->setText(replacement);
        d.Command1_Click();  // the first occurrence selected
        d.Command5_Click();
        QCOMPARE(f.editor().bytes(), result);
    }

    void escAndCancelHideTheDialogWhichKeepsItsText() {
        EditorFixture f;
        MainWindow& w = f.startEditor();
        w.menuItem("find")->trigger();
        FindDialog& d = f.subsystem().Findtext();
        QTest::keyClicks(d.Text1(), "main");
        QTest::keyClicks(d.Text2(), "start");
        d.Check1()->setChecked(true);
        QTest::keyClick(d.Text2(), Qt::Key_Escape);
        QVERIFY(!d.isVisible());
        w.menuItem("find")->trigger();
        QVERIFY(d.isVisible());
        QCOMPARE(d.Text1()->text(), QString("main"));
        QCOMPARE(d.Text1()->selectedText(), QString("main"));
        QCOMPARE(d.Text2()->text(), QString());
        QVERIFY(d.Check1()->isChecked());
        QTest::keyClick(d.button(3), Qt::Key_Escape);
        QVERIFY(!d.isVisible());
        // Closing the main window closes the dialog.
        w.menuItem("find")->trigger();
        w.close();
        QVERIFY(!d.isVisible());
    }
};

QTEST_MAIN(TestFindReplace)
#include "tst_find_replace.moc"
