#include "core/checksum.h"

#include <QtTest>

using quv::Checksum;

class TestChecksum : public QObject {
    Q_OBJECT
  private slots:
    void knownBlocks_data() {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<int>("sum1");
        QTest::addColumn<int>("sum2");
        QTest::addColumn<QByteArray>("trailer");
        QTest::newRow("abc") << QByteArray("abc") << 297 << 690 << QByteArray::fromHex("2901b202");
        QTest::newRow("empty") << QByteArray() << 0 << 0 << QByteArray(4, '\0');
        QTest::newRow("only 255") << QByteArray(50, '\xff') << 0 << 0 << QByteArray(4, '\0');
        QTest::newRow("S and eight zeros") << (QByteArray("S") + QByteArray(8, '\0')) << 92 << 21759
                                           << QByteArray::fromHex("5c00ff54");
        QTest::newRow("ab") << QByteArray("ab") << 197 << 295 << QByteArray::fromHex("c5002701");
        QTest::newRow("ba") << QByteArray("ba") << 197 << 296 << QByteArray::fromHex("c5002801");
        QTest::newRow("twenty 0x7F carry into bit 0")
            << QByteArray(20, '\x7f') << 2560 << 1912 << QByteArray::fromHex("000a7807");
    }
    void knownBlocks() {
        QFETCH(QByteArray, block);
        QFETCH(int, sum1);
        QFETCH(int, sum2);
        QFETCH(QByteArray, trailer);
        const Checksum c = Checksum::of(block);
        QCOMPARE(c.Checksum1, sum1);
        QCOMPARE(c.Checksum2, sum2);
        QCOMPARE(c.trailer(), trailer);
    }

    void staysWithinSixteenBits() {
        Checksum c;
        for (int i = 0; i < 200000; ++i) {
            c.Do_Checksum((i * 7919) & 0xFF);
            QVERIFY(c.Checksum1 >= 0 && c.Checksum1 <= 0xFFFF);
            QVERIFY(c.Checksum2 >= 0 && c.Checksum2 <= 0xFFFF);
        }
        c.Reset_Checksum();
        QCOMPARE(c.Checksum1, 0);
        QCOMPARE(c.Checksum2, 0);
    }
};

QTEST_APPLESS_MAIN(TestChecksum)
#include "tst_checksum.moc"
