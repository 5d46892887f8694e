#include "core/app_paths.h"
#include "core/text_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace quv;

class TestFilesAndPaths : public QObject {
    Q_OBJECT
  private slots:
    void lineBreaksBecomeCrLfAndNothingElseChanges_data() {
        QTest::addColumn<QByteArray>("in");
        QTest::addColumn<QByteArray>("out");
        QTest::newRow("already") << QByteArray("a\r\nb\r\n") << QByteArray("a\r\nb\r\n");
        QTest::newRow("lf") << QByteArray("a\nb\n") << QByteArray("a\r\nb\r\n");
        QTest::newRow("cr") << QByteArray("a\rb") << QByteArray("a\r\nb");
        QTest::newRow("mixed") << QByteArray("\n\r\r\n\n\r") << QByteArray("\r\n\r\n\r\n\r\n\r\n");
        QTest::newRow("nul and high bytes")
            << QByteArray("\0\xff\x80\n", 4) << QByteArray("\0\xff\x80\r\n", 5);
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }
    void lineBreaksBecomeCrLfAndNothingElseChanges() {
        QFETCH(QByteArray, in);
        QFETCH(QByteArray, out);
        QCOMPARE(withCrLf(in), out);
    }

    void aFailedWriteLeavesThePreviousFileIntact() {
        QTemporaryDir dir;
        const QString path = dir.filePath("prog.c");
        QVERIFY(!writeWholeFile(path, "old text\r\n"));

        // A missing folder.
        const auto missing = writeWholeFile(dir.filePath("nofolder/prog.c"), "x");
        QVERIFY(missing.has_value());
        QVERIFY(!missing->isEmpty());

        // A file marked read-only is not replaced, even by a user who could.
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadUser));
        const auto readOnly = writeWholeFile(path, "new text\r\n");
        QVERIFY(readOnly.has_value());
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(readWholeFile(path).bytes.value(), QByteArray("old text\r\n"));

        // A folder in the file's place.
        QVERIFY(QDir(dir.path()).mkdir("sub.c"));
        QVERIFY(writeWholeFile(dir.filePath("sub.c"), "x").has_value());
        // Nothing is left behind beside the file.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"prog.c"}));
    }

    void everyByteSurvivesAWriteAndARead() {
        QTemporaryDir dir;
        QByteArray all;
        for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
        QVERIFY(!writeWholeFile(dir.filePath("all.bin"), all));
        QCOMPARE(readWholeFile(dir.filePath("all.bin")).bytes.value(), all);
        const ReadResult missing = readWholeFile(dir.filePath("none.c"));
        QVERIFY(!missing.bytes && !missing.error.isEmpty());
    }

    void vbAtTheRootOfADriveMovesToMyc() {
        QCOMPARE(vbToMyc("C:\\vb", PathStyle::Windows), std::optional<QString>("C:\\myc"));
        QCOMPARE(vbToMyc("D:\\vb", PathStyle::Windows), std::optional<QString>("D:\\myc"));
        QVERIFY(!vbToMyc("C:\\work\\vb", PathStyle::Windows));
        QVERIFY(!vbToMyc("C:\\VB", PathStyle::Windows));
        QVERIFY(!vbToMyc("C:\\vb2", PathStyle::Windows));
        QCOMPARE(vbToMyc("/vb", PathStyle::Posix), std::optional<QString>("/myc"));
        QVERIFY(!vbToMyc("/home/vb", PathStyle::Posix));
        QVERIFY(!vbToMyc("/VB", PathStyle::Posix));
    }

    void captionShowsTheVersionAndTheWorkingFolder() {
        QCOMPARE(windowCaption(initialDirectory("/home/dev/proj", PathStyle::Posix)),
                 QString("Z7Q C Development System 1.0.0 - /home/dev/proj/"));
        QCOMPARE(initialDirectory("C:\\", PathStyle::Windows), QString("C:\\"));
        QCOMPARE(initialDirectory("C:\\myc", PathStyle::Windows), QString("C:\\myc\\"));
    }

    void folderOfAPath() {
        QCOMPARE(folderOfPath("/home/dev/prog.c", PathStyle::Posix),
                 std::optional<QString>("/home/dev"));
        QCOMPARE(folderOfPath("/prog.c", PathStyle::Posix), std::optional<QString>("/"));
        QVERIFY(!folderOfPath("prog.c", PathStyle::Posix));
        QCOMPARE(folderOfPath("C:\\prog.c", PathStyle::Windows), std::optional<QString>("C:\\"));
        QCOMPARE(folderOfPath("C:\\a.b\\prog", PathStyle::Windows),
                 std::optional<QString>("C:\\a.b"));
        QCOMPARE(folderOfPath("\\prog.c", PathStyle::Windows), std::optional<QString>("\\"));
    }

    void dialogFiltersKeepTheirDescriptions() {
        QCOMPARE(qtFilterFromPairs(kSourceFilter),
                 QString("C Programs (*.c);;ASM (*.asm);;All Files (*)"));
        QCOMPARE(qtFilterFromPairs(kProgramFilter),
                 QString("Binary Program (*.bin);;All Files (*)"));
        QCOMPARE(qtFilterFromPairs(QString()), QString());
    }
};

QTEST_APPLESS_MAIN(TestFilesAndPaths)
#include "tst_files_and_paths.moc"
