// The commands of the base station link and the layouts of their payloads,
// shared by the library and the base station emulator.
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>

namespace quv::wire {

// TCP port of a base station reached by "host" without ":port".
constexpr quint16 kDefaultTcpPort = 4720;

// Requests of the host; the answer carries the same sequence number and the
// command with kReply added, its payload opening with a Status byte.
enum Command : quint8 {
    kGetStatus = 0x10,  // -> the status record
    kPutUpload = 0x11,  // base prepares to broadcast a program
    kClearProgram = 0x12,
    kResetProgram = 0x13,
    kSetName = 0x14,         // prefix(3) station(i32) remote(i32)
    kSetRadio = 0x15,        // reserved(i32) radio baud(i32) reserved(i32)
    kSetSerialBaud = 0x16,   // new serial baud(i32); answered at the old rate
    kSetSendTo = 0x17,       // 0 serial, 1 radio (i32)
    kChangeNameFast = 0x18,  // a name, or a word beginning with "!"
    kAttach = 0x20,          // host takes terminal messages and events
    kDetach = 0x21,
    kTransferBegin = 0x22,    // see TransferBegin
    kTransferData = 0x23,     // id(1) offset(i32) bytes; answered by a TransferAck
    kTerminalMessage = 0x24,  // see TerminalText

    // Sent by the base on its own. kMessage and kEvent are repeated until the
    // host answers them (command + kReply, same sequence, empty payload);
    // kProgress is never answered.
    kMessage = 0x40,   // see TerminalText
    kEvent = 0x41,     // code(i16) value(i16) transfer id(1)
    kProgress = 0x42,  // code(i16) value(i16) transfer id(1)

    // Either side: the frame with this sequence arrived damaged; send it again.
    kNak = 0x7F,
    kReply = 0x80,
};

enum Status : quint8 {
    kOk = 0,
    kRefused = 1,  // understood, not accepted
    kUnknownTerminal = 2,
    kBusy = 3,
    kBadRequest = 4,
    kResendFrom = 5,  // TransferAck: data from this offset is missing
};

// Background event codes delivered to the host's event routine.
enum EventCode : qint32 {
    kEventMessage = 1,            // a terminal message waits; value: how many
    kEventTransferEnd = 2,        // value 0: delivered; -1: failed
    kEventProgress = 3,           // addressed transfer, value 0 to 100
    kEventWriteProgress = 4,      // raw port write, value 0 to 100
    kEventBroadcastProgress = 5,  // message without confirmation, 0 to 100
    // Raised by the library itself: the link the host attached on (InitializeComm)
    // is gone, because the line failed or another operation closed it. Value 0.
    kEventLinkLost = 6,
};

// Little-endian integers inside payloads.
void putInt32(QByteArray& out, qint32 v);
void putInt16(QByteArray& out, qint16 v);
qint32 getInt32(const QByteArray& in, qsizetype at);
qint16 getInt16(const QByteArray& in, qsizetype at);

// A text cut or padded with blanks to exactly n characters.
QByteArray fixed(const QByteArray& text, int n);

// The base station's status record: the first 25 characters of its answer.
struct StatusRecord {
    static constexpr int kLength = 25;
    QByteArray version = "DEF";
    QByteArray localName = "BAS00";
    QByteArray remoteName = "BAS00";
    qint32 radioBaud = 20000;
    qint32 serialBaud = 38400;
    char sendTo = '0';

    // The baud rates a record can carry: whole numbers above 0 that fit
    // their fields.
    static constexpr qint32 kMaxRadioBaud = 99999;
    static constexpr qint32 kMaxSerialBaud = 999999;
    static bool radioBaudFits(qint32 baud) { return baud > 0 && baud <= kMaxRadioBaud; }
    static bool serialBaudFits(qint32 baud) { return baud > 0 && baud <= kMaxSerialBaud; }

    // version(3) local(5) remote(5) radio baud(5, left) serial baud(6, right)
    // send-to(1).
    QByteArray toText() const;
    // Reads a record; nullopt when it is shorter than 25 characters or the
    // serial rate is not a number. A radio rate that is not a number reads as
    // 0: the rest of the record is still good.
    static std::optional<StatusRecord> fromText(const QByteArray& text);
};

enum class TransferKind : quint8 { Addressed = 0, Broadcast = 1 };

// Payload of kTransferBegin.
struct TransferBegin {
    quint8 id = 0;
    TransferKind kind = TransferKind::Addressed;
    QByteArray target;  // terminal address or broadcast tag, 8 characters
    qint32 total = 0;
    qint32 repeat = 1;  // broadcast: how many times it goes over the air
    qint32 gapMs = 0;   // broadcast: pause between repetitions

    static constexpr int kLength = 1 + 1 + 8 + 4 + 4 + 4;
    QByteArray toPayload() const;
    static std::optional<TransferBegin> fromPayload(const QByteArray& p);
};

// Header of kTransferData and the whole of its answer: transfer id and an
// offset (of the data, or of the first byte still missing).
struct TransferMark {
    static constexpr int kLength = 5;
    quint8 id = 0;
    qint32 offset = 0;
    QByteArray toPayload() const;
    static std::optional<TransferMark> fromPayload(const QByteArray& p);
};

// Payload of kTerminalMessage (to a terminal) and kMessage (from one): the
// terminal's address and the text, any byte values.
struct TerminalText {
    static constexpr int kAddressLength = 8;
    static constexpr int kMaxText = 4000;
    QByteArray address;  // cut or padded to 8 characters in the payload
    QByteArray text;

    // A text a terminal takes: 1 to kMaxText bytes.
    bool textFits() const { return !text.isEmpty() && text.size() <= kMaxText; }
    QByteArray toPayload() const;
    // nullopt when the payload is shorter than an address.
    static std::optional<TerminalText> fromPayload(const QByteArray& p);
};

// Payload of kEvent and kProgress.
struct EventRecord {
    static constexpr int kLength = 5;
    qint16 code = 0;
    qint16 value = 0;
    quint8 transfer = 0;
    QByteArray toPayload() const;
    static std::optional<EventRecord> fromPayload(const QByteArray& p);
};

}  // namespace quv::wire
