#include "app/documents.h"
#include "compile/compiler_runner.h"
#include "compile/errors_window.h"
#include "core/settings_keys.h"
#include "editor/source_editor.h"
#include "support/app_fixture.h"
#include "tool_folder.h"
#include "toolchain.h"

#include <QListWidget>
#include <QtTest>

using namespace quv;
using namespace quv::toolchain;
using quv::test::AppFixture;
using quv::test::ToolFolder;

namespace {

const QByteArray kGood =
    "#include <stdio.h>\r\n"
    "\r\n"
    "static int counter;\r\n"
    "\r\n"
    "int main(void)\r\n"
    "{\r\n"
    "\tcounter++;\r\n"
    "\tprintf(\"%d\\n\", counter);\r\n"
    "\treturn 0;\r\n"
    "}\r\n";

quint32 little(const QByteArray& b, int at, int size) {
    quint32 v = 0;
    for (int i = 0; i < size; ++i) v |= quint32(quint8(b.at(at + i))) << (8 * i);
    return v;
}

}  // namespace

class TestToolchain : public QObject {
    Q_OBJECT
  private slots:
    void diagnosticsOfTheHostCompiler() {
        const QList<Diagnostic> d = parseDiagnostics(
            "/w/a.c: In function 'main':\n"
            "/w/a.c:8:24: error: expected ';' before 'return'\n"
            "    8 |         counter += step\n"
            "      |                        ^\n"
            "/w/a.c:3:5: warning: unused variable 'x' [-Wunused-variable]\n"
            "/w/a.c:3:5: note: declared here\n"
            "C:\\w\\b.c:12: error: old style, no column\r\n"
            "cc1: fatal error: /w/c.c: No such file or directory\n"
            "compilation terminated.\n");
        QCOMPARE(d.size(), 4);
        QCOMPARE(d[0].file, QString("/w/a.c"));
        QCOMPARE(d[0].line, 8);
        QVERIFY(d[0].error);
        QCOMPARE(d[0].message, QString("expected ';' before 'return'"));
        QVERIFY(!d[1].error);
        QCOMPARE(d[2].file, QString("C:\\w\\b.c"));
        QCOMPARE(d[2].line, 12);
        QCOMPARE(d[3].line, 0);
        QCOMPARE(d[3].message, QString("/w/c.c: No such file or directory"));

        // Errors only, unless warnings are asked for; a diagnostic without a
        // place counts for line 1 of the source.
        QCOMPARE(errorRecords(d, "/w/a.c", false),
                 QByteArray("8:/w/a.c\r\nexpected ';' before 'return'\r\n"
                            "12:C:\\w\\b.c\r\nold style, no column\r\n"
                            "1:/w/a.c\r\n/w/c.c: No such file or directory\r\n"));
        QVERIFY(errorRecords(d, "/w/a.c", true)
                    .contains("3:/w/a.c\r\nwarning: unused variable 'x' [-Wunused-variable]\r\n"));
    }

    void objectFilesThatCannotBeRead() {
        QVERIFY(std::holds_alternative<QString>(imageFromObject("")));
        QVERIFY(std::holds_alternative<QString>(imageFromObject("MZ not an object file at all")));
        // A header whose section table lies beyond the end of the file.
        QByteArray cut(
            "\x7f"
            "ELF\x02\x01\x01",
            7);
        cut.resize(64, '\0');
        cut[0x28] = '\x7f';
        cut[0x3A] = 64;
        cut[0x3C] = 3;
        cut[0x3E] = 1;
        const auto r = imageFromObject(cut);
        QVERIFY(std::holds_alternative<QString>(r));
        QCOMPARE(std::get<QString>(r), QString("the object file is damaged"));
    }

    void theHeader() {
        Image image;
        image.bytes = QByteArray(300, 'x');
        image.mainOffset = 0x123;
        QCOMPARE(programHeader(image), QByteArray("Z7\x2c\x01\x00\x00\x23\x01", 8));
        image.mainOffset.reset();
        QCOMPARE(programHeader(image).right(2), QByteArray("\xff\xff", 2));
    }

    // The whole cycle with the real programs: F7 on a good file, then on a
    // broken one, then a row of the error list.
    void buildingAGoodAndABrokenProgram() {
        if (!findHostCompiler()) QSKIP("no C compiler on PATH");
        AppFixture f;
        ToolFolder tools(f.dir.filePath("hello world"));
        QVERIFY(tools.install(QStringLiteral(QUV_MYC), "myc.exe"));
        QVERIFY(tools.install(QStringLiteral(QUV_COMPILE), "compile.exe"));
        const QString source = f.writeFile("hello world/hello.c", kGood);
        f.settings.save(keys::kEditorEnabled, "True");
        f.settings.save(keys::kFileName, source);
        MainWindow& w = f.start();

        QCOMPARE(w.compile(), std::optional<int>(1));
        const QString base = tools.path + "hello.";
        const QByteArray header = AppFixture::readFile(base + "hea");
        const QByteArray image = AppFixture::readFile(base + "bin");
        QCOMPARE(header.size(), 8);
        QCOMPARE(header.left(2), QByteArray("Z7"));
        QVERIFY(!image.isEmpty());
        QCOMPARE(little(header, 2, 4), quint32(image.size()));
        QVERIFY(little(header, 6, 2) < quint32(image.size()));  // main is in the image
        QVERIFY(AppFixture::readFile(base + "sys").contains("main"));
        QCOMPARE(AppFixture::readFile(base + "ERR"), QByteArray());
        QVERIFY(!w.compiler().errorList()->isVisible());

        // Line 7 loses its semicolon: the error is on line 7 or the next one.
        w.Source()->setBytes(QByteArray(kGood).replace("counter++;", "counter++"));
        w.documents().Source_changed = true;
        f.dialogs.answers << Answer::Yes;
        QCOMPARE(w.compile(), std::optional<int>(0));
        QCOMPARE(AppFixture::readFile(base + "hea"), QByteArray());  // not compiled
        Errors& errors = *w.compiler().errorList();
        QVERIFY(errors.isVisible());
        QVERIFY(errors.List1()->count() >= 1);
        const int line = errors.List1()->item(0)->text().toInt();
        QVERIFY2(line == 7 || line == 8, qPrintable(errors.List1()->item(0)->text()));
        QCOMPARE(errors.List2()->item(0)->text(), source);
        QVERIFY2(errors.List3()->item(0)->text().contains("expected"),
                 qPrintable(errors.List3()->item(0)->text()));
        errors.List3()->setCurrentRow(0);
        int caretLine = -1, index = -1;
        w.Source()->getCursorPosition(&caretLine, &index);
        QCOMPARE(caretLine, line - 1);
        QCOMPARE(index, 0);
    }

    void aMissingSourceGivesOneRecord() {
        QTemporaryDir dir;
        const QString base = dir.filePath("nothere");
        QCOMPARE(compilerPass({base}), 1);
        QCOMPARE(
            AppFixture::readFile(base + ".ERR"),
            ("1:" + base + ".c\r\ncannot open the source file " + base + ".c\r\n").toLocal8Bit());
        QCOMPARE(secondPass({base, "r"}), 1);
        QCOMPARE(compilerPass({}), 2);
    }
};

QTEST_MAIN(TestToolchain)
#include "tst_toolchain.moc"
