// The frame decoder on junk and any split of the stream, and the library
// against the base station emulator over TCP and a pseudo-terminal.
#include "comm/frame.h"
#include "comm/link_com.h"
#include "comm/wire.h"
#include "core/checksum.h"
#include "core/com_device.h"
#include "core/settings_store.h"
#include "sim_process.h"
#include "support/test_files.h"

#include <QTcpServer>
#include <QtTest>

using namespace quv::wire;
using quv::Frame;
using quv::FrameDecoder;
using quv::LinkCom;
using namespace quv::test;
using Events = QList<qint32>;
using Pairs = QList<QPair<qint32, qint32>>;

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
    return Frame{kTransferData, seq, patternBytes(size, seq)};
}

constexpr qint32 kPort = 1;
// A call's own bound (the library's 2 s and some slack), and the longest a
// test waits for something it expects to happen.
constexpr int kBoundMs = 2600;
constexpr int kEventMs = 20000;

// The image followed by its two checksums, as radio uploads send it.
QByteArray radioPayload(const QByteArray& img) {
    return img + quv::Checksum::of(img).trailer();
}

// The emulator and a library pointed at it, over TCP or a pseudo-terminal.
struct Rig {
    quv::MemorySettingsStore settings;
    bool closing = false;
    quv::QtEventPump pump{&closing};
    std::unique_ptr<quvsim::SimProcess> sim;
    std::unique_ptr<LinkCom> com;
    Pairs events;  // in order, and by code
    QHash<qint32, Events> ev;
    std::function<void(qint32 code)> onEvent;

    bool start(const QString& via, QStringList options = {}) {
        options << (via == "tcp" ? QStringList{"--tcp", "0"} : QStringList{"--pty"});
        sim = std::make_unique<quvsim::SimProcess>(options);
        if (!sim->start()) return false;
        attach();
        if (via == "tcp") com->TCPIP_Start(sim->tcpAddress());
        usePty();
        return true;
    }
    // The library alone, its events recorded.
    void attach() {
        com = std::make_unique<LinkCom>(settings, pump);
        com->BackGetEvent([this](qint32 code, qint32 value, qint32, const QByteArray&) {
            events << qMakePair(code, value);
            ev[code] << value;
            if (onEvent) onEvent(code);
        });
    }
    // Port 1 is the device given, or the pseudo-terminal the emulator offers now.
    void usePty(const QString& device = {}) {
        settings.save(QStringLiteral("ComDevice1"), sim ? sim->ptyPath() : device);
    }
    bool waitFor(const std::function<bool()>& done) { return pumpUntil(pump, done, kEventMs); }
    bool waitEvents(qint32 code, int count) {
        return waitFor([&] { return ev.value(code).size() >= count; });
    }
    // Until the emulator has answered a command given now: what it did before has come in.
    bool settle() {
        const auto n = static_cast<int>(sim->reports("status").size());
        sim->command("status");
        return sim->waitReports("status", n + 1, kEventMs);
    }
    // The n-th program the terminals got: "TERMINAL via checksums", and
    // whether its bytes are img.
    QString program(int n, const QByteArray& img) {
        if (!sim->waitReports("program", n, kEventMs)) return "none";
        const QJsonObject p = sim->reports("program").at(n - 1);
        return p.value("terminal").toString().trimmed() + " " + p.value("via").toString() + " " +
               p.value("checksums").toString() +
               (readTestFile(p.value("path").toString()) == img ? "" : " other bytes");
    }
    // The status record and the rate handed back; the rest of the reply
    // buffer stays blank. Empty when the call fails.
    QByteArray status() {
        qint32 baud = 38400;
        QByteArray reply(LinkCom::kStatusBufferLength, ' ');
        if (!com->B_BaseGetStatus(kPort, baud, reply)) return {};
        return reply.left(25) + (reply.mid(25).trimmed().isEmpty() ? " @" : " extra @") +
               QByteArray::number(baud);
    }
    // "!DOWN", then the RS232 frame of img written at rate, its byte at
    // damageAt spoiled: how long the write took; -1 when a step failed.
    qint64 rs232(const QByteArray& img, qint32 rate, qsizetype damageAt = -1) {
        const QByteArray head = "S" + QByteArray::fromHex("0102030405060708");
        QByteArray frame = head + quv::Checksum::of(head).trailer() + radioPayload(img);
        if (damageAt >= 0) frame[damageAt] = static_cast<char>(frame[damageAt] ^ 1);
        if (!com->IO_Open(kPort, 115200) || !com->ChangeBaseNameAntenaFast(kPort, "!DOWN"))
            return -1;
        com->IO_Close(kPort);
        if (!com->IO_Open(kPort, rate)) return -1;
        const auto from = QDeadlineTimer::current();
        const auto n = static_cast<qint32>(frame.size());
        return com->IO_Write(kPort, n, frame) == n ? QDeadlineTimer::current() - from : -1;
    }
    void send(const QByteArray& destination, const QByteArray& payload) {
        com->BackSendMessage(destination, payload, static_cast<qint32>(payload.size()));
    }
    void broadcast(const QByteArray& payload) {
        com->Send_Message_Without_Confirmation_ombrex(kPort, "Z7Q_PROG", payload,
                                                      static_cast<qint32>(payload.size()), 1, 200);
    }
    // The message waiting longest, as "SENDER  :text"; empty when none waits.
    QByteArray message(int senderSize = 8, int textSize = -1) {
        qint32 handle = 0;
        QByteArray sender(senderSize, ' ');
        const qint32 n = com->Get_Message(handle, 100000, 0, sender);
        QByteArray text(textSize < 0 ? n : textSize, ' ');
        com->GetStringFromPtr(text, handle, n);
        return n ? sender + ':' + text : QByteArray();
    }
};

void addLinks() {
    QTest::addColumn<QString>("via");
    for (const char* via : {"tcp", "pty"}) QTest::newRow(via) << QString(via);
}

}  // namespace

class TestLinkCom : public QObject {
    Q_OBJECT
  private slots:
    void portNamesAddressesRecordsAndPayloads() {
        quv::MemorySettingsStore s;
        s.save(QStringLiteral("ComDevice3"), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(QStringList({comDevice(s, 3), comDevice(s, 16), comDevice(s, 0)}),
                 QStringList({"/dev/ttyUSB0", "/dev/ttyS15", ""}));
        QStringList parsed;
        for (const char* text : {"127.0.0.1", " base.local:5000 ", "[::1]:6000", "::1", "",
                                 "host:0", "host:70000", ":80"}) {
            const auto a = LinkCom::parseAddress(text);
            parsed << (a ? a->first + " " + QString::number(a->second) : "-");
        }
        QCOMPARE(parsed.join(", "),
                 "127.0.0.1 4720, base.local 5000, ::1 6000, ::1 4720, -, -, -, -");
        // The layout a base station's firmware implements: start byte, command,
        // sequence, length low first, header checksums, payload, its checksums.
        // The status record as the base configuration dialog reads it (also with
        // a radio rate that is no number), and the payload readers, which refuse
        // wrong sizes.
        const QByteArray head = QByteArray::fromHex("0210070300");
        const QByteArray abc = "abc" + QByteArray::fromHex("2901b202");  // with its checksums
        QCOMPARE((Frame{kGetStatus, 7, "abc"}.encode()),
                 head + quv::Checksum::of(head).trailer() + abc);
        QCOMPARE((Frame{kDetach, 0, {}}.encode().right(4)), QByteArray(4, '\0'));
        const StatusRecord r{"V21", "ABC05", "ABC03", 9600, 115200, '1'};
        QCOMPARE(StatusRecord::fromText(r.toText() + "more")->toText(),
                 QByteArray("V21ABC05ABC039600 1152001"));
        QVERIFY(!StatusRecord::fromText("V21ABC05ABC0340000 19200") &&  // 24 characters
                !StatusRecord::fromText("V21ABC05ABC0340000 19x001"));
        QCOMPARE(StatusRecord::fromText("V21ABC05ABC03fast  192001").value_or(r).serialBaud, 19200);
        const TransferBegin b{3, TransferKind::Broadcast, "Z7Q_PROG", 70000, 1, 200};
        const auto back = TransferBegin::fromPayload(b.toPayload());
        QVERIFY(back && back->target == "Z7Q_PROG" && back->total == 70000 && back->gapMs == 200);
        QVERIFY(!TransferBegin::fromPayload(b.toPayload().chopped(1)));
        const EventRecord e{2, -1, 9};
        QVERIFY(EventRecord::fromPayload(e.toPayload())->value == -1 &&
                !EventRecord::fromPayload(e.toPayload() + "x"));
        QVERIFY(!TransferMark::fromPayload("abcd"));
    }

    // Every base station operation, from the record in the emulator's file,
    // which keeps what the program writes; rates the record cannot carry are
    // refused, and in the file give way to the defaults. Then raw bytes both
    // ways, and the RS232 upload: "!DOWN" at 115200, then the whole frame at
    // 38400 in one write, the terminal checking both checksum pairs.
    void baseOperations_data() { addLinks(); }
    void baseOperations() {
        QFETCH(QString, via);
        QTemporaryDir dir;
        const QString config = dir.filePath("base.json");
        QVERIFY(writeTestFile(config,
                              R"({"version":"V21","localName":"ABC05","remoteName":"ABC03",)"
                              R"("radioBaud":40000,"serialBaud":19200,"sendTo":"1"})"));
        Rig r;
        QVERIFY(r.start(via, {"--config", config, "--baud", "38400"}));
        LinkCom& com = *r.com;
        QCOMPARE(r.status(), QByteArray("V21ABC05ABC0340000 192001 @19200"));
        QCOMPARE(com.B_SetBaseName(kPort, 19200, "XYZ", 7, 12) +
                     com.B_SetBaseRadio(kPort, 19200, 0, 80000, 0) +
                     com.B_SetSerialOrRadio(kPort, 19200, 0) +
                     com.B_SetBaseBaudRate2(kPort, 19200, 38400),
                 4);
        QCOMPARE(r.status(), QByteArray("V21XYZ07XYZ1280000 384000 @38400"));
        for (const qint32 bad : {115200, 100000, 0, -40000})
            QCOMPARE(com.B_SetBaseRadio(kPort, 38400, 0, bad, 0) +
                         com.B_SetBaseBaudRate2(kPort, 38400, bad * 10),
                     0);
        com.B_SetSerialOrRadio(kPort, 38400, 1);
        QCOMPARE(r.status(), QByteArray("V21XYZ07XYZ1280000 384001 @38400"));
        com.B_SetBaseRadio(kPort, 38400, 0, 99999, 0);
        QCOMPARE(com.B_ResetBaseProgram(kPort, 38400) + com.B_ResetBaseProgram(kPort, 38400), 2);
        com.B_ClearBaseProgram(kPort, 38400);
        com.B_PutBaseUpload(kPort, 38400);
        QVERIFY(r.sim->waitReports("put-upload", 1, kEventMs));
        QVERIFY(r.sim->reports("reset").size() == 2 && r.sim->reports("clear").size() == 1);
        QCOMPARE(com.ChangeBaseNameAntenaFast(kPort, "!WHAT"), 0);
        QCOMPARE(com.ChangeBaseNameAntenaFast(kPort, "FAS09"), 1);
        QVERIFY(com.IO_Open(kPort, 38400));
        const QByteArray request = quv::Frame{quv::wire::kGetStatus, 77, {}}.encode();
        com.IO_Write(kPort, static_cast<qint32>(request.size()), request);
        const QByteArray answer =
            quv::Frame{0x90, 77, QByteArray(1, '\0') + "V21FAS09XYZ1299999 384001"}.encode();
        QByteArray got;
        for (QByteArray one(1, ' '); got.size() < answer.size();) {
            QCOMPARE(com.IO_Read(kPort, 1, one, 1000), 1);
            got += one;
        }
        QCOMPARE(got, answer);
        com.IO_Close(kPort);
        const QByteArray img = patternBytes(5000);
        for (const int damageAt : {-1, 700}) {  // two uploads, the second right after the first
            QVERIFY(r.rs232(img, 38400, damageAt) >= 0);
            com.IO_Close(kPort);
        }
        QCOMPARE(r.program(1, img) + ", " + r.program(2, img),
                 "TERM0001 serial good, TERM0001 serial bad other bytes");
        QVERIFY(r.ev.value(4).contains(100));  // write progress, which the upload ignores
        com.StopAllProcesses();
        QVERIFY(r.sim->stop());
        QVERIFY(writeTestFile(config, readTestFile(config).replace("99999", "115200")));
        Rig again;  // over a link to the pseudo-terminal, which goes when a signal ends the run
        const QString link = dir.filePath("quvbase");
        QVERIFY(again.start("pty", {"--config", config, "--pty-link", link}));
        QVERIFY(again.sim->ptyPath() == link &&
                QFileInfo(link).symLinkTarget().startsWith("/dev/"));
        QCOMPARE(again.status(), QByteArray("V21FAS09XYZ1220000 384001 @38400"));
        QVERIFY(again.sim->terminate());
        QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
    }

    // One event makes the caller collect all waiting terminal messages, oldest
    // first, into buffers never grown. The broadcast upload reaches every
    // terminal; a transfer asked for inside its wait is refused, and it goes on.
    // Messages right after an end event, 50 ms apart, follow it in order.
    void terminals_data() { addLinks(); }
    void terminals() {
        QFETCH(QString, via);
        Rig r;
        QVERIFY(r.start(via, {"--terminal", "TERM0001", "--terminal", "T2", "--say-after-program",
                              "hello", "--say-after-program", "bye"}));
        r.sim->command("say T2 hello there");  // waits in the base until the host attaches
        QCOMPARE(r.com->InitializeComm(kPort, 38400), 1);
        for (const char* line : {"reset", "say TERM0001 x", "reset T2"}) r.sim->command(line);
        QVERIFY(r.waitFor([&] { return r.ev.value(1).contains(4); }));
        QByteArrayList got;
        for (QByteArray m; !(m = r.message()).isEmpty();) got << m;
        QCOMPARE(got.join('|'), "T2      :hello there|TERM0001:RESET|TERM0001:x|T2      :RESET");
        r.sim->command("say TERM0001 a longer message");
        QVERIFY(r.waitEvents(1, 5));
        QCOMPARE(r.message(3, 4), QByteArray("TER:a lo"));
        QCOMPARE(r.message(), QByteArray());
        const QByteArray img = patternBytes(9000, 3);
        r.onEvent = [&](qint32 code) {
            if (code == 5 && r.ev.value(5).size() == 1) r.send("TERM0001", radioPayload(img));
        };
        QVERIFY(r.com->IO_Open(kPort, 38400));
        r.broadcast(radioPayload(img));
        r.com->IO_Close(kPort);
        QCOMPARE(r.program(1, img) + ", " + r.program(2, img),
                 "TERM0001 broadcast good, T2 broadcast good");
        QVERIFY(r.waitFor([&] { return r.ev.value(5).contains(100); }));
        QCOMPARE(r.ev.value(2), Events{-1});
        r.onEvent = [](qint32 code) {  // a routine that pumps, as the window's does
            if (code == 2) QTest::qWait(200);
        };
        r.send("T2", radioPayload(img));
        QVERIFY(r.waitFor([&] { return r.ev.value(1).size() == 7; }) && r.settle());
        QCOMPARE(r.events.mid(r.events.indexOf(qMakePair(2, 0))), (Pairs{{2, 0}, {1, 1}, {1, 2}}));
        const QByteArray first = r.message();
        QCOMPARE(first + '|' + r.message(), QByteArray("T2      :hello|T2      :bye"));
    }

    // A text reaches the terminal byte for byte (its address padded) and its
    // echo comes back; an unknown terminal and lengths over 4000 give 0.
    void terminalMessages_data() { addLinks(); }
    void terminalMessages() {
        QFETCH(QString, via);
        Rig r;
        QVERIFY(r.start(via, {"--terminal", "T2", "--echo"}) && r.com->InitializeComm(kPort, 0));
        const QByteArray text("\0\xff\r\nok", 6), x(4001, 'x');
        LinkCom& c = *r.com;
        QCOMPARE(c.Send_Message(kPort, "T2", text + x, 6) +
                     c.Send_Message(kPort, "NOBODY01", text, 6) +
                     c.Send_Message(kPort, "T2", x, 4001) + c.Send_Message(kPort, "T2", x, 4000),
                 2);
        QVERIFY(r.waitEvents(1, 2) && r.settle());
        const QList<QJsonObject> heard = r.sim->reports("message");
        QVERIFY(heard.size() == 2 && heard[0].value("text").toString().toLatin1() == text);
        QCOMPARE(r.message(), "T2      :ECHO " + text);
        QCOMPARE(r.message(), "T2      :ECHO " + x.left(4000));
    }

    // Every background transfer ends with exactly one end event (2): 0 when
    // the terminal has the program, -1 when it failed, was refused because
    // another one runs, or was ended by TerminateComm. The first goes to the
    // terminal that asked for its program with "RESET".
    void transferEndsOnce_data() {
        QTest::addColumn<QString>("via");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("then");
        QTest::addColumn<Events>("ends");
        const QStringList paced = {"--baud", "460800"};
        for (const char* via : {"tcp", "pty"}) {
            auto row = [via](const char* name, const QStringList& options, const char* then,
                             const Events& ends) {
                QTest::addRow("%s %s", via, name) << QString(via) << options << then << ends;
            };
            row("delivered on request", paced + QStringList{"--reset-every", "0.2"}, "", {0});
            row("to an unknown terminal", {}, "to nobody", {-1});
            row("damaged request", {"--corrupt-in", "26"}, "", {0});
            row("damaged answer", {"--corrupt-out", "20"}, "", {0});
            row("damaged data", {"--corrupt-in", "6000"}, "", {0});
            row("damaged ack", {"--corrupt-out", "200"}, "", {0});
            row("line cut", paced + QStringList{"--drop-after", "8000"}, "", {-1});
            row("line cut while it begins", {"--drop-after", "20"}, "", {-1});
            row("second one refused", paced, "second", {-1, 0});
            row("terminated", paced, "terminate", {-1});
        }
        // The link opened at a rate far above the line's: a piece takes longer
        // than the silence bound to cross, and still gets through. A base
        // station that relays a program for seconds is waited for.
        QTest::addRow("tcp slower than its rate")
            << QString("tcp") << QStringList{"--baud", "4800"} << "fast rate" << Events{0};
        QTest::addRow("tcp relayed slowly")
            << QString("tcp") << QStringList{"--relay-ms", "4000"} << "" << Events{0};
        // A link opened at a low rate sends 313 pieces of 64 bytes, three or
        // more to 1 %: each one answered is a progress event.
        QTest::addRow("tcp small pieces") << QString("tcp") << paced << "slow rate" << Events{0};
    }
    void transferEndsOnce() {
        QFETCH(QString, via);
        QFETCH(QStringList, options);
        QFETCH(QString, then);
        QFETCH(Events, ends);
        Rig r;
        QVERIFY(r.start(via, options));
        const qint32 rate = then == "fast rate" ? 460800 : then == "slow rate" ? 2560 : 38400;
        QCOMPARE(r.com->InitializeComm(kPort, rate), 1);
        const QByteArray img = patternBytes(then == "fast rate" ? 1500 : 20000);
        const QByteArray payload = radioPayload(img);
        const QDeadlineTimer bound(kBoundMs);
        QByteArray to = then == "to nobody" ? "NOBODY01" : "TERM0001";
        if (options.contains("--reset-every")) {  // the terminal that asks gets the program
            QVERIFY(r.waitEvents(1, 1));
            to = r.message().left(8);
        }
        r.send(to, payload);
        const bool cut = options.contains("--drop-after");
        if (!cut) QVERIFY(r.ev.value(2).isEmpty());  // events come only while the caller pumps
        if (then == "second") r.send("TERM0001", radioPayload(patternBytes(500, 2)));
        if (then == "terminate") r.com->TerminateComm(kPort);
        QVERIFY(r.waitEvents(2, 1) && (ends.first() == 0 || !bound.hasExpired()));
        QVERIFY(r.waitEvents(2, static_cast<int>(ends.size())));
        QVERIFY(r.settle());
        QCOMPARE(r.ev.value(2), ends);
        if (ends.contains(0)) {
            const Events progress = r.ev.value(3);
            QVERIFY(std::is_sorted(progress.begin(), progress.end()) && progress.last() == 100);
            // Progress comes while bytes move, also while the one slow piece
            // crosses the line at 0 %.
            QVERIFY(then == "fast rate" ? progress.count(0) >= 4
                                        : progress.size() >= (rate == 2560 ? 313 : 10));
            QVERIFY(r.events.indexOf(qMakePair(2, 0)) > r.events.indexOf(qMakePair(3, 100)));
            QCOMPARE(r.program(1, img), "TERM0001 radio good");
            const double seconds = r.sim->reports("program").first().value("seconds").toDouble();
            QVERIFY(!options.contains("--baud") || seconds >= payload.size() / 46080.0 * 0.95);
        }
    }

    // A raw write returns once the line has carried its bytes: no sooner than
    // the port's rate allows, nor than a slower paced line lets them through
    // (less what a pseudo-terminal holds out of sight). What it leaves there
    // still arrives when the port is opened again for the next upload.
    void rawWriteTakesTheLinesTime() {
        const struct {
            int lineBaud, portBaud, size, unseen;
        } rows[] = {{38400, 38400, 10000, 0}, {230400, 921600, 100000, 32 * 1024}};
        for (const auto& row : rows) {
            Rig r;
            QVERIFY(r.start("pty", {"--baud", QString::number(row.lineBaud)}));
            const QByteArray img = patternBytes(row.size);
            QVERIFY(r.rs232(img, row.portBaud) >=
                    (row.size + 17 - row.unseen) * 10000LL / std::min(row.lineBaud, row.portBaud));
            r.com->IO_Close(kPort);
            QVERIFY(r.com->IO_Open(kPort, 115200));
            QCOMPARE(r.program(1, img), "TERM0001 serial good");
        }
    }

    // The attached link that goes away raises event 6, after the end event of
    // the transfer it carried; the caller can go on with the base station, and
    // hears nothing of a link it ends itself.
    void linkLost_data() {
        QTest::addColumn<QString>("row");  // how the link goes, and over what
        for (const char* row : {"drop tcp", "drop pty", "--drop-after tcp", "TCPIP_Start pty",
                                "TCPIP_Stop tcp", "IO_Open pty"})
            QTest::newRow(row) << QString(row);
    }
    void linkLost() {
        QFETCH(QString, row);
        const QString how = row.section(' ', 0, 0), via = row.section(' ', 1);
        Rig r;
        QStringList options{"--baud", "38400", via == "tcp" ? "--pty" : "--tcp=0"};
        QVERIFY(r.start(via, how == "--drop-after" ? options << how << "3000" : options));
        QCOMPARE(r.com->InitializeComm(kPort, 38400), 1);
        r.send("TERM0001", radioPayload(patternBytes(20000)));
        QVERIFY(r.waitEvents(3, 1));  // under way
        if (how == "drop") r.sim->command("drop");
        if (how == "TCPIP_Start") r.com->TCPIP_Start(r.sim->tcpAddress());
        if (how == "TCPIP_Stop") r.com->TCPIP_Stop();
        if (how == "IO_Open") r.com->IO_Open(2, 38400);
        QVERIFY(r.waitEvents(6, 1));
        QCOMPARE(r.events.mid(r.events.size() - 2), (Pairs{{2, -1}, {6, 0}}));
        r.com->TerminateComm(kPort);
        QVERIFY(r.waitFor([&] { return r.sim->listenings() == (how == "drop" ? 2 : 1); }));
        r.usePty();
        QVERIFY(!r.status().isEmpty());
        QCOMPARE(r.com->InitializeComm(kPort, 38400), 1);
        r.com->TerminateComm(kPort);
        QCOMPARE(r.com->InitializeComm(kPort, 38400), 1);
        r.com->StopAllProcesses();
        r.sim->command("drop");
        QVERIFY(r.settle());
        QCOMPARE(r.ev.value(6), Events{0});
    }

    // Calls fail within their bound when the base station stops answering,
    // when there is no line, and once the program closes (then no call waits,
    // nor acts). A transfer asked for still ends once.
    void callsFailInTime_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("boundMs");
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        probe.close();  // a port where nobody listens now
        for (const char* setup : {"silent tcp", "silent pty", "closing"})
            QTest::newRow(setup) << QString(setup) << (*setup == 's' ? 5 * kBoundMs : 300);
        QTest::newRow("no serial device") << "/nonexistent/tty" << 500;
        QTest::newRow("nobody listening")
            << "127.0.0.1:" + QString::number(probe.serverPort()) << 500;
        QTest::newRow("no host") << "" << 500;
    }
    void callsFailInTime() {
        QFETCH(QString, setup);
        QFETCH(int, boundMs);
        Rig r;
        const bool silent = setup.startsWith("silent");
        if (silent || setup == "closing")
            QVERIFY(r.start(silent ? setup.mid(7) : "tcp",
                            silent ? QStringList{"--silent-after", "0"} : QStringList{}));
        else
            r.attach();
        if (setup == "closing") r.closing = r.com->InitializeComm(kPort, 38400) == 1;
        if (!r.sim) setup.startsWith("/") ? r.usePty(setup) : r.com->TCPIP_Start(setup.toLatin1());
        LinkCom& com = *r.com;
        const QDeadlineTimer bound(boundMs);
        r.send("TERM0001", radioPayload(patternBytes(3000)));
        qint32 baud = 38400;
        QByteArray reply(LinkCom::kStatusBufferLength, ' ');
        QCOMPARE(com.B_BaseGetStatus(kPort, baud, reply), 0);
        QVERIFY(baud == 38400 && reply == QByteArray(200, ' '));
        QCOMPARE(com.B_ResetBaseProgram(kPort, 38400), 0);
        QCOMPARE(com.InitializeComm(kPort, 38400), 0);
        QCOMPARE(com.ChangeBaseNameAntenaFast(kPort, "!DOWN"), 0);
        QCOMPARE(r.message(), QByteArray());
        QCOMPARE(com.IO_Open(kPort, 921600), r.sim ? 1 : 0);  // the line itself is there
        QByteArray one(1, ' ');
        const qint64 readFrom = bound.remainingTime();  // IO_Read keeps to its time-out
        QCOMPARE(com.IO_Read(kPort, 1, one, 300), 0);
        const qint64 readMs = readFrom - bound.remainingTime();
        QVERIFY(one == " " && readMs < 1000 && (readMs >= 290 || !silent));
        com.IO_Write(kPort, 32 * 1024, QByteArray(32 * 1024, 'x'));  // 0.36 s of line time
        r.broadcast(radioPayload(patternBytes(3000)));
        QVERIFY2(!bound.hasExpired(), qPrintable(QString::number(bound.remainingTime())));
        r.closing = false;  // what a closing program asked for was never sent
        QVERIFY(r.waitEvents(2, 1));
        if (setup == "closing") {
            QCOMPARE(com.B_ResetBaseProgram(kPort, 38400), 1);
            QVERIFY(r.settle() && r.sim->reports("reset").size() == 1);
            r.closing = true;
            com.IO_Close(kPort);
            com.TerminateComm(kPort);
            QCOMPARE(com.IO_Open(kPort, 38400), 0);  // a new connection is a wait too
        }
        QCOMPARE(r.ev.value(2), Events{-1});
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
};

QTEST_GUILESS_MAIN(TestLinkCom)
#include "tst_linkcom.moc"
