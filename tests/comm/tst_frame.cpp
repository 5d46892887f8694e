#include "comm/frame.h"
#include "comm/wire.h"
#include "core/checksum.h"

#include <QRandomGenerator>
#include <QtTest>

using quv::Frame;
using quv::FrameDecoder;
using namespace quv::wire;

namespace {

QList<FrameDecoder::Item> decodeAll(FrameDecoder& d) {
    QList<FrameDecoder::Item> out;
    FrameDecoder::Item item;
    while (d.next(item)) out << item;
    return out;
}

QList<Frame> goodFrames(FrameDecoder& d) {
    QList<Frame> out;
    for (const auto& item : decodeAll(d))
        if (!item.damaged) out << item.frame;
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
        const QByteArray bytes = Frame{kGetStatus, 7, "abc"}.encode();
        QCOMPARE(bytes.size(), Frame::kOverhead + 3);
        QCOMPARE(bytes.left(5), QByteArray::fromHex("0210070300"));
        QCOMPARE(bytes.mid(9, 3), QByteArray("abc"));
        QCOMPARE(bytes.right(4), QByteArray::fromHex("2901b202"));  // the checksums of "abc"
        QCOMPARE((Frame{kDetach, 0, {}}.encode().right(4)), QByteArray(4, '\0'));
    }

    void framesSurviveAnySplitOfTheStream() {
        const QList<Frame> frames = {sample(1, 0), sample(2, 1), sample(3, 300),
                                     sample(4, Frame::kMaxPayload)};
        QByteArray stream;
        for (const Frame& f : frames) stream += f.encode();
        for (int step : {1, 2, 13, 997, static_cast<int>(stream.size())}) {
            FrameDecoder d;
            QList<Frame> got;
            for (qsizetype at = 0; at < stream.size(); at += step) {
                d.feed(stream.mid(at, step));
                got += goodFrames(d);
            }
            QCOMPARE(got, frames);
            QCOMPARE(d.pending(), 0);
            QCOMPARE(d.skippedBytes(), 0);
        }
    }

    void noiseBetweenFramesIsSkipped() {
        const QByteArray noise = QByteArray::fromHex("00ff0202020711ee02");
        FrameDecoder d;
        d.feed(noise + sample(1, 40).encode() + noise + noise + sample(2, 5).encode() + noise);
        QCOMPARE(goodFrames(d), (QList<Frame>{sample(1, 40), sample(2, 5)}));
        QVERIFY(d.skippedBytes() >= 3 * noise.size() - 1);
    }

    // Any single damaged byte is caught: the frame is never taken as good,
    // and the frame behind it still comes through.
    void everyDamagedByteIsDetected() {
        const Frame f = sample(9, 24);
        const QByteArray good = f.encode();
        const Frame next = sample(10, 3);
        for (qsizetype at = 0; at < good.size(); ++at) {
            for (int flip : {0x01, 0x80, 0xFF}) {
                QByteArray bad = good;
                bad[at] = static_cast<char>(bad[at] ^ flip);
                FrameDecoder d;
                d.feed(bad + next.encode());
                const QList<Frame> got = goodFrames(d);
                QVERIFY2(!got.contains(f), qPrintable(QStringLiteral("byte %1").arg(at)));
                QVERIFY2(got.contains(next), qPrintable(QStringLiteral("byte %1").arg(at)));
            }
        }
    }

    // A damaged payload under a good header is reported with the command and
    // sequence, so the sender can be asked to send it again.
    void damagedPayloadIsReportedWithItsSequence() {
        QByteArray bytes = sample(42, 100).encode();
        bytes[50] = static_cast<char>(bytes[50] ^ 0x10);
        FrameDecoder d;
        d.feed(bytes);
        const auto items = decodeAll(d);
        QCOMPARE(items.size(), 1);
        QVERIFY(items[0].damaged);
        QCOMPARE(items[0].frame.command, quint8(kTransferData));
        QCOMPARE(items[0].frame.sequence, quint8(42));
        QCOMPARE(d.damagedFrames(), 1);
    }

    // A frame cut short (the sender went away mid-frame) holds the decoder
    // only until the bytes behind it show it to be damaged.
    void truncatedFrameDoesNotHideTheNextOnes() {
        const QByteArray cut = sample(1, 2000).encode().left(700);
        QList<Frame> after;
        QByteArray tail;
        for (quint8 i = 2; i < 12; ++i) {
            after << sample(i, 200);
            tail += after.last().encode();
        }
        FrameDecoder d;
        d.feed(cut + tail);
        QCOMPARE(goodFrames(d), after);
    }

    void oversizedLengthIsNotTrusted() {
        QByteArray bytes = Frame{kGetStatus, 1, {}}.encode();
        // A header that claims more than a frame may carry, with checksums
        // that agree: still refused, so the decoder never waits for it.
        QByteArray header = QByteArray::fromHex("021001ff7f");
        quv::Checksum c;
        c.add(header);
        FrameDecoder d;
        d.feed(header + c.trailer() + bytes);
        QCOMPARE(goodFrames(d), (QList<Frame>{Frame{kGetStatus, 1, {}}}));
    }

    // A long deterministic run of random bytes, random cuts and real frames:
    // no crash, memory stays bounded, real frames keep coming through.
    void randomAndTruncatedInputForALongRun() {
        QRandomGenerator rng(20240611);
        FrameDecoder d;
        qint64 sentGood = 0;
        qint64 gotGood = 0;
        for (int round = 0; round < 3000; ++round) {
            QByteArray chunk(static_cast<int>(rng.bounded(1, 3000)), '\0');
            for (auto& c : chunk) c = static_cast<char>(rng.bounded(256));
            if (round % 3 == 0) chunk.replace(rng.bounded(chunk.size()), 1, "\x02");
            switch (round % 4) {
                case 0:  // a real frame after the noise
                    chunk += sample(static_cast<quint8>(round), rng.bounded(0, 600)).encode();
                    ++sentGood;
                    break;
                case 1:  // a frame cut short
                    chunk += sample(1, 500).encode().left(rng.bounded(1, 500));
                    break;
                default:
                    break;
            }
            for (qsizetype at = 0; at < chunk.size();) {
                const qsizetype n = rng.bounded(1, 700);
                d.feed(chunk.mid(at, n));
                at += n;
                gotGood += goodFrames(d).size();
                QVERIFY(d.pending() <= Frame::kOverhead + Frame::kMaxPayload);
            }
        }
        // A frame that follows a cut one may be swallowed by it once in a
        // while; nearly all must come through.
        QVERIFY2(gotGood >= sentGood * 9 / 10,
                 qPrintable(QStringLiteral("%1 of %2").arg(gotGood).arg(sentGood)));
        QVERIFY(d.skippedBytes() > 1000000);
    }

    // The status record as the base configuration dialog reads it.
    void statusRecordLayout() {
        StatusRecord r;
        r.version = "V21";
        r.localName = "ABC05";
        r.remoteName = "ABC03";
        r.radioBaud = 40000;
        r.serialBaud = 19200;
        r.sendTo = '1';
        QCOMPARE(r.toText(), QByteArray("V21ABC05ABC0340000 192001"));
        r.serialBaud = 115200;
        r.radioBaud = 9600;
        QCOMPARE(r.toText(), QByteArray("V21ABC05ABC039600 1152001"));
        const auto back = StatusRecord::fromText(r.toText() + "more the reader ignores");
        QVERIFY(back);
        QCOMPARE(back->toText(), r.toText());
        QVERIFY(!StatusRecord::fromText("V21ABC05ABC0340000 19200"));  // 24 characters
        QVERIFY(!StatusRecord::fromText("V21ABC05ABC0340000 19x001"));
    }

    void payloadReadersRefuseWrongSizes() {
        TransferBegin b;
        b.id = 3;
        b.kind = TransferKind::Broadcast;
        b.target = "Z7Q_PROG";
        b.total = 70000;
        b.repeat = 1;
        b.gapMs = 200;
        const auto back = TransferBegin::fromPayload(b.toPayload());
        QVERIFY(back);
        QCOMPARE(back->target, QByteArray("Z7Q_PROG"));
        QCOMPARE(back->total, 70000);
        QCOMPARE(back->gapMs, 200);
        QVERIFY(!TransferBegin::fromPayload(b.toPayload().chopped(1)));
        const EventRecord e{2, -1, 9};
        QCOMPARE(EventRecord::fromPayload(e.toPayload())->value, qint16(-1));
        QVERIFY(!EventRecord::fromPayload(e.toPayload() + "x"));
        QVERIFY(!TransferMark::fromPayload("abcd"));
    }
};

QTEST_GUILESS_MAIN(TestFrame)
#include "tst_frame.moc"
