#include "comm/frame.h"
#include "comm/link_com.h"
#include "comm/wire.h"
#include "core/checksum.h"
#include "core/event_pump.h"
#include "core/settings_store.h"
#include "sim_process.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using quv::LinkCom;
using quv::MemorySettingsStore;
using quv::pumpUntil;
using quvsim::SimProcess;

namespace {

constexpr qint32 kPort = 1;
// What "within the time bound" means here: the library's 2 s and some slack.
constexpr int kBoundMs = 2600;

QByteArray image(int size, int seed = 1) {
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i) b[i] = static_cast<char>((i * 31 + seed * 7 + i / 253) & 0xFF);
    return b;
}

// The image followed by its two checksums, as radio uploads send it.
QByteArray radioPayload(const QByteArray& img) {
    return img + quv::Checksum::of(img).trailer();
}

// "S", header, its checksums, image, its checksums.
QByteArray rs232Frame(const QByteArray& header, const QByteArray& img) {
    const QByteArray head = "S" + header;
    return head + quv::Checksum::of(head).trailer() + img + quv::Checksum::of(img).trailer();
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The emulator and a library pointed at it, over TCP or a pseudo-terminal.
struct Rig {
    MemorySettingsStore settings;
    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<LinkCom> com;
    QList<QPair<qint32, qint32>> events;

    bool start(const QString& via, QStringList options = {}) {
        options << (via == "tcp" ? QStringList{"--tcp", "0"} : QStringList{"--pty"});
        sim = std::make_unique<SimProcess>(options);
        if (!sim->start()) return false;
        if (via == "pty") settings.save(QStringLiteral("ComDevice1"), sim->ptyPath());
        com = std::make_unique<LinkCom>(settings);
        if (via == "tcp") com->TCPIP_Start(sim->tcpAddress());
        com->BackGetEvent([this](qint32 code, qint32 value, qint32, const QByteArray&) {
            events << qMakePair(code, value);
        });
        return true;
    }
    QList<qint32> valuesOf(qint32 code) const {
        QList<qint32> out;
        for (const auto& e : events)
            if (e.first == code) out << e.second;
        return out;
    }
    bool waitEvent(qint32 code, int timeoutMs) {
        return pumpUntil([&] { return !valuesOf(code).isEmpty(); }, timeoutMs);
    }
    QByteArray status() {
        qint32 baud = 38400;
        QByteArray reply(LinkCom::kStatusBufferLength, ' ');
        return com->B_BaseGetStatus(kPort, baud, reply) ? reply.left(25) : QByteArray();
    }
};

void addLinks() {
    QTest::addColumn<QString>("via");
    QTest::newRow("tcp") << "tcp";
    QTest::newRow("pty") << "pty";
}

}  // namespace

class TestLinkCom : public QObject {
    Q_OBJECT
  private slots:
    void portNamesAndAddresses() {
        MemorySettingsStore s;
        s.save(QStringLiteral("ComDevice3"), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(LinkCom::deviceForPort(s, 3), QStringLiteral("/dev/ttyUSB0"));
#ifdef Q_OS_WIN
        QCOMPARE(LinkCom::deviceForPort(s, 1), QStringLiteral("COM1"));
#else
        QCOMPARE(LinkCom::deviceForPort(s, 1), QStringLiteral("/dev/ttyS0"));
        QCOMPARE(LinkCom::deviceForPort(s, 16), QStringLiteral("/dev/ttyS15"));
#endif
        QCOMPARE(LinkCom::deviceForPort(s, 0), QString());

        using A = std::pair<QString, quint16>;
        QCOMPARE(LinkCom::parseAddress("127.0.0.1"), std::optional<A>(A{"127.0.0.1", 4720}));
        QCOMPARE(LinkCom::parseAddress(" base.local:5000 "),
                 std::optional<A>(A{"base.local", 5000}));
        QCOMPARE(LinkCom::parseAddress("[::1]:6000"), std::optional<A>(A{"::1", 6000}));
        QCOMPARE(LinkCom::parseAddress("::1"), std::optional<A>(A{"::1", 4720}));
        QVERIFY(!LinkCom::parseAddress(""));
        QVERIFY(!LinkCom::parseAddress("host:0"));
        QVERIFY(!LinkCom::parseAddress("host:70000"));
        QVERIFY(!LinkCom::parseAddress(":80"));
    }

    void baseOperationsRoundTrip_data() {
        addLinks();
    }
    void baseOperationsRoundTrip() {
        QFETCH(QString, via);
        Rig r;
        QVERIFY(r.start(via));
        LinkCom& com = *r.com;
        QVERIFY(com.IO_Open(kPort, 38400));
        com.IO_Close(kPort);
        QCOMPARE(r.status(), QByteArray("Q10BAS01BAS0020000 384000"));

        com.B_SetBaseName(kPort, 38400, "XYZ", 7, 12);
        com.B_SetBaseRadio(kPort, 38400, 0, 40000, 0);
        com.B_SetSerialOrRadio(kPort, 38400, 1);
        com.B_SetBaseBaudRate2(kPort, 38400, 19200);
        QCOMPARE(r.status(), QByteArray("Q10XYZ07XYZ1240000 192001"));
        com.B_SetSerialOrRadio(kPort, 19200, 0);
        QCOMPARE(r.status().right(1), QByteArray("0"));

        QCOMPARE(com.B_ResetBaseProgram(kPort, 19200), 1);
        QCOMPARE(com.B_ResetBaseProgram(kPort, 19200), 1);
        com.B_ClearBaseProgram(kPort, 19200);
        com.B_PutBaseUpload(kPort, 19200);
        QVERIFY(r.sim->waitReports("put-upload", 1, 2000));
        QCOMPARE(r.sim->reports("reset").size(), 2);  // counted, each once
        QCOMPARE(r.sim->reports("reset").last().value("count").toInt(), 2);
        QCOMPARE(r.sim->reports("clear").size(), 1);

        QCOMPARE(com.ChangeBaseNameAntenaFast(kPort, "!DOWN"), 1);
        QCOMPARE(com.ChangeBaseNameAntenaFast(kPort, "!WHAT"), 0);
        QCOMPARE(com.ChangeBaseNameAntenaFast(kPort, "FAS09"), 1);
        QCOMPARE(r.status().mid(3, 5), QByteArray("FAS09"));
        com.StopAllProcesses();
        QVERIFY(r.sim->stop());
    }

    // The record the base configuration dialog reads, field by field; the
    // reply buffer is never grown, whatever its size.
    void statusRecordFields() {
        Rig r;
        QTemporaryDir dir;
        const QString config = dir.filePath("base.json");
        QFile f(config);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(R"({"version":"V21","localName":"ABC05","remoteName":"ABC03",)"
                R"("radioBaud":40000,"serialBaud":19200,"sendTo":"1"})");
        f.close();
        QVERIFY(r.start("tcp", {"--config", config}));
        qint32 baud = 38400;
        QByteArray reply(LinkCom::kStatusBufferLength, ' ');
        QCOMPARE(r.com->B_BaseGetStatus(kPort, baud, reply), 1);
        QCOMPARE(reply.size(), 200);
        QCOMPARE(reply.left(25), QByteArray("V21ABC05ABC0340000 192001"));
        QCOMPARE(reply.mid(25), QByteArray(175, ' '));
        QCOMPARE(baud, 19200);
        QByteArray small(10, ' ');
        QCOMPARE(r.com->B_BaseGetStatus(kPort, baud, small), 1);
        QCOMPARE(small, QByteArray("V21ABC05AB"));

        // The configuration lives in its file and outlasts the emulator.
        r.com->B_SetBaseName(kPort, baud, "QRS", 1, 2);
        QVERIFY(r.sim->stop());
        Rig again;
        QVERIFY(again.start("pty", {"--config", config}));
        QCOMPARE(again.status(), QByteArray("V21QRS01QRS0240000 192001"));
    }

    // The RS232 upload: "!DOWN" at 115200, then the whole frame at 38400 in
    // one write. The terminal checks both checksum pairs.
    void rs232UploadFrame_data() {
        addLinks();
    }
    void rs232UploadFrame() {
        QFETCH(QString, via);
        Rig r;
        QVERIFY(r.start(via, {"--terminal", "SERIAL01"}));
        LinkCom& com = *r.com;
        const QByteArray header = QByteArray::fromHex("0102030405060708");
        const QByteArray img = image(5000);
        for (const bool damaged : {false, true}) {
            QByteArray frame = rs232Frame(header, img);
            if (damaged) frame[700] = static_cast<char>(frame[700] ^ 1);
            QVERIFY(com.IO_Open(kPort, 115200));
            QCOMPARE(com.ChangeBaseNameAntenaFast(kPort, "!DOWN"), 1);
            com.IO_Close(kPort);
            QVERIFY(com.IO_Open(kPort, 38400));
            com.IO_Write(kPort, static_cast<qint32>(frame.size()), frame);
            com.IO_Close(kPort);
            QVERIFY(r.sim->waitReports("program", damaged ? 2 : 1, 4000));
            const QJsonObject p = r.sim->reports("program").last();
            QCOMPARE(p.value("terminal").toString(), QStringLiteral("SERIAL01"));
            QCOMPARE(p.value("via").toString(), QStringLiteral("serial"));
            QCOMPARE(p.value("bytes").toInt(), 5000);
            QCOMPARE(p.value("checksums").toString(),
                     damaged ? QStringLiteral("bad") : QStringLiteral("good"));
            if (!damaged) QCOMPARE(fileBytes(p.value("path").toString()), img);
        }
        // Write progress comes as event 4, which the upload ignores.
        QCOMPARE(r.valuesOf(4).last(), 100);
    }

    // Raw bytes both ways: a request written by hand, its answer read back a
    // byte at a time; a read with nothing coming keeps to its time-out.
    void rawWriteAndRead_data() {
        addLinks();
    }
    void rawWriteAndRead() {
        QFETCH(QString, via);
        Rig r;
        QVERIFY(r.start(via));
        LinkCom& com = *r.com;
        QVERIFY(com.IO_Open(kPort, 38400));
        QByteArray one(1, ' ');
        QElapsedTimer t;
        t.start();
        QCOMPARE(com.IO_Read(kPort, 1, one, 300), 0);
        QVERIFY(t.elapsed() >= 290 && t.elapsed() < 1500);

        const QByteArray request = quv::Frame{quv::wire::kGetStatus, 77, {}}.encode();
        com.IO_Write(kPort, static_cast<qint32>(request.size()), request);
        quv::FrameDecoder decoder;
        quv::FrameDecoder::Item item;
        int reads = 0;
        while (!decoder.next(item) && reads < 200) {
            QByteArray buffer(1, ' ');
            const qint32 n = com.IO_Read(kPort, 1, buffer, 1000);
            QCOMPARE(buffer.size(), 1);
            if (n <= 0) break;
            decoder.feed(buffer);
            ++reads;
        }
        QCOMPARE(item.frame.command, quint8(quv::wire::kGetStatus | quv::wire::kReply));
        QCOMPARE(item.frame.sequence, quint8(77));
        QCOMPARE(item.frame.payload.mid(1, 3), QByteArray("Q10"));
        QCOMPARE(reads, quv::Frame::kOverhead + 26);
        com.IO_Close(kPort);
    }

    // Several terminal messages waiting at once: one event makes the caller
    // collect them all, oldest first, each with its sender.
    void messagesCollected_data() {
        addLinks();
    }
    void messagesCollected() {
        QFETCH(QString, via);
        Rig r;
        QVERIFY(r.start(via, {"--terminal", "TERM0001", "--terminal", "T2"}));
        LinkCom& com = *r.com;
        r.sim->command("say T2 hello there");  // waits in the base until the host attaches
        QCOMPARE(com.InitializeComm(kPort, 38400), 1);
        r.sim->command("reset");
        r.sim->command("say TERM0001 x");
        r.sim->command("reset T2");
        QVERIFY(pumpUntil([&] { return r.valuesOf(1).contains(4); }, 3000));

        QList<QPair<QByteArray, QByteArray>> got;
        for (;;) {
            qint32 handle = 0;
            QByteArray sender(8, ' ');
            const qint32 n = com.Get_Message(handle, 100000, 0, sender);
            QCOMPARE(sender.size(), 8);
            if (n == 0) break;
            QByteArray text(n, ' ');
            com.GetStringFromPtr(text, handle, n);
            got << qMakePair(sender, text);
        }
        const QList<QPair<QByteArray, QByteArray>> expected = {{"T2      ", "hello there"},
                                                               {"TERM0001", "RESET"},
                                                               {"TERM0001", "x"},
                                                               {"T2      ", "RESET"}};
        QCOMPARE(got, expected);

        // Buffers shorter than what the library has are filled, never grown.
        r.sim->command("say TERM0001 a longer message");
        QVERIFY(pumpUntil([&] { return r.valuesOf(1).size() >= 5; }, 3000));
        qint32 handle = 0;
        QByteArray sender(3, ' ');
        QCOMPARE(com.Get_Message(handle, 100000, 0, sender), 16);
        QCOMPARE(sender, QByteArray("TER"));
        QByteArray text(4, ' ');
        com.GetStringFromPtr(text, handle, 16);
        QCOMPARE(text, QByteArray("a lo"));
        com.TerminateComm(kPort);
    }

    void resetRepeatsOnItsOwn() {
        Rig r;
        QVERIFY(r.start("tcp", {"--reset-every", "0.2"}));
        QCOMPARE(r.com->InitializeComm(kPort, 38400), 1);
        QVERIFY(pumpUntil([&] { return r.valuesOf(1).size() >= 2; }, 3000));
        qint32 handle = 0;
        QByteArray sender(8, ' ');
        const qint32 n = r.com->Get_Message(handle, 100000, 0, sender);
        QByteArray text(n, ' ');
        r.com->GetStringFromPtr(text, handle, n);
        QCOMPARE(text, QByteArray("RESET"));
        QCOMPARE(sender, QByteArray("TERM0001"));
    }

    // A background transfer to the terminal that asked: progress events 3
    // rising to 100, then the end event 2, all through the event routine.
    void backgroundTransferEvents_data() {
        addLinks();
    }
    void backgroundTransferEvents() {
        QFETCH(QString, via);
        Rig r;
        QVERIFY(r.start(via, {"--baud", "460800"}));
        LinkCom& com = *r.com;
        QCOMPARE(com.InitializeComm(kPort, 38400), 1);
        const QByteArray img = image(20000);
        const QByteArray payload = radioPayload(img);
        com.BackSendMessage("TERM0001", payload, static_cast<qint32>(payload.size()));
        QVERIFY(r.events.isEmpty());  // events come only while the caller pumps
        QVERIFY(r.waitEvent(2, 10000));
        QCOMPARE(r.valuesOf(2), QList<qint32>{0});
        const QList<qint32> progress = r.valuesOf(3);
        QVERIFY2(progress.size() >= 10, qPrintable(QString::number(progress.size())));
        QVERIFY(std::is_sorted(progress.begin(), progress.end()));
        QCOMPARE(progress.last(), 100);
        QVERIFY(r.events.indexOf(qMakePair(2, 0)) > r.events.indexOf(qMakePair(3, 100)));
        QVERIFY(r.sim->waitReports("program", 1, 2000));
        const QJsonObject p = r.sim->reports("program").first();
        QCOMPARE(p.value("via").toString(), QStringLiteral("radio"));
        QCOMPARE(p.value("checksums").toString(), QStringLiteral("good"));
        // Paced at 460800 baud, 46080 bytes a second at the most.
        QVERIFY(p.value("seconds").toDouble() >= payload.size() / 46080.0 * 0.95);
        QCOMPARE(fileBytes(p.value("path").toString()), img);
        com.TerminateComm(kPort);

        // To an address no terminal has: the transfer ends at once, failed.
        r.events.clear();
        QCOMPARE(com.InitializeComm(kPort, 38400), 1);
        com.BackSendMessage("NOBODY01", payload, static_cast<qint32>(payload.size()));
        QVERIFY(r.waitEvent(2, 3000));
        QCOMPARE(r.valuesOf(2), QList<qint32>{-1});
    }

    // The broadcast upload tagged "Z7Q_PROG": every terminal gets the program.
    void messageWithoutConfirmation_data() {
        addLinks();
    }
    void messageWithoutConfirmation() {
        QFETCH(QString, via);
        Rig r;
        QVERIFY(r.start(via, {"--terminal", "TERM0001", "--terminal", "TERM0002"}));
        LinkCom& com = *r.com;
        const QByteArray img = image(9000, 3);
        const QByteArray payload = radioPayload(img);
        QVERIFY(com.IO_Open(kPort, 38400));
        com.Send_Message_Without_Confirmation_ombrex(kPort, "Z7Q_PROG", payload,
                                                     static_cast<qint32>(payload.size()), 1, 200);
        com.IO_Close(kPort);
        QVERIFY(r.sim->waitReports("program", 2, 2000));
        QStringList terminals;
        for (const QJsonObject& p : r.sim->reports("program")) {
            terminals << p.value("terminal").toString();
            QCOMPARE(p.value("via").toString(), QStringLiteral("broadcast"));
            QCOMPARE(p.value("checksums").toString(), QStringLiteral("good"));
            QCOMPARE(fileBytes(p.value("path").toString()), img);
        }
        QCOMPARE(terminals, (QStringList{"TERM0001", "TERM0002"}));
        QVERIFY(pumpUntil([&] { return r.valuesOf(5).contains(100); }, 1000));
    }

    // One byte damaged on the line, in either direction: the damage is
    // found, the frame sent again, and the call still succeeds.
    void corruptedByteIsRetried_data() {
        QTest::addColumn<QString>("via");
        QTest::addColumn<QString>("fault");
        for (const char* via : {"tcp", "pty"}) {
            for (const char* fault : {"--corrupt-out", "--corrupt-in"})
                QTest::addRow("%s %s", via, fault) << via << fault;
        }
    }
    void corruptedByteIsRetried() {
        QFETCH(QString, via);
        QFETCH(QString, fault);
        for (const char* at : {"3", "12"}) {  // in a header; in a payload
            Rig r;
            QVERIFY(r.start(via, {fault, at}));
            QCOMPARE(r.status(), QByteArray("Q10BAS01BAS0020000 384000"));
            QVERIFY2(r.sim->log().contains("damaged") ==
                         (fault == "--corrupt-in" && QByteArray(at) == "12"),
                     r.sim->log().constData());
        }
        // Damage in the middle of a background transfer's data.
        Rig r;
        QVERIFY(r.start(via, {fault, "6000"}));
        QCOMPARE(r.com->InitializeComm(kPort, 38400), 1);
        const QByteArray img = image(15000, 5);
        const QByteArray payload = radioPayload(img);
        r.com->BackSendMessage("TERM0001", payload, static_cast<qint32>(payload.size()));
        QVERIFY(r.waitEvent(2, 5000));
        QCOMPARE(r.valuesOf(2), QList<qint32>{0});
        QVERIFY(r.sim->waitReports("program", 1, 2000));
        QCOMPARE(r.sim->reports("program").first().value("checksums").toString(),
                 QStringLiteral("good"));
        QCOMPARE(fileBytes(r.sim->reports("program").first().value("path").toString()), img);
    }

    // The line is cut in the middle of a transfer (a TCP peer that closes, a
    // serial device that disappears): the end event reports the failure at
    // once, and later calls fail or recover without hanging.
    void droppedLinkIsReported_data() {
        addLinks();
    }
    void droppedLinkIsReported() {
        QFETCH(QString, via);
        Rig r;
        QVERIFY(r.start(via, {"--drop-after", "8000", "--baud", "460800"}));
        LinkCom& com = *r.com;
        QCOMPARE(com.InitializeComm(kPort, 38400), 1);
        const QByteArray payload = radioPayload(image(30000));
        com.BackSendMessage("TERM0001", payload, static_cast<qint32>(payload.size()));
        QElapsedTimer t;
        t.start();
        QVERIFY(r.waitEvent(2, 5000));
        QCOMPARE(r.valuesOf(2), QList<qint32>{-1});
        QVERIFY(t.elapsed() < kBoundMs);
        com.TerminateComm(kPort);

        t.restart();
        const QByteArray status = r.status();
        QVERIFY(t.elapsed() < kBoundMs);
        if (via == "tcp")
            QCOMPARE(status.left(3), QByteArray("Q10"));  // a new connection
        else
            QVERIFY(status.isEmpty());  // the device is gone
        // A raw write to a line that is gone returns at once.
        com.IO_Write(kPort, 4, "abcd");
        QByteArray one(1, ' ');
        QCOMPARE(com.IO_Read(kPort, 1, one, 100), 0);
    }

    // A peer that stops answering: every call gives up within the bound.
    void silentPeerIsReportedInTime_data() {
        addLinks();
    }
    void silentPeerIsReportedInTime() {
        QFETCH(QString, via);
        Rig r;
        QVERIFY(r.start(via, {"--silent-after", "0"}));
        LinkCom& com = *r.com;
        QElapsedTimer t;
        t.start();
        QVERIFY(r.status().isEmpty());
        QVERIFY2(t.elapsed() < kBoundMs, qPrintable(QString::number(t.elapsed())));
        t.restart();
        QCOMPARE(com.B_ResetBaseProgram(kPort, 38400), 0);
        QCOMPARE(com.InitializeComm(kPort, 38400), 0);
        QCOMPARE(com.ChangeBaseNameAntenaFast(kPort, "!DOWN"), 0);
        QVERIFY2(t.elapsed() < 3 * kBoundMs, qPrintable(QString::number(t.elapsed())));
        // The port itself still opens: only the base station is silent.
        QCOMPARE(com.IO_Open(kPort, 38400), 1);
        t.restart();
        const QByteArray payload = radioPayload(image(4000));
        com.Send_Message_Without_Confirmation_ombrex(kPort, "Z7Q_PROG", payload,
                                                     static_cast<qint32>(payload.size()), 1, 200);
        QVERIFY2(t.elapsed() < kBoundMs, qPrintable(QString::number(t.elapsed())));
        com.IO_Close(kPort);
    }

    // A signal ends the emulator cleanly, and the link it made goes with it.
    void emulatorEndsCleanlyOnASignal() {
        QTemporaryDir dir;
        const QString link = dir.filePath("quvbase");
        SimProcess sim({"--pty-link", link});
        QVERIFY(sim.start());
        QCOMPARE(sim.ptyPath(), link);
        QVERIFY(QFileInfo(link).isSymLink());
        QVERIFY(QFileInfo(link).symLinkTarget().startsWith("/dev/"));
        QVERIFY(sim.terminate());
        QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
    }

    // Calls with no link behind them: failure results, no crash, no wait.
    void callsWithoutALink() {
        MemorySettingsStore settings;
        settings.save(QStringLiteral("ComDevice2"), QStringLiteral("/nonexistent/tty"));
        LinkCom com(settings);
        QList<qint32> ends;
        com.BackGetEvent([&](qint32 code, qint32 value, qint32, const QByteArray&) {
            if (code == 2) ends << value;
        });
        QElapsedTimer t;
        t.start();
        QByteArray one(1, ' ');
        QCOMPARE(com.IO_Read(2, 1, one, 1000), 0);
        com.IO_Write(2, 3, "abc");
        com.IO_Close(2);
        com.TerminateComm(2);
        QCOMPARE(com.IO_Open(2, 38400), 0);
        QCOMPARE(com.InitializeComm(2, 38400), 0);
        qint32 handle = -5;
        QByteArray sender(8, ' ');
        QCOMPARE(com.Get_Message(handle, 100000, 0, sender), 0);
        QCOMPARE(sender, QByteArray(8, ' '));
        QByteArray text(4, ' ');
        com.GetStringFromPtr(text, 12345, 4);
        QCOMPARE(text, QByteArray(4, ' '));
        QVERIFY(t.elapsed() < 500);
        com.BackSendMessage("TERM0001", "data", 4);
        QVERIFY(pumpUntil([&] { return !ends.isEmpty(); }, 1000));
        QCOMPARE(ends, QList<qint32>{-1});

        // TCP towards a port where nobody listens; an address with no host.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 closed = probe.serverPort();
        probe.close();
        com.TCPIP_Start("127.0.0.1:" + QByteArray::number(closed));
        t.restart();
        QCOMPARE(com.IO_Open(1, 38400), 0);
        qint32 baud = 38400;
        QByteArray reply(200, ' ');
        QCOMPARE(com.B_BaseGetStatus(1, baud, reply), 0);
        QCOMPARE(baud, 38400);
        QCOMPARE(reply, QByteArray(200, ' '));
        com.TCPIP_Start("");
        QCOMPARE(com.IO_Open(1, 38400), 0);
        QVERIFY(t.elapsed() < kBoundMs);
        com.TCPIP_Stop();
        com.StopAllProcesses();
    }
};

QTEST_GUILESS_MAIN(TestLinkCom)
#include "tst_linkcom.moc"
