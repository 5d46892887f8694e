#include "comm/frame.h"
#include "comm/wire.h"
#include "core/checksum.h"

#include <QtTest>

using quv::Frame;
using quv::FrameDecoder;
using namespace quv::wire;

namespace {

// The good frames found, and the damaged ones as "damaged <command> <sequence>".
QList<Frame> decodeAll(FrameDecoder& d, QStringList* damaged = nullptr) {
    QList<Frame> out;
    for (FrameDecoder::Item item; d.next(item);) {
        const Frame& f = item.frame;
        if (!item.damaged) out << f;
        if (item.damaged && damaged)
            *damaged << QStringLiteral("damaged %1 %2").arg(f.command).arg(f.sequence);
    }
    return out;
}

Frame sample(quint8 seq, int size) {
    QByteArray payload(size, '\0');
    for (int i = 0; i < size; ++i) payload[i] = static_cast<char>((i * 7 + seq) & 0xFF);
    return Frame{kTransferData, seq, payload};
}

}  // namespace

class TestFrame : public QObject {
    Q_OBJECT
  private slots:
    // The layout a base station's firmware implements: start byte, command,
    // sequence, length low first, header checksums, payload, its checksums.
    void frameLayoutOnTheLine() {
        const QByteArray head = QByteArray::fromHex("0210070300");
        const QByteArray abc = "abc" + QByteArray::fromHex("2901b202");  // with its checksums
        QCOMPARE((Frame{kGetStatus, 7, "abc"}.encode()),
                 head + quv::Checksum::of(head).trailer() + abc);
        QCOMPARE((Frame{kDetach, 0, {}}.encode().right(4)), QByteArray(4, '\0'));
    }

    // However the stream is split, and behind noise, a frame cut short, or a
    // header with good checksums that claims too long a payload, every frame
    // comes through; noise is not kept.
    void framesSurviveJunkAndAnySplit_data() {
        QTest::addColumn<QByteArray>("junk");
        const QByteArray noise = QByteArray::fromHex("00ff0202020711ee02");
        const QByteArray oversized = QByteArray::fromHex("021001ff7f");
        QTest::newRow("none") << QByteArray();
        QTest::newRow("noise") << noise + noise;
        QTest::newRow("cut frame") << sample(1, 2000).encode().left(700);
        QTest::newRow("oversized") << oversized + quv::Checksum::of(oversized).trailer();
    }
    void framesSurviveJunkAndAnySplit() {
        QFETCH(QByteArray, junk);
        const QList<Frame> frames = {sample(1, 0), sample(2, 1), sample(3, 300),
                                     sample(4, Frame::kMaxPayload), sample(5, 10)};
        QByteArray stream = junk;
        for (const Frame& f : frames) stream += f.encode();
        if (!junk.isEmpty()) stream += "\x11\xff";
        for (int step : {1, 2, 13, 997, static_cast<int>(stream.size())}) {
            FrameDecoder d;
            QList<Frame> got;
            for (qsizetype at = 0; at < stream.size(); at += step) {
                d.feed(stream.mid(at, step));
                got += decodeAll(d);
            }
            QCOMPARE(got, frames);
            QVERIFY(d.pending() == 0 &&
                    (junk.isEmpty() ? d.skippedBytes() == 0 : d.skippedBytes() >= 3));
        }
    }

    // Any single damaged byte is caught, the frame behind still comes through,
    // and a damaged payload under a good header is reported with its command
    // and sequence, so that the sender can be asked for it again.
    void everyDamagedByteIsDetected() {
        const Frame f = sample(9, 24);
        const QByteArray good = f.encode();
        for (qsizetype at = 0; at < good.size(); ++at) {
            for (int flip : {0x01, 0x80, 0xFF}) {
                QByteArray bad = good;
                bad[at] = static_cast<char>(bad[at] ^ flip);
                FrameDecoder d;
                d.feed(bad + sample(10, 3).encode());
                QStringList damaged;
                const QList<Frame> got = decodeAll(d, &damaged);
                QVERIFY2(!got.contains(f) && got.contains(sample(10, 3)),
                         qPrintable(QString::number(at)));
                if (at >= Frame::kHeaderSize + Frame::kTrailerSize)
                    QCOMPARE(damaged, QStringList{"damaged 35 9"});
            }
        }
    }

    // The status record as the base configuration dialog reads it, and the
    // payload readers, which refuse wrong sizes.
    void recordsAndPayloads() {
        const StatusRecord r{"V21", "ABC05", "ABC03", 9600, 115200, '1'};
        QCOMPARE(StatusRecord::fromText(r.toText() + "more")->toText(),
                 QByteArray("V21ABC05ABC039600 1152001"));
        QVERIFY(!StatusRecord::fromText("V21ABC05ABC0340000 19200") &&  // 24 characters
                !StatusRecord::fromText("V21ABC05ABC0340000 19x001"));

        const TransferBegin b{3, TransferKind::Broadcast, "Z7Q_PROG", 70000, 1, 200};
        const auto back = TransferBegin::fromPayload(b.toPayload());
        QVERIFY(back && back->target == "Z7Q_PROG" && back->total == 70000 && back->gapMs == 200);
        QVERIFY(!TransferBegin::fromPayload(b.toPayload().chopped(1)));
        const EventRecord e{2, -1, 9};
        QVERIFY(EventRecord::fromPayload(e.toPayload())->value == -1 &&
                !EventRecord::fromPayload(e.toPayload() + "x"));
        QVERIFY(!TransferMark::fromPayload("abcd"));
    }
};

QTEST_GUILESS_MAIN(TestFrame)
#include "tst_frame.moc"
