// The shared core rules: the numeric-text reader, the checksums, the
// settings' text forms, the options value, 8-bit files, the path rules and the
// Terminal Monitor's timeline.
#include "core/app_paths.h"
#include "core/checksum.h"
#include "core/monitor_timeline.h"
#include "core/numeric_text.h"
#include "core/options.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "core/text_file.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>

#include <unistd.h>

using namespace quv;

class TestCore : public QObject {
    Q_OBJECT
  private slots:
    void numericTextReadsTheLeadingNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("blanksInside");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("rounded");
        QTest::newRow("digits") << "12" << false << 12.0 << 12;
        QTest::newRow("leading blanks, letters after") << " \t12abc" << false << 12.0 << 12;
        QTest::newRow("empty") << "" << false << 0.0 << 0;
        QTest::newRow("letters") << "abc" << false << 0.0 << 0;
        QTest::newRow("sign only") << "-" << false << 0.0 << 0;
        QTest::newRow("negative") << "-3" << false << -3.0 << -3;
        QTest::newRow("half to even down") << "2.5" << false << 2.5 << 2;
        QTest::newRow("half to even up") << "3.5" << false << 3.5 << 4;
        QTest::newRow("negative half") << "-0.5" << false << -0.5 << 0;
        QTest::newRow("point first") << ".75" << false << 0.75 << 1;
        QTest::newRow("exponent") << "1e2" << false << 100.0 << 100;
        QTest::newRow("d exponent, signed") << "15D-1" << false << 1.5 << 2;
        QTest::newRow("exponent without digits") << "7e" << false << 7.0 << 7;
        QTest::newRow("exponent sign without digits") << "7e+x" << false << 7.0 << 7;
        QTest::newRow("blank ends the number") << "1 6" << false << 1.0 << 1;
        QTest::newRow("blanks inside") << "1 6" << true << 16.0 << 16;
        QTest::newRow("blanks inside, exponent") << " 1 e 2" << true << 100.0 << 100;
        QTest::newRow("too large") << "1e999" << false << qInf() << 2147483647;
        QTest::newRow("too small") << "-1e999" << false << -qInf() << -2147483647 - 1;
        QTest::newRow("beyond 32 bits") << "5000000000" << false << 5e9 << 2147483647;
        QTest::newRow("non-ASCII digit") << QString::fromUtf8("\u0663") << false << 0.0 << 0;
    }
    void numericTextReadsTheLeadingNumber() {
        QFETCH(QString, text);
        QFETCH(bool, blanksInside);
        const double v = leadingNumber(text, NumberSyntax{blanksInside});
        QTEST(v, "value");
        QTEST(roundHalfEven(v), "rounded");
    }

    // Checksum1 and Checksum2 of known blocks, and their trailer, low bytes
    // first; a reset starts them from zero again.
    void checksums() {
        const struct {
            QByteArray block;
            int sum1, sum2;
            const char* trailer;
        } rows[] = {{"abc", 297, 690, "2901b202"},
                    {"", 0, 0, "00000000"},
                    {QByteArray(50, '\xff'), 0, 0, "00000000"},  // 255 adds nothing
                    {"S" + QByteArray(8, '\0'), 92, 21759, "5c00ff54"},
                    {"ab", 197, 295, "c5002701"},
                    {"ba", 197, 296, "c5002801"},                          // the order counts
                    {QByteArray(20, '\x7f'), 2560, 1912, "000a7807"},      // carries into bit 0
                    {QByteArray(600, '\x7f'), 11264, 27904, "002c006d"}};  // 16 bits each
        for (const auto& r : rows) {
            Checksum c = Checksum::of("before");
            c.Reset_Checksum();
            c.add(r.block);
            QCOMPARE(c.Checksum1, r.sum1);
            QCOMPARE(c.Checksum2, r.sum2);
            QCOMPARE(c.trailer().toHex(), QByteArray(r.trailer));
        }
    }

    void settingsTextFormsAndTheirFile() {
        // The text as a Boolean (-1: cannot be read) and as a whole number.
        const std::tuple<const char*, int, std::optional<qint32>> rows[] = {
            {"True", 1, {}},  {"false", 0, {}},      {"TRUE", 1, {}}, {"0", 0, 0},
            {"-1", 1, -1},    {"7", 1, 7},           {"yes", -1, {}}, {"", -1, {}},
            {"COM2", -1, {}}, {"99999999999", 1, {}}};  // beyond 32 bits
        for (const auto& [text, boolean, integer] : rows) {
            const auto b = SettingsStore::parseBool(text);
            QCOMPARE(b, boolean < 0 ? std::nullopt : std::optional<bool>(boolean == 1));
            QCOMPARE(SettingsStore::parseInt(text), integer);
        }
        // The store is the file QuvDeveloper.conf in the user's configuration
        // folder, section Startup: users and other tools rely on this place.
#ifdef Q_OS_LINUX
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        {
            NativeSettingsStore store;
            QVERIFY(!store.contains("FileName"));
            store.save("FileName", "/tmp/prog.c");
            store.saveBool("AutoIndent", false);
        }
        const QByteArray content = test::readTestFile(config.filePath("QuvDeveloper.conf"));
        QVERIFY2(content.contains("FileName=/tmp/prog.c"), content.constData());
        QVERIFY2(content.contains("AutoIndent=False"), content.constData());
#else
        QSKIP("the configuration file exists on Linux only");
#endif
    }

    void optionsLoadWithTheirDefaultsAndStoreEachToggle() {
        MemorySettingsStore s;
        Options o = Options::load(s);
        QVERIFY(o.FontName.isEmpty() && o.CompilerLauncher == "wine");
        QVERIFY(s.values().isEmpty());  // reading writes nothing
        // Unreadable values take their default; a number reads as a Boolean.
        s.save(keys::kSaveConfirmation, "perhaps");
        s.save(keys::kEditorEnabled, "1");
        s.save(keys::kFontSize, "large");
        o = Options::load(s);
        QVERIFY(o.Save_Confirmation && o.EditorEnabled);
        QCOMPARE(o.FontSize, 12.0);
        s.save(keys::kFontSize, "9.75");
        s.save(keys::kCompilerLauncher, "/opt/w");
        QCOMPARE(Options::load(s).FontSize, 9.75);
        QCOMPARE(Options::load(s).CompilerLauncher, QString("/opt/w"));
        const struct {
            Options::Toggle toggle;
            QString key;
        } stored[] = {{Options::Toggle::EditorEnabled, keys::kEditorEnabled},
                      {Options::Toggle::compiler_window, keys::kCompilerWindows},
                      {Options::Toggle::SaveConfirmation, keys::kSaveConfirmation},
                      {Options::Toggle::AutoIndent, keys::kAutoIndent}};
        for (const auto& [toggle, key] : stored) {
            const bool before = o.value(toggle);
            o.toggle(toggle, s);
            QCOMPARE(o.value(toggle), !before);
            QCOMPARE(s.get(key), SettingsStore::boolText(!before));
            o.toggle(toggle, s);
            QCOMPARE(s.get(key), SettingsStore::boolText(before));
        }
        // Generate line numbers lives for the run only.
        const auto count = s.values().size();
        o.toggle(Options::Toggle::Gencodewithlines, s);
        QVERIFY(o.GencodeLines);
        QCOMPARE(s.values().size(), count);
        QVERIFY(!Options::load(s).GencodeLines);
        o.FontName = "Mono";
        o.FontSize = 10.5;
        o.saveFont(s);
        QCOMPARE(s.get(keys::kFontSize), QString("10.5"));
        QCOMPARE(s.get(keys::kFontName), QString("Mono"));
    }

    // Line breaks become CR LF and nothing else changes; files keep every
    // byte, and a failed write keeps the previous file.
    void textFiles() {
        const std::pair<QByteArray, QByteArray> rows[] = {
            {"a\r\nb\r\n", "a\r\nb\r\n"},
            {"a\nb\n", "a\r\nb\r\n"},
            {"a\rb", "a\r\nb"},
            {"one\r\ntwo\nthree\rfour\r\n", "one\r\ntwo\r\nthree\r\nfour\r\n"},
            {"\n\r\r\n\n\r", "\r\n\r\n\r\n\r\n\r\n"},
            {QByteArray("\0\xff\x80\n", 4), QByteArray("\0\xff\x80\r\n", 5)},
            {"", ""}};
        for (const auto& [in, out] : rows) QCOMPARE(withCrLf(in), out);
        QTemporaryDir dir;
        QByteArray all;
        for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
        const QString path = dir.filePath("prog.c");
        QVERIFY(!writeWholeFile(path, all));
        QCOMPARE(readWholeFile(path).bytes.value(), all);
        QVERIFY(!readWholeFile(dir.filePath("none.c")).bytes);
        // A folder in the file's place.
        QVERIFY(QDir(dir.path()).mkdir("sub.c"));
        QVERIFY(writeWholeFile(dir.filePath("sub.c"), "x").has_value());
        QVERIFY(!readWholeFile(dir.filePath("sub.c")).bytes);
        // Nothing is left behind beside the file.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"prog.c"}));
        // A file larger than the reader's limit is refused.
        QVERIFY(!readWholeFile(path, 255).bytes);
        QCOMPARE(readWholeFile(path, 256).bytes.value(), all);
    }

    void aWritableFileInAFolderThatIsNotIsWrittenInPlace() {
#ifdef Q_OS_UNIX
        QTemporaryDir dir;
        const QString folder = dir.filePath("locked");
        QVERIFY(QDir().mkdir(folder));
        const QString path = folder + "/prog.c";
        QVERIFY(!writeWholeFile(path, "old\r\n"));
        const auto all = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther |
                         QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
        const auto write =
            QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
        QVERIFY(QFile::setPermissions(dir.path(), all | QFileDevice::WriteOwner));
        QVERIFY(QFile::setPermissions(path, all | write));
        QVERIFY(QFile::setPermissions(folder, all));
        // Root may write in any folder: the write is made as an ordinary user.
        const bool root = geteuid() == 0;
        if (root) QCOMPARE(seteuid(65534), 0);
        const auto error = writeWholeFile(path, "new\r\n");
        if (root) QCOMPARE(seteuid(0), 0);
        QFile::setPermissions(folder, all | QFileDevice::WriteOwner);
        QVERIFY2(!error, qPrintable(error.value_or(QString())));
        QCOMPARE(readWholeFile(path).bytes.value(), QByteArray("new\r\n"));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"prog.c"});
#else
        QSKIP("folder permissions of this kind are a Unix matter");
#endif
    }

    // The Terminal Monitor shows every byte on one line, keeps the newest
    // rows and exports them, and cuts raw line bytes into rows.
    void monitorText() {
        const struct {
            QByteArray bytes;
            const char *escaped, *hex;
        } rows[] = {{"AB\r\n", "AB\\r\\n", "41 42 0D 0A"},
                    {QByteArray("\0\xff\x80", 3), "\\x00\\xFF\\x80", "00 FF 80"},
                    {"a\\b", "a\\\\b", "61 5C 62"},
                    {" ~\t\x1f\x7f,\"", " ~\\t\\x1F\\x7F,\"", "20 7E 09 1F 7F 2C 22"},
                    {"", "", ""}};
        for (const auto& r : rows) {
            QCOMPARE(escapedBytes(r.bytes), QString(r.escaped));
            QCOMPARE(hexBytes(r.bytes), QString(r.hex));
        }
        const std::pair<const char*, std::optional<QByteArray>> typed[] = {
            {"a\\\\b\\r\\n\\t", QByteArray("a\\b\r\n\t")},
            {"\\x00\\xfF\\x7e \xc3\xa9", QByteArray("\0\xff~ \xc3\xa9", 6)},
            {"", QByteArray("")},
            {"ab\\", std::nullopt},
            {"\\q", std::nullopt},
            {"\\x4", std::nullopt},
            {"\\x4g", std::nullopt},
            {"\\x+1", std::nullopt}};
        for (const auto& [text, bytes] : typed)
            QCOMPARE(unescapedBytes(QString::fromUtf8(text)), bytes);
        const std::pair<SendLineEnd, const char*> ends[] = {{SendLineEnd::None, "go"},
                                                            {SendLineEnd::Cr, "go\r"},
                                                            {SendLineEnd::Lf, "go\n"},
                                                            {SendLineEnd::CrLf, "go\r\n"}};
        for (const auto& [end, sent] : ends) QCOMPARE(withSendLineEnd("go", end), QByteArray(sent));
        const QDateTime t0(QDate(2026, 3, 4), QTime(5, 6, 7, 89));
        const MonitorRow table[] = {{t0, MonitorKind::Received, "TERM0001", "RESET\r"},
                                    {t0.addMSecs(1), MonitorKind::UploadStart, "TERM0001", "a.c"},
                                    {t0.addMSecs(2), MonitorKind::Sent, "TERM0002", "x,\"y\"\n"},
                                    {t0.addMSecs(3), MonitorKind::LinkLost, "", ""},
                                    {t0.addMSecs(4), MonitorKind::Received, "TERM0001", "\\ok,1"}};
        MonitorTimeline timeline(3);
        for (const MonitorRow& row : table) timeline.append(row);
        QCOMPARE(timeline.size(), 3);
        QCOMPARE(timeline.dropped(), 2);
        QCOMPARE(timeline.at(0).bytes, table[2].bytes);
        QCOMPARE(timeline.at(2).bytes, table[4].bytes);
        QCOMPARE(timeline.addresses(), QList<QByteArray>({"TERM0001", "TERM0002"}));
        QCOMPARE(timeline.exportText("TERM0001"),
                 "2026-03-04 05:06:07.092\tlink-lost\t\t\r\n"
                 "2026-03-04 05:06:07.093\treceived\tTERM0001\t\\\\ok,1\r\n");
        QCOMPARE(timeline.exportCsv(),
                 "time,kind,address,text\r\n"
                 "2026-03-04 05:06:07.091,sent,TERM0002,\"x,\"\"y\"\"\\n\"\r\n"
                 "2026-03-04 05:06:07.092,link-lost,,\r\n"
                 "2026-03-04 05:06:07.093,received,TERM0001,\"\\\\ok,1\"\r\n");
        // Own traffic shows under another terminal's filter; its conversation does not.
        timeline.setCapacity(5);
        for (const MonitorRow& row : table) timeline.append(row);
        QStringList shown;
        for (qsizetype i = 0; i < timeline.size(); ++i)
            if (passesAddressFilter(timeline.at(i), "TERM0002"))
                shown << monitorKindWord(timeline.at(i).kind);
        QCOMPARE(shown, QStringList({"upload-start", "sent", "link-lost"}));
        timeline.setCapacity(2);
        QVERIFY(timeline.size() == 2 && timeline.dropped() == 8);
        timeline.clear();
        QVERIFY(timeline.size() == 0 && timeline.dropped() == 0 && timeline.addresses().isEmpty());
        QCOMPARE(timeline.exportText(), QByteArray());
        // Raw line bytes cut into rows.
        const QByteArray x(4095, 'x'), y(4097, 'y'), z(10000, 'z');
        // Each step adds bytes (flush < 0) or flushes (1: forced) at ms.
        const struct {
            QByteArray bytes;
            int flush;
            qint64 ms;
            QList<QByteArray> rows;
        } steps[] = {
            {"ab\ncd", -1, 0, {"ab\n"}},
            {"", 0, 99, {}},
            {"e", -1, 150, {"cd"}},  // "cd" was quiet long enough before "e"
            {"", 0, 249, {}},
            {"", 0, 250, {"e"}},
            {QByteArray("\r\n\0\xff\n\n", 6), -1, 300, {"\r\n", QByteArray("\0\xff\n", 3), "\n"}},
            {x + '\n' + y, -1, 300, {x + '\n', y.left(4096)}},
            {"", 1, 300, {"y"}},
            {"", 1, 300, {}},
            {z, -1, 1000, {z.left(4096), z.left(4096)}},
            {"", 0, 1100, {z.left(10000 - 8192)}}};
        RawLines lines;
        for (const auto& step : steps) {
            QList<QByteArray> got;
            if (step.flush < 0)
                got = lines.add(step.bytes, step.ms);
            else if (const auto row = lines.flush(step.ms, step.flush == 1))
                got = {*row};
            QCOMPARE(got, step.rows);
        }
    }

    void pathRules() {
        QCOMPARE(vbToMyc("C:\\vb", PathStyle::Windows), std::optional<QString>("C:\\myc"));
        QCOMPARE(vbToMyc("/vb", PathStyle::Posix), std::optional<QString>("/myc"));
        for (const char* other : {"C:\\work\\vb", "C:\\VB", "C:\\vb2"})
            QVERIFY(!vbToMyc(other, PathStyle::Windows));
        QVERIFY(!vbToMyc("/home/vb", PathStyle::Posix));
        QCOMPARE(initialDirectory("C:\\", PathStyle::Windows), QString("C:\\"));
        QCOMPARE(folderOfPath("/prog.c", PathStyle::Posix), std::optional<QString>("/"));
        QVERIFY(!folderOfPath("prog.c", PathStyle::Posix));
        QCOMPARE(folderOfPath("C:\\prog.c", PathStyle::Windows), std::optional<QString>("C:\\"));
        QCOMPARE(folderOfPath("C:\\a.b\\prog", PathStyle::Windows),
                 std::optional<QString>("C:\\a.b"));
        // The base name: a dot in a folder's name never counts.
        const std::tuple<const char*, PathStyle, const char*> bases[] = {
            {"/p/prog.c", PathStyle::Posix, "/p/prog."},
            {"/p/v1.2/prog", PathStyle::Posix, ""},
            {"prog", PathStyle::Posix, ""},
            {"/a\\b.c", PathStyle::Posix, "/a\\b."},
            {"C:\\v1.2/prog", PathStyle::Windows, ""},
            {"C:\\x\\p.q.c", PathStyle::Windows, "C:\\x\\p.q."}};
        for (const auto& [path, style, base] : bases)
            QCOMPARE(baseNameWithDot(path, style).value_or(""), QString(base));
        QCOMPARE(qtFilterFromPairs(kSourceFilter),
                 QString("C Programs (*.c);;ASM (*.asm);;All Files (*)"));
        QCOMPARE(qtFilterFromPairs(QString()), QString());
    }
};

QTEST_APPLESS_MAIN(TestCore)
#include "tst_core.moc"
