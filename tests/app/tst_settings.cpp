#include "core/settings_keys.h"
#include "core/settings_store.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using quv::MemorySettingsStore;
using quv::NativeSettingsStore;
using quv::SettingsStore;

class TestSettings : public QObject {
    Q_OBJECT
  private slots:
    void booleanTextReadsEveryForm_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");  // -1: cannot be read
        QTest::newRow("True") << "True" << 1;
        QTest::newRow("false lower") << "false" << 0;
        QTest::newRow("TRUE upper") << "TRUE" << 1;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("minus one") << "-1" << 1;
        QTest::newRow("seven") << "7" << 1;
        QTest::newRow("yes") << "yes" << -1;
        QTest::newRow("empty") << "" << -1;
    }
    void booleanTextReadsEveryForm() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        const auto v = SettingsStore::parseBool(text);
        if (expected < 0) {
            QVERIFY(!v.has_value());
        } else {
            QVERIFY(v.has_value());
            QCOMPARE(*v, expected == 1);
        }
    }

    void unreadableValuesFallBackToTheirDefault() {
        MemorySettingsStore s;
        s.save(quv::keys::kBaudRate, "fast");
        s.save(quv::keys::kCommPort, "99999999999");
        s.save(quv::keys::kAutoIndent, "maybe");
        s.save(quv::keys::kFontSize, "big");
        QCOMPARE(s.getInt(quv::keys::kBaudRate, 38400), 38400);
        QCOMPARE(s.getInt(quv::keys::kCommPort, 1), 1);
        QCOMPARE(s.getBool(quv::keys::kAutoIndent, true), true);
        QCOMPARE(s.getNumber(quv::keys::kFontSize, 12), 12.0);
        s.save(quv::keys::kFontSize, "9.75");
        QCOMPARE(s.getNumber(quv::keys::kFontSize, 12), 9.75);
    }

    void numbersAndBooleansAreWrittenAsTheProgramWritesThem() {
        QCOMPARE(SettingsStore::boolText(true), QString("True"));
        QCOMPARE(SettingsStore::boolText(false), QString("False"));
        QCOMPARE(SettingsStore::numberText(12), QString("12"));
        QCOMPARE(SettingsStore::numberText(9.75), QString("9.75"));
    }

    // The store is the file QuvDeveloper.conf in the user's configuration
    // folder, section Startup: users and other tools rely on this place.
    void nativeStoreLivesInTheUsersConfigurationFolder() {
#ifdef Q_OS_LINUX
        QTemporaryDir config;
        QVERIFY(config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        {
            NativeSettingsStore store;
            QCOMPARE(QDir::cleanPath(store.location()),
                     QDir::cleanPath(config.filePath("QuvDeveloper.conf")));
            QCOMPARE(store.get("FileName", "none"), QString("none"));
            QVERIFY(!store.contains("FileName"));
            store.save("FileName", "/tmp/prog.c");
            store.saveBool("AutoIndent", false);
            QVERIFY(store.contains("FileName"));
        }
        QFile file(config.filePath("QuvDeveloper.conf"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY2(content.contains("[Startup]"), content.constData());
        QVERIFY2(content.contains("FileName=/tmp/prog.c"), content.constData());
        QVERIFY2(content.contains("AutoIndent=False"), content.constData());
        NativeSettingsStore again;
        QCOMPARE(again.get("FileName", QString()), QString("/tmp/prog.c"));
        QCOMPARE(again.getBool("AutoIndent", true), false);
#else
        QSKIP("the configuration file exists on Linux only");
#endif
    }
};

QTEST_APPLESS_MAIN(TestSettings)
#include "tst_settings.moc"
