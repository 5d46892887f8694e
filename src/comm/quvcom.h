// The communication library QuvCom: every byte to a terminal or a base station
// passes through these operations, in the argument orders their callers use.
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <functional>

namespace quv {

class QuvCom {
  public:
    // Called by the library, on the user-interface thread while the caller
    // pumps events: event code, event value, a reserved value, a text.
    using EventRoutine =
        std::function<void(qint32 code, qint32 value, qint32 reserved, const QByteArray& text)>;

    // Length of the reply buffer of B_BaseGetStatus and of a terminal address.
    static constexpr int kStatusBufferLength = 200;
    static constexpr int kAddressLength = 8;

    virtual ~QuvCom() = default;

    // Radio messages through the base station.
    // Non-zero: the link is initialised for background messages; 0: failure.
    virtual qint32 InitializeComm(qint32 port, qint32 baud) = 0;
    virtual void TerminateComm(qint32 port) = 0;

    // Raw port operations. IO_Open: non-zero when the port is open.
    virtual qint32 IO_Open(qint32 port, qint32 baud) = 0;
    virtual void IO_Close(qint32 port) = 0;
    // The count of bytes written, or 0 when the line did not take them all.
    virtual qint32 IO_Write(qint32 port, qint32 count, const QByteArray& data) = 0;
    // Reads up to count bytes into buffer (pre-filled, never grown); greater
    // than 0 when bytes were read within timeoutMs.
    virtual qint32 IO_Read(qint32 port, qint32 count, QByteArray& buffer, qint32 timeoutMs) = 0;

    // From now on background events reach the routine.
    virtual void BackGetEvent(EventRoutine routine) = 0;
    // destination: the 8-character address of a terminal.
    virtual void BackSendMessage(const QByteArray& destination, const QByteArray& data,
                                 qint32 count) = 0;
    // 1 once the base station has taken every byte, 0 when the transfer failed.
    virtual qint32 Send_Message_Without_Confirmation_ombrex(qint32 port, const QByteArray& tag,
                                                            const QByteArray& data, qint32 count,
                                                            qint32 mode, qint32 timeout) = 0;
    // A short text to one terminal: destination its 8-character address
    // (padded with blanks or cut), the text data's first length bytes (1 to
    // 4000, any byte values). 1 when the base station accepted it; 0 when
    // there is no link, the base station refused it or does not know the
    // terminal, or did not answer.
    virtual qint32 Send_Message(qint32 port, const QByteArray& destination, const QByteArray& data,
                                qint32 length) = 0;
    // Length of the oldest waiting message, 0 when none waits; handle receives
    // the message, sender (8 characters, pre-filled) the sender's address.
    virtual qint32 Get_Message(qint32& handle, qint32 maxLength, qint32 flags,
                               QByteArray& sender) = 0;
    // Copies the message text into buffer, at most length bytes and never
    // past the buffer's size.
    virtual void GetStringFromPtr(QByteArray& buffer, qint32 handle, qint32 length) = 0;

    // Non-zero: the base station accepted the name.
    virtual qint32 ChangeBaseNameAntenaFast(qint32 port, const QByteArray& name) = 0;

    // Base station operations. B_BaseGetStatus: 0 on failure; otherwise baud
    // holds the base station's rate and reply (200 characters, pre-filled)
    // its status record (a radio rate that is not a number stands in it as
    // the base station sent it).
    virtual qint32 B_BaseGetStatus(qint32 port, qint32& baud, QByteArray& reply) = 0;
    virtual void B_PutBaseUpload(qint32 port, qint32 baud) = 0;
    virtual void B_ClearBaseProgram(qint32 port, qint32 baud) = 0;
    // 1: success; any other value: failure.
    virtual qint32 B_ResetBaseProgram(qint32 port, qint32 baud) = 0;
    // The settings: 1 when the base station confirmed the request, 0
    // otherwise (no answer, refused, a bad value). B_SetBaseBaudRate2 moves
    // the link to newBaud only when it was confirmed.
    virtual qint32 B_SetBaseName(qint32 port, qint32 baud, const QByteArray& prefix, qint32 station,
                                 qint32 remote) = 0;
    virtual qint32 B_SetBaseRadio(qint32 port, qint32 baud, qint32 reserved1, qint32 radioBaud,
                                  qint32 reserved2) = 0;
    virtual qint32 B_SetBaseBaudRate2(qint32 port, qint32 oldBaud, qint32 newBaud) = 0;
    // mode: 0 for Serial, 1 for Radio.
    virtual qint32 B_SetSerialOrRadio(qint32 port, qint32 baud, qint32 mode) = 0;

    // From TCPIP_Start until TCPIP_Stop the base station is reached over TCP/IP.
    virtual void TCPIP_Start(const QByteArray& address) = 0;
    virtual void TCPIP_Stop() = 0;
    // Called once when the main window closes.
    virtual void StopAllProcesses() = 0;
};

}  // namespace quv
