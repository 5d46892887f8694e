// The communication library over serial ports and TCP/IP: raw port access,
// the base station's operations, and radio messages to and from terminals.
#pragma once

#include "comm/link.h"
#include "comm/quvcom.h"
#include "comm/wire.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <memory>
#include <optional>
#include <utility>

namespace quv {

class EventPump;
class SettingsStore;

class LinkCom : public QObject, public QuvCom {
  public:
    // A call gives up when the other side has made no progress for this long.
    static constexpr int kCallMs = 2000;
    // A transfer fails when the base station has sent nothing at all for
    // kSilentBaseMs, or when no byte of it has moved (the count received did
    // not grow and no progress frame came) for kStalledTransferMs.
    static constexpr int kSilentBaseMs = 3000;
    static constexpr int kStalledTransferMs = 12000;
    // After a raw write the line stays quiet this long before the port closes
    // or the next request goes, so that a receiver that ends a raw upload
    // frame by silence hears it whole.
    static constexpr int kQuietAfterRawMs = 100;

    // Every wait of every call pumps pump; once pump.closing() holds, a call
    // that would wait fails at once, as on a time-out.
    LinkCom(SettingsStore& settings, EventPump& pump);
    ~LinkCom() override;

    // How the operations behave beyond what the interface says:
    // - Base station operations use the port when it is open (IO_Open or
    //   InitializeComm), otherwise open it for the call and close it after.
    // - Each call gives up after kCallMs without an answer. IO_Write returns
    //   once the bytes have left the port (see Link::writeAll) and gives up
    //   when none has left for kCallMs; IO_Close keeps the line quiet after it.
    //   Transfers (BackSendMessage, Send_Message_Without_Confirmation_ombrex)
    //   fail by kSilentBaseMs and kStalledTransferMs, also while they wait
    //   for the end event.
    // - Send_Message goes as one request, like the base station operations;
    //   a length outside 1 to wire::TerminalText::kMaxText (or beyond data) is not
    //   sent and gives 0.
    // - Get_Message: maxLength cuts longer messages; flags 0 takes the oldest
    //   message from any terminal.
    // - Send_Message_Without_Confirmation_ombrex: mode is how many times the
    //   base station sends the message over the air (at least once), timeout
    //   the pause in milliseconds between those times.
    // - Background events: 1 when a terminal message waits (value: how many),
    //   2 when a background transfer ends (0 delivered, -1 failed), 3, 4, 5
    //   progress (0 to 100) of a transfer to a terminal, of a raw write of at
    //   least 1 KiB, of a message without confirmation. A transfer reports
    //   its progress each time its bytes move (the count received grows or a
    //   progress frame comes), even when the percentage stays.
    // - Every BackSendMessage gets exactly one end event (code 2). While a
    //   transfer runs, another BackSendMessage is refused with its own end
    //   event -1 and the running one goes on; TerminateComm ends a running
    //   transfer with -1. StopAllProcesses drops the event routine, and with
    //   it every event not yet delivered.
    // - While attached (InitializeComm until TerminateComm), a link that fails
    //   or that another operation closes (IO_Open of another port,
    //   TCPIP_Start, TCPIP_Stop) raises event 6, after the end event of a
    //   transfer it carried.

    qint32 InitializeComm(qint32 port, qint32 baud) override;
    void TerminateComm(qint32 port) override;
    qint32 IO_Open(qint32 port, qint32 baud) override;
    void IO_Close(qint32 port) override;
    qint32 IO_Write(qint32 port, qint32 count, const QByteArray& data) override;
    qint32 IO_Read(qint32 port, qint32 count, QByteArray& buffer, qint32 timeoutMs) override;
    void BackGetEvent(EventRoutine routine) override;
    void BackSendMessage(const QByteArray& destination, const QByteArray& data,
                         qint32 count) override;
    qint32 Send_Message_Without_Confirmation_ombrex(qint32 port, const QByteArray& tag,
                                                    const QByteArray& data, qint32 count,
                                                    qint32 mode, qint32 timeout) override;
    qint32 Send_Message(qint32 port, const QByteArray& destination, const QByteArray& data,
                        qint32 length) override;
    qint32 Get_Message(qint32& handle, qint32 maxLength, qint32 flags, QByteArray& sender) override;
    void GetStringFromPtr(QByteArray& buffer, qint32 handle, qint32 length) override;
    qint32 ChangeBaseNameAntenaFast(qint32 port, const QByteArray& name) override;
    qint32 B_BaseGetStatus(qint32 port, qint32& baud, QByteArray& reply) override;
    void B_PutBaseUpload(qint32 port, qint32 baud) override;
    void B_ClearBaseProgram(qint32 port, qint32 baud) override;
    qint32 B_ResetBaseProgram(qint32 port, qint32 baud) override;
    qint32 B_SetBaseName(qint32 port, qint32 baud, const QByteArray& prefix, qint32 station,
                         qint32 remote) override;
    qint32 B_SetBaseRadio(qint32 port, qint32 baud, qint32 reserved1, qint32 radioBaud,
                          qint32 reserved2) override;
    qint32 B_SetBaseBaudRate2(qint32 port, qint32 oldBaud, qint32 newBaud) override;
    qint32 B_SetSerialOrRadio(qint32 port, qint32 baud, qint32 mode) override;
    void TCPIP_Start(const QByteArray& address) override;
    void TCPIP_Stop() override;
    void StopAllProcesses() override;

    // "host" or "host:port" ("[v6]:port" too); the port defaults to
    // wire::kDefaultTcpPort. nullopt when the text names no host or a bad port.
    static std::optional<std::pair<QString, quint16>> parseAddress(const QByteArray& address);

  private:
    // A reply awaited by exchange(): the reply's payload once it has come.
    struct Pending {
        quint8 command = 0;
        std::optional<QByteArray> reply;
        bool resend = false;
    };
    // The link a call uses, and whether the call opened it for itself.
    struct Lease {
        QPointer<Link> link;
        bool temporary = false;
    };
    struct Transfer {
        wire::TransferBegin begin;
        QByteArray data;
        QPointer<Link> link;
        bool background = false;
        qint32 chunk = 0;
        qint32 sent = 0;
        qint32 acked = 0;
        bool allAcked = false;
        bool done = false;  // every byte answered (the base's end event still to come)
        qint32 lastResendFrom = -1;
        // Each resend after silence halves the pieces and doubles this wait,
        // so a line slower than its rate setting still gets the data through.
        int resendMs = 0;
        QElapsedTimer sinceMoved;  // the count received grew or a progress frame came
        QElapsedTimer sinceHeard;  // the base station last sent anything
        QElapsedTimer sinceResend;
    };

    bool linkServes(qint32 port) const;
    Lease acquire(qint32 port, qint32 baud, const QDeadlineTimer& deadline);
    void release(const Lease& lease);
    void closeLink();
    std::optional<QByteArray> exchange(Link* link, quint8 command, const QByteArray& payload,
                                       const QDeadlineTimer& deadline);
    std::optional<QByteArray> request(qint32 port, qint32 baud, quint8 command,
                                      const QByteArray& payload = {});

    void onFrame(Link* from, const FrameDecoder::Item& item);
    bool acceptReliable(Link* from, const Frame& frame);
    void onLinkBroken(Link* from);

    // The transfer's id once it has begun (it may end at any later pump); 0
    // when it was refused or could not begin, a background one having then
    // reported its end.
    quint8 startTransfer(Link* link, wire::TransferBegin begin, const QByteArray& data,
                         bool background);
    // The running transfer when its id is id, otherwise nullptr.
    Transfer* runningTransfer(quint8 id) const;
    void onTransferAck(const QByteArray& payload);
    void onTransferTick();
    // Bytes of the running transfer moved; percent is how far it is.
    void transferMoved(qint32 percent);
    void sendChunks();
    // Ends the running transfer; a background one reports its end event.
    void endTransfer(qint32 value);

    void postEvent(qint32 code, qint32 value);
    // Pumps until the line has been quiet for kQuietAfterRawMs after a raw write.
    void quietAfterRaw();
    void deliverEvents();

    SettingsStore& settings_;
    EventPump& pump_;
    std::unique_ptr<Link> link_;
    qint32 linkPort_ = 0;
    bool rawOpen_ = false;
    bool attached_ = false;
    bool tcpMode_ = false;
    QByteArray tcpAddress_;
    qint32 lastBaud_ = 38400;
    QElapsedTimer rawWritten_;  // the last raw write left the port
    quint8 nextSeq_;
    QHash<quint8, Pending*> pending_;
    int lastReliableSeq_ = -1;

    std::unique_ptr<Transfer> transfer_;
    QTimer transferTimer_;
    quint8 nextTransferId_ = 1;

    EventRoutine routine_;
    std::deque<std::pair<qint32, qint32>> events_;
    bool deliveryScheduled_ = false;
    bool delivering_ = false;

    // Terminal messages not yet taken (sender, text), and the last ones taken
    // by handle for GetStringFromPtr.
    std::deque<std::pair<QByteArray, QByteArray>> inbox_;
    QHash<qint32, QByteArray> taken_;
    std::deque<qint32> takenOrder_;
    qint32 nextHandle_ = 1;
};

}  // namespace quv
