// A communication library that records every call and answers from a script.
#pragma once

#include "comm/quvcom.h"

#include <QHash>
#include <QList>
#include <QStringList>

namespace quv::test {

class RecordingCom : public QuvCom {
  public:
    // Every call as "Name(arg, arg, ...)"; byte arguments are shown as text.
    QStringList calls;
    // Results by operation name; an operation without one returns 1.
    QHash<QString, qint32> results;
    // What B_BaseGetStatus writes into its reply buffer and baud argument.
    QByteArray statusRecord;
    qint32 statusBaud = 0;
    // Messages that Get_Message hands out, oldest first: sender, text.
    QList<QPair<QByteArray, QByteArray>> messages;
    // What IO_Read delivers, one call at a time.
    QByteArray readData;
    EventRoutine routine;

    qint32 InitializeComm(qint32 port, qint32 baud) override;
    void TerminateComm(qint32 port) override;
    qint32 IO_Open(qint32 port, qint32 baud) override;
    void IO_Close(qint32 port) override;
    // Returns the count unless a result is scripted.
    qint32 IO_Write(qint32 port, qint32 count, const QByteArray& data) override;
    qint32 IO_Read(qint32 port, qint32 count, QByteArray& buffer, qint32 timeoutMs) override;
    void BackGetEvent(EventRoutine routine) override;
    void BackSendMessage(const QByteArray& destination, const QByteArray& data,
                         qint32 count) override;
    void Send_Message_Without_Confirmation_ombrex(qint32 port, const QByteArray& tag,
                                                  const QByteArray& data, qint32 count, qint32 mode,
                                                  qint32 timeout) override;
    qint32 Get_Message(qint32& handle, qint32 maxLength, qint32 flags, QByteArray& sender) override;
    void GetStringFromPtr(QByteArray& buffer, qint32 handle, qint32 length) override;
    qint32 ChangeBaseNameAntenaFast(qint32 port, const QByteArray& name) override;
    qint32 B_BaseGetStatus(qint32 port, qint32& baud, QByteArray& reply) override;
    void B_PutBaseUpload(qint32 port, qint32 baud) override;
    void B_ClearBaseProgram(qint32 port, qint32 baud) override;
    qint32 B_ResetBaseProgram(qint32 port, qint32 baud) override;
    void B_SetBaseName(qint32 port, qint32 baud, const QByteArray& prefix, qint32 station,
                       qint32 remote) override;
    void B_SetBaseRadio(qint32 port, qint32 baud, qint32 reserved1, qint32 radioBaud,
                        qint32 reserved2) override;
    void B_SetBaseBaudRate2(qint32 port, qint32 oldBaud, qint32 newBaud) override;
    void B_SetSerialOrRadio(qint32 port, qint32 baud, qint32 mode) override;
    void TCPIP_Start(const QByteArray& address) override;
    void TCPIP_Stop() override;
    void StopAllProcesses() override;

    // The calls whose name is one of these, in order.
    QStringList callsNamed(const QStringList& names) const;

  private:
    qint32 result(const QString& name) const { return results.value(name, 1); }
    void record(const QString& name, const QStringList& args = {});
    QList<QByteArray> delivered_;
};

}  // namespace quv::test
