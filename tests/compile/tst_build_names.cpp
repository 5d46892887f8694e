#include "compile/build_names.h"
#include "compile/error_file.h"

#include <QtTest>

#include <limits>

using namespace quv;

class TestBuildNames : public QObject {
    Q_OBJECT
  private slots:
    void baseAndFolder_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("folder");
        const int win = int(PathStyle::Windows), posix = int(PathStyle::Posix);
        QTest::newRow("C source") << "C:\\work\\prog.c" << win << "C:\\work\\prog"
                                  << "C:\\work\\";
        QTest::newRow("any extension") << "C:\\work\\prog.asm" << win << "C:\\work\\prog"
                                       << "C:\\work\\";
        QTest::newRow("last dot only") << "/src/a.b.c" << posix << "/src/a.b"
                                       << "/src/";
        QTest::newRow("dot in the folder only") << "C:\\work.d\\prog" << win << "C:\\work"
                                                << "C:\\";
        QTest::newRow("no folder") << "prog.c" << posix << "prog"
                                   << "";
        QTest::newRow("blanks") << "/my work/my prog.c" << posix << "/my work/my prog"
                                << "/my work/";
        QTest::newRow("POSIX separator only") << "/a\\b/prog.c" << posix << "/a\\b/prog"
                                              << "/a\\b/";
    }
    void baseAndFolder() {
        QFETCH(QString, path);
        QFETCH(int, style);
        QFETCH(QString, base);
        QFETCH(QString, folder);
        const auto names = buildNames(path, PathStyle(style));
        QVERIFY(names);
        QCOMPARE(names->base, base);
        QCOMPARE(names->folder, folder);
    }

    void aNameWithoutADotHasNoBuildAndNoErrorFile() {
        QVERIFY(!buildNames("/work/Makefile", PathStyle::Posix));
        QVERIFY(!buildNames("", PathStyle::Posix));
        QVERIFY(!errorFileName("/work/Makefile"));
        QCOMPARE(*errorFileName("C:\\work\\prog.c"), QString("C:\\work\\prog.ERR"));
        QCOMPARE(*errorFileName("/w.d/prog"), QString("/w.ERR"));
        QCOMPARE(*baseWithDot("/w/prog.c"), QString("/w/prog."));
    }

    void commandLines() {
        const BuildNames n = *buildNames("C:\\my work\\prog.c", PathStyle::Windows);
        const CommandLine plain =
            compilerPassCommand(n, false, "D:\\elsewhere", PathStyle::Windows);
        QCOMPARE(plain.text, QString("C:\\my work\\myc.exe C:\\my work\\prog"));
        QCOMPARE(plain.program, QString("C:\\my work\\myc.exe"));
        QCOMPARE(plain.arguments, QStringList{"C:\\my work\\prog"});
        QCOMPARE(plain.programName, QString("myc.exe"));
        QCOMPARE(plain.folder, QString("C:\\my work\\"));
        const CommandLine lines = compilerPassCommand(n, true, "D:\\elsewhere", PathStyle::Windows);
        QCOMPARE(lines.text, QString("C:\\my work\\myc.exe C:\\my work\\prog /D"));
        QCOMPARE(lines.arguments, (QStringList{"C:\\my work\\prog", "/D"}));
        QCOMPARE(lines.argumentText, QString("C:\\my work\\prog /D"));
        const CommandLine second = secondPassCommand(n, "D:\\elsewhere", PathStyle::Windows);
        QCOMPARE(second.text, QString("C:\\my work\\compile.exe C:\\my work\\prog r "));
        QCOMPARE(second.arguments, (QStringList{"C:\\my work\\prog", "r"}));

        // Without a folder the line names none; the program is taken from
        // the working folder.
        const BuildNames bare = *buildNames("prog.c", PathStyle::Posix);
        const CommandLine here = secondPassCommand(bare, "/home/me", PathStyle::Posix);
        QCOMPARE(here.text, QString("compile.exe prog r "));
        QCOMPARE(here.program, QString("/home/me/compile.exe"));
        QCOMPARE(here.folder, QString("/home/me/"));
        QCOMPARE(here.arguments, (QStringList{"prog", "r"}));
    }

    void errorRecords() {
        QVERIFY(parseErrorFile("").isEmpty());
        const auto one = parseErrorFile("12:C:\\work\\prog.c\r\nmissing ;\r\n");
        QCOMPARE(one.size(), 1);
        QCOMPARE(one[0].line, QString("12"));
        QCOMPARE(one[0].file, QString("C:\\work\\prog.c"));
        QCOMPARE(one[0].message, QString("missing ;"));

        // A first line without ":" is all line; a last line without its end
        // is kept; a lone LF ends a line too; an odd last line has no message.
        const auto odd =
            parseErrorFile("no colon here\r\nmsg 1\n3:/a/b.c\r\nmsg 2\r\n4:x:y\r\nlast");
        QCOMPARE(odd.size(), 3);
        QCOMPARE(odd[0].line, QString("no colon here"));
        QCOMPARE(odd[0].file, QString());
        QCOMPARE(odd[0].message, QString("msg 1"));
        QCOMPARE(odd[1].file, QString("/a/b.c"));
        QCOMPARE(odd[2].file, QString("x:y"));
        QCOMPARE(odd[2].message, QString("last"));
        const auto cut = parseErrorFile("5:/a.c\r\n");
        QCOMPARE(cut.size(), 1);
        QCOMPARE(cut[0].message, QString());

        // Blank lines at the end carry nothing; an empty message is kept.
        const auto blanks = parseErrorFile("1:/a.c\r\n\r\n2:/a.c\r\nm\r\n\r\n\r\n\r\n");
        QCOMPARE(blanks.size(), 2);
        QCOMPARE(blanks[0].message, QString());
        QCOMPARE(blanks[1].line, QString("2"));
    }

    void lineIndexOfAnErrorsLineText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");
        QTest::newRow("12") << "12" << 11;
        QTest::newRow("1") << "1" << 0;
        QTest::newRow("leading blanks") << "  7" << 6;
        QTest::newRow("trailing letters") << "12abc" << 11;
        QTest::newRow("not a number") << "abc" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("half to even, down") << "3.5" << 2;
        QTest::newRow("half to even, up") << "4.5" << 4;
        QTest::newRow("fraction") << "2.7" << 2;
        QTest::newRow("negative") << "-3" << -4;
        QTest::newRow("huge") << "99999999999999" << std::numeric_limits<qint32>::max();
        QTest::newRow("other digits") << "\u0663" << -1;
    }
    void lineIndexOfAnErrorsLineText() {
        QFETCH(QString, text);
        QFETCH(int, index);
        QCOMPARE(errorLineIndex(text), index);
    }
};

QTEST_APPLESS_MAIN(TestBuildNames)
#include "tst_build_names.moc"
