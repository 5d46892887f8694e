#include "app/documents.h"
#include "app/status_panels.h"
#include "core/app_paths.h"
#include "core/settings_keys.h"
#include "editor/source_editor.h"
#include "support/app_fixture.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QtTest>

using namespace quv;
using quv::test::AppFixture;

namespace {
// Every byte value 1 to 255 with the line breaks only as CR LF pairs.
QByteArray everyByte() {
    QByteArray out;
    for (int b = 1; b < 256; ++b) {
        if (b == '\r' || b == '\n') continue;
        out.append(static_cast<char>(b));
        if (b % 16 == 0) out.append("\r\n");
    }
    out.append("\r\n");
    return out;
}
QStringList buttonCaptions(MainWindow& w) {
    QStringList out;
    for (int i = 6; i <= 10; ++i) out << w.Command1(i)->text();
    return out;
}
int highlightedButton(MainWindow& w) {
    int h = 0;
    for (int i = 6; i <= 10; ++i)
        if (w.Command1(i)->property("highlighted").toBool()) h = h ? -1 : i;
    return h;
}
}  // namespace

class TestDocuments : public QObject {
    Q_OBJECT
  private slots:
    void everyByteSurvivesOpenAndSave() {
        AppFixture f;
        const QString path = f.writeFile("bytes.c", everyByte());
        MainWindow& w = f.start();
        w.documents().Open_File(path);
        QCOMPARE(w.Source()->bytes(), everyByte());
        QVERIFY(!w.documents().Source_changed);
        QVERIFY(w.documents().save_Click());
        QCOMPARE(AppFixture::readFile(path), everyByte());
    }

    void lineBreaksAreSavedAsCrLf() {
        AppFixture f;
        const QString path = f.writeFile("unix.c", "int a;\nint b;\n");
        MainWindow& w = f.start();
        w.documents().Open_File(path);
        // A line break counts two characters in the editor too.
        QCOMPARE(w.Source()->length(), 16);
        QVERIFY(w.documents().save_Click());
        QCOMPARE(AppFixture::readFile(path), QByteArray("int a;\r\nint b;\r\n"));
    }

    void aMissingFileIsReportedAndChangesNothing() {
        AppFixture f;
        const QString path = f.writeFile("here.c", "here\r\n");
        MainWindow& w = f.start();
        w.documents().Open_File(path);
        w.documents().Open_File(f.dir.filePath("nothere.c"));
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.dialogs.messages[0].text, QString("File not found!!!"));
        QCOMPARE(f.dialogs.messages[0].icon, Icon::Information);
        QCOMPARE(f.dialogs.messages[0].title, QString("Ombrex"));
        QCOMPARE(w.documents().CurrentFileName, path);
        QCOMPARE(w.Source()->bytes(), QByteArray("here\r\n"));
        // A folder is not a file; a path whose folder is missing is not either.
        w.documents().Open_File(f.dir.path() + "/");
        w.documents().Open_File(f.dir.filePath("no/such/folder.c"));
        QCOMPARE(f.dialogs.texts(), QStringList(3, "File not found!!!"));
        QCOMPARE(f.settings.get(keys::kFileName), path);
    }

    void aLastDocumentThatIsGoneIsReportedAtStartUp() {
        AppFixture f;
        f.settings.save(keys::kFileName, f.dir.filePath("gone.c"));
        MainWindow& w = f.start();
        QCOMPARE(f.dialogs.texts(), QStringList{"File not found!!!"});
        QVERIFY(w.isVisible());
        QVERIFY(w.Source()->bytes().isEmpty());
    }

    void theSaveQuestion_data() {
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<int>("answer");  // -1: not asked
        QTest::addColumn<bool>("saved");
        QTest::newRow("Yes") << true << int(Answer::Yes) << true;
        QTest::newRow("No") << true << int(Answer::No) << false;
        QTest::newRow("Save Confirmation off") << false << -1 << true;
    }
    void theSaveQuestion() {
        QFETCH(bool, confirm);
        QFETCH(int, answer);
        QFETCH(bool, saved);
        AppFixture f;
        const QString path = f.writeFile("q.c", "old\r\n");
        f.settings.save(keys::kEditorEnabled, "True");
        f.settings.save(keys::kSaveConfirmation, confirm ? "True" : "False");
        f.settings.save(keys::kFileName, path);
        MainWindow& w = f.start();
        QTest::keyClicks(w.Source(), "new ");
        if (answer >= 0) f.dialogs.answers << Answer(answer);
        w.menuItem("new")->trigger();
        QCOMPARE(f.dialogs.texts(),
                 answer >= 0 ? QStringList{"Save changes to file ?"} : QStringList{});
        QCOMPARE(AppFixture::readFile(path),
                 saved ? QByteArray("new old\r\n") : QByteArray("old\r\n"));
        // New: an empty document named noname.c, the stored name emptied, the
        // previous document's button still highlighted.
        QVERIFY(w.Source()->bytes().isEmpty());
        QCOMPARE(w.documents().CurrentFileName, QString("noname.c"));
        QCOMPARE(w.StatusBar1()->panelText("Name"), QString("noname.c"));
        QCOMPARE(f.settings.get(keys::kFileName, "x"), QString());
        QVERIFY(!w.documents().Source_changed);
        QCOMPARE(highlightedButton(w), 6);
    }

    void noToTheQuestionThenCancelKeepsTheText() {
        AppFixture f;
        f.settings.save(keys::kEditorEnabled, "True");
        MainWindow& w = f.start();
        QTest::keyClicks(w.Source(), "unsaved");
        f.dialogs.answers << Answer::No;
        w.menuItem("Open")->trigger();  // the dialog is cancelled
        QCOMPARE(f.dialogs.openFilters, QStringList{kSourceFilter});
        QCOMPARE(w.Source()->bytes(), QByteArray("unsaved"));
        QVERIFY(w.documents().Source_changed);
    }

    void openFiltersFollowTheModeAndSaveAsReusesThem() {
        AppFixture f;
        const QString bin = f.writeFile("prog.bin", QByteArray("\x01\x02\x00\xff", 4));
        MainWindow& w = f.start();      // compact mode
        w.documents().save_as_Click();  // before any Open: no filter
        QCOMPARE(f.dialogs.saveFilters, QStringList{QString()});
        f.dialogs.openAnswers << bin;
        w.Command1_Click(1);
        QCOMPARE(f.dialogs.openFilters, QStringList{kProgramFilter});
        QCOMPARE(w.documents().CurrentFileName, bin);
        QCOMPARE(w.Source()->bytes(), QByteArray("\x01\x02\x00\xff", 4));
        w.documents().save_as_Click();
        QCOMPARE(f.dialogs.saveFilters.last(), kProgramFilter);
        QCOMPARE(f.dialogs.prefilledNames.last(), bin);
    }

    void saveAsWritesReopensAndRecordsTheNewFile() {
        AppFixture f;
        const QString first = f.writeFile("one/first.c", "first\r\n");
        f.settings.save(keys::kEditorEnabled, "True");
        f.settings.save(keys::kFileName, first);
        MainWindow& w = f.start();
        QTest::keyClicks(w.Source(), "// ");
        const QString second = QDir::toNativeSeparators(f.dir.filePath("two/second.c"));
        QDir().mkpath(f.dir.filePath("two"));
        f.dialogs.saveAnswers << second;
        w.menuItem("save_as")->trigger();
        QCOMPARE(AppFixture::readFile(second), QByteArray("// first\r\n"));
        QCOMPARE(AppFixture::readFile(first), QByteArray("first\r\n"));
        QCOMPARE(w.documents().CurrentFileName, second);
        QVERIFY(!w.documents().Source_changed);
        QCOMPARE(buttonCaptions(w), QStringList({first, second, "", "", ""}));
        QCOMPARE(highlightedButton(w), 7);
        QVERIFY(w.windowTitle().endsWith(QDir::toNativeSeparators(f.dir.filePath("two")) +
                                         QDir::separator()));
    }

    void aFailedSaveKeepsTheOldFileTheTextAndTheChangedFlag() {
        AppFixture f;
        const QString path = f.writeFile("ro.c", "original\r\n");
        f.settings.save(keys::kEditorEnabled, "True");
        f.settings.save(keys::kFileName, path);
        MainWindow& w = f.start();
        QTest::keyClicks(w.Source(), "edited ");
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
        QVERIFY(!w.documents().save_Click());
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(AppFixture::readFile(path), QByteArray("original\r\n"));
        QVERIFY(w.documents().Source_changed);
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY(f.dialogs.messages[0].text.contains(path));
        QVERIFY(f.dialogs.messages[0].text.contains("read-only"));
        QCOMPARE(f.dialogs.messages[0].icon, Icon::Critical);

        // Save as into a missing folder: the document stays bound to its file.
        f.dialogs.saveAnswers << f.dir.filePath("missing/other.c");
        w.documents().save_as_Click();
        QCOMPARE(w.documents().CurrentFileName, path);
        QVERIFY(w.documents().Source_changed);

        // New after a failed save stops, so nothing is lost.
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
        f.dialogs.answers << Answer::Yes;
        w.documents().new_Click();
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(w.Source()->bytes(), QByteArray("edited original\r\n"));
        QCOMPARE(w.documents().CurrentFileName, path);
    }

    void aSixthFileReplacesTheOldestButton() {
        AppFixture f;
        QStringList files;
        for (int i = 1; i <= 6; ++i) files << f.writeFile(QString("f%1.c").arg(i), "x\r\n");
        for (int slot = 1; slot <= 5; ++slot)
            f.settings.save(keys::lastFile(slot), files[slot - 1]);
        MainWindow& w = f.start();
        QCOMPARE(buttonCaptions(w), files.mid(0, 5));
        w.documents().Open_File(files[5]);
        QCOMPARE(buttonCaptions(w),
                 QStringList({files[5], files[1], files[2], files[3], files[4]}));
        QCOMPARE(highlightedButton(w), 6);
        QCOMPARE(w.Command1(6)->property("tag").toString(), files[5]);
        // Reopening a listed file keeps its button.
        w.documents().Open_File(files[3]);
        QCOMPARE(buttonCaptions(w),
                 QStringList({files[5], files[1], files[2], files[3], files[4]}));
        QCOMPARE(highlightedButton(w), 9);
    }

    void closeOpensTheFirstRemainingFileInButtonOrder() {
        AppFixture f;
        const QString a = f.writeFile("a.c", "a\r\n");
        const QString b = f.writeFile("b.c", "b\r\n");
        const QString c = f.writeFile("c.c", "c\r\n");
        f.settings.save(keys::kEditorEnabled, "True");
        f.settings.save("Last_2", a);
        f.settings.save("Last_3", b);
        f.settings.save("Last_5", c);
        MainWindow& w = f.start();
        w.documents().Open_File(c);  // the most recent is c, then b ...
        w.documents().Open_File(b);
        w.menuItem("Close")->trigger();
        // b's button is emptied; a, first in button order, opens.
        QCOMPARE(buttonCaptions(w), QStringList({"", a, "", "", c}));
        QCOMPARE(w.documents().CurrentFileName, a);
        QCOMPARE(w.Source()->bytes(), QByteArray("a\r\n"));
        QCOMPARE(highlightedButton(w), 7);
    }

    void closingTheLastFileLeavesAnEmptyNoname() {
        AppFixture f;
        const QString a = f.writeFile("a.c", "a\r\n");
        f.settings.save(keys::kFileName, a);
        MainWindow& w = f.start();
        w.documents().Close_Click();
        QVERIFY(w.Source()->bytes().isEmpty());
        QCOMPARE(w.StatusBar1()->panelText("Name"), QString());
        QCOMPARE(w.documents().CurrentFileName, closedDocumentName(nativePathStyle()));
        QCOMPARE(f.settings.get(keys::kFileName, "x"), QString());
        QCOMPARE(buttonCaptions(w), QStringList(5, QString()));
        // Saving then creates that file, empty.
        QVERIFY(w.documents().save_Click());
        QCOMPARE(AppFixture::readFile(w.documents().CurrentFileName), QByteArray());
        QFile::remove(w.documents().CurrentFileName);
    }

    void recentButtonsRestoreTheCaretInFullModeAndOnlyHighlightInCompactMode() {
        AppFixture f;
        QStringList files;
        for (int i = 1; i <= 4; ++i)
            files << f.writeFile(QString("s%1.c").arg(i), QByteArray(200, 'a' + char(i)));
        for (int slot = 1; slot <= 4; ++slot)
            f.settings.save(keys::lastFile(slot), files[slot - 1]);
        f.settings.save(keys::kEditorEnabled, "True");
        MainWindow& w = f.start();
        w.Command1_Click(7);
        QCOMPARE(w.documents().CurrentFileName, files[1]);
        w.Source()->setCaretPosition(42);
        w.Command1_Click(9);
        QCOMPARE(w.documents().CurrentFileName, files[3]);
        w.Source()->setCaretPosition(7);
        w.Command1_Click(7);
        QCOMPARE(w.Source()->caretPosition(), 42);
        w.Command1_Click(9);
        QCOMPARE(w.Source()->caretPosition(), 7);
        QCOMPARE(w.documents().CurrentSlot, 4);
        QCOMPARE(highlightedButton(w), 9);
        w.Command1_Click(10);  // an empty button does nothing
        QCOMPARE(highlightedButton(w), 9);

        w.EditorEnabled_Click();  // compact mode
        w.Command1_Click(6);
        QCOMPARE(highlightedButton(w), 6);
        QCOMPARE(w.documents().CurrentFileName, files[3]);
        QCOMPARE(w.documents().CurrentSlot, 1);
        QVERIFY(f.dialogs.messages.isEmpty());
    }
};

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
