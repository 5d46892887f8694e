// The documents without a window: open, save, the save question, new, close,
// save as and the recent-file buttons, on a text that stands in for the editor.
#include "app/documents.h"
#include "core/app_paths.h"
#include "core/options.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "core/working_folder.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace quv;

namespace {

struct FakeText : DocumentText {
    QByteArray text;
    int caret = 0;
    int focused = 0;
    QByteArray bytes() const override { return text; }
    void setBytes(const QByteArray& t) override {
        text = t;
        caret = 0;
    }
    int caretPosition() const override { return caret; }
    void setCaretPosition(int p) override { caret = p; }
    void focus() override { ++focused; }
};

struct Fixture {
    QTemporaryDir dir;
    QString previousFolder = QDir::currentPath();
    FakeText text;
    test::ScriptedDialogs dialogs;
    MemorySettingsStore settings;
    ProcessWorkingFolder folder;
    Options options;
    Documents docs{text, dialogs, settings, folder, options};
    QSignalSpy activations{&docs, &Documents::activationRequested};

    explicit Fixture(bool fullMode = true) { options.EditorEnabled = fullMode; }
    ~Fixture() { QDir::setCurrent(previousFolder); }
    QString file(const QString& name, const QByteArray& bytes) const {
        return test::writeTestFile(dir.path(), name, bytes);
    }
    // The user types: the text changes.
    void type(const QByteArray& bytes) {
        text.text.prepend(bytes);
        docs.textChanged();
    }
    int highlighted() const {
        int h = 0;
        for (int n = 1; n <= RecentFiles::kSlots; ++n)
            if (docs.recent().slot(n).highlighted) h = h ? -1 : n;
        return h;
    }
};

}  // namespace

class TestDocuments : public QObject {
    Q_OBJECT
  private slots:
    void everyByteSurvivesOpenAndSaveWithLineEndsAsCrLf() {
        Fixture f;
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            if (b != '\r' && b != '\n') all.append(static_cast<char>(b));
        const QString path = f.file("deep/bytes.c", all + "\nend\r\nx\r");
        f.docs.Open_File(path);
        QCOMPARE(f.text.text, all + "\nend\r\nx\r");
        QCOMPARE(f.docs.CurrentFileName, path);
        QCOMPARE(f.settings.get(keys::kFileName), path);
        QCOMPARE(f.folder.current(), QDir::toNativeSeparators(f.dir.filePath("deep")));
        QCOMPARE(f.activations.count(), 1);
        QVERIFY(!f.docs.Source_changed);
        QVERIFY(f.docs.save_Click());
        QCOMPARE(test::readTestFile(path), all + "\r\nend\r\nx\r\n");
    }

    void aMissingFileIsReportedAndChangesNothing() {
        Fixture f;
        const QString path = f.file("here.c", "here\r\n");
        f.docs.Open_File(path);
        for (const QString& gone :
             {f.dir.filePath("nothere.c"), f.dir.path() + "/", f.dir.filePath("no/such/folder.c")})
            f.docs.Open_File(gone);
        QCOMPARE(f.dialogs.texts(), QStringList(3, "File not found!!!"));
        QCOMPARE(f.dialogs.messages[0].icon, Icon::Information);
        QCOMPARE(f.dialogs.messages[0].title, QString("Ombrex"));
        QCOMPARE(f.docs.CurrentFileName, path);
        QCOMPARE(f.text.text, QByteArray("here\r\n"));
        QCOMPARE(f.settings.get(keys::kFileName), path);
        QCOMPARE(f.activations.count(), 4);  // the window is activated all the same
    }

    void theSaveQuestion_data() {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<int>("answer");  // -1: not asked
        QTest::addColumn<bool>("saved");
        QTest::newRow("Yes") << true << true << int(Answer::Yes) << true;
        QTest::newRow("No") << true << true << int(Answer::No) << false;
        QTest::newRow("Save Confirmation off") << true << false << -1 << true;
        QTest::newRow("unchanged") << false << true << -1 << false;
    }
    void theSaveQuestion() {
        QFETCH(bool, changed);
        QFETCH(bool, confirm);
        QFETCH(int, answer);
        QFETCH(bool, saved);
        for (const bool exit : {false, true}) {
            Fixture f;
            f.options.Save_Confirmation = confirm;
            const QString path = f.file("q.c", "old\r\n");
            f.docs.Open_File(path);
            if (changed) f.type("new ");
            if (answer >= 0) f.dialogs.answers << Answer(answer);
            // On exit the question is asked whatever the option says.
            const bool asked = answer >= 0 || (exit && changed);
            QVERIFY(exit ? f.docs.exitSaveQuestion() : f.docs.saveQuestion());
            QCOMPARE(f.dialogs.texts(),
                     asked ? QStringList{"Save changes to file ?"} : QStringList{});
            if (asked) QCOMPARE(f.dialogs.messages[0].buttons, Buttons::YesNo);
            QCOMPARE(test::readTestFile(path), saved && !(exit && !confirm)
                                                   ? QByteArray("new old\r\n")
                                                   : QByteArray("old\r\n"));
        }
    }

    void newEmptiesTheDocumentAndKeepsTheHighlight() {
        Fixture f;
        f.docs.Open_File(f.file("a.c", "a\r\n"));
        f.type("x");
        f.dialogs.answers << Answer::No;
        f.docs.new_Click();
        QVERIFY(f.text.text.isEmpty());
        QCOMPARE(f.docs.CurrentFileName, QString("noname.c"));
        QCOMPARE(f.settings.get(keys::kFileName, "x"), QString());
        QVERIFY(!f.docs.Source_changed);
        QCOMPARE(f.highlighted(), 1);
    }

    void noToTheQuestionThenCancelKeepsTheText() {
        Fixture f;
        f.type("unsaved");
        f.dialogs.answers << Answer::No;
        f.docs.Open_Click();  // the dialog is cancelled
        QCOMPARE(f.dialogs.openFilters, QStringList{kSourceFilter});
        QCOMPARE(f.text.text, QByteArray("unsaved"));
        QVERIFY(f.docs.Source_changed);
    }

    void openFiltersFollowTheModeAndSaveAsReusesThem() {
        Fixture f(false);  // compact mode
        const QString bin = f.file("prog.bin", QByteArray("\x01\x02\x00\xff", 4));
        f.docs.CurrentFileName = "prog.c";
        f.docs.save_as_Click();  // before any Open: no filter
        QCOMPARE(f.dialogs.saveFilters, QStringList{QString()});
        f.dialogs.openAnswers << bin;
        f.docs.Open_Click();
        QCOMPARE(f.dialogs.openFilters, QStringList{kProgramFilter});
        QCOMPARE(f.text.text, QByteArray("\x01\x02\x00\xff", 4));
        f.docs.save_as_Click();
        QCOMPARE(f.dialogs.saveFilters.last(), kProgramFilter);
        QCOMPARE(f.dialogs.prefilledNames.last(), bin);
    }

    void saveAsWritesReopensAndRecordsTheNewFile() {
        Fixture f;
        const QString first = f.file("one/first.c", "first\r\n");
        f.docs.Open_File(first);
        f.type("// ");
        const QString second = QDir::toNativeSeparators(f.dir.filePath("two/second.c"));
        QDir().mkpath(f.dir.filePath("two"));
        f.dialogs.saveAnswers << second;
        QVERIFY(f.docs.save_as_Click());
        QCOMPARE(test::readTestFile(second), QByteArray("// first\r\n"));
        QCOMPARE(test::readTestFile(first), QByteArray("first\r\n"));
        QCOMPARE(f.docs.CurrentFileName, second);
        QVERIFY(!f.docs.Source_changed);
        QCOMPARE(f.docs.recent().paths(), QStringList({first, second, "", "", ""}));
        QCOMPARE(f.highlighted(), 2);
        QCOMPARE(f.folder.current(), QDir::toNativeSeparators(f.dir.filePath("two")));
    }

    void saveWithoutANameAsksForOne() {
        Fixture f;
        f.type("first words");
        const QString chosen = QDir::toNativeSeparators(f.dir.filePath("named.c"));
        f.dialogs.saveAnswers << std::nullopt << chosen;
        QVERIFY(!f.docs.save_Click());  // cancelled: nothing is written
        QVERIFY(f.dialogs.messages.isEmpty());
        QVERIFY(f.docs.Source_changed);
        QVERIFY(f.docs.save_Click());
        QCOMPARE(test::readTestFile(chosen), QByteArray("first words"));
        QCOMPARE(f.docs.CurrentFileName, chosen);
    }

    void aFailedSaveKeepsTheOldFileTheTextAndTheChangedFlag() {
        Fixture f;
        const QString path = f.file("ro.c", "original\r\n");
        f.docs.Open_File(path);
        f.type("edited ");
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
        QVERIFY(!f.docs.save_Click());
        QCOMPARE(test::readTestFile(path), QByteArray("original\r\n"));
        QVERIFY(f.docs.Source_changed);
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY(f.dialogs.messages[0].text.contains(path));
        QVERIFY(f.dialogs.messages[0].text.contains("read-only"));
        QCOMPARE(f.dialogs.messages[0].icon, Icon::Critical);

        // New after a failed save stops, so nothing is lost.
        f.dialogs.answers << Answer::Yes;
        f.docs.new_Click();
        QCOMPARE(f.text.text, QByteArray("edited original\r\n"));
        QCOMPARE(f.docs.CurrentFileName, path);

        // Save as into a missing folder: the document stays bound to its file.
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        f.dialogs.saveAnswers << f.dir.filePath("missing/other.c");
        QVERIFY(!f.docs.save_as_Click());
        QCOMPARE(f.docs.CurrentFileName, path);
        QVERIFY(f.docs.Source_changed);
    }

    void closeOpensTheFirstRemainingFileInButtonOrder() {
        Fixture f;
        const QString a = f.file("a.c", "a\r\n");
        const QString b = f.file("b.c", "b\r\n");
        const QString c = f.file("c.c", "c\r\n");
        f.docs.recent().setPath(2, a);
        f.docs.recent().setPath(3, b);
        f.docs.recent().setPath(5, c);
        f.docs.recent().resetRanks();
        f.docs.Open_File(c);  // the most recent is c, then b ...
        f.docs.Open_File(b);
        f.docs.Close_Click();
        // b's slot is emptied; a, first in button order, opens.
        QCOMPARE(f.docs.recent().paths(), QStringList({"", a, "", "", c}));
        QCOMPARE(f.docs.CurrentFileName, a);
        QCOMPARE(f.text.text, QByteArray("a\r\n"));
        QCOMPARE(f.highlighted(), 2);

        // Closing every file leaves an empty document that a save creates.
        f.docs.Close_Click();
        f.docs.Close_Click();
        QVERIFY(f.text.text.isEmpty());
        QCOMPARE(f.docs.CurrentFileName, closedDocumentName(nativePathStyle()));
        QCOMPARE(f.settings.get(keys::kFileName, "x"), QString());
        QCOMPARE(f.docs.recent().paths(), QStringList(5, QString()));
    }

    void recentButtonsRestoreTheCaretInFullModeAndOnlyHighlightInCompactMode() {
        Fixture f;
        QStringList files;
        for (int i = 1; i <= 4; ++i)
            files << f.file(QString("s%1.c").arg(i), QByteArray(200, char('a' + i)));
        for (int slot = 1; slot <= 4; ++slot) f.docs.recent().setPath(slot, files[slot - 1]);
        f.docs.recent().resetRanks();
        f.docs.recentFileClicked(7);
        QCOMPARE(f.docs.CurrentFileName, files[1]);
        f.text.caret = 42;
        f.docs.recentFileClicked(9);
        QCOMPARE(f.docs.CurrentFileName, files[3]);
        f.text.caret = 7;
        f.docs.recentFileClicked(7);
        QCOMPARE(f.text.caret, 42);
        f.docs.recentFileClicked(9);
        QCOMPARE(f.text.caret, 7);
        QCOMPARE(f.text.focused, 4);
        QCOMPARE(f.docs.CurrentSlot, 4);
        f.docs.recentFileClicked(10);  // an empty button does nothing
        QCOMPARE(f.highlighted(), 4);

        f.options.EditorEnabled = false;
        f.docs.recentFileClicked(6);
        QCOMPARE(f.highlighted(), 1);
        QCOMPARE(f.docs.CurrentFileName, files[3]);
        QCOMPARE(f.docs.CurrentSlot, 1);
        QVERIFY(f.dialogs.messages.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDocuments)
#include "tst_documents.moc"
