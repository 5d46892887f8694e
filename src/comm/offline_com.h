// A communication library with no link behind it: every operation fails.
#pragma once

#include "comm/quvcom.h"

namespace quv {

class OfflineCom : public QuvCom {
public:
    qint32 InitializeComm(qint32, qint32) override { return 0; }
    void TerminateComm(qint32) override {}
    qint32 IO_Open(qint32, qint32) override { return 0; }
    void IO_Close(qint32) override {}
    void IO_Write(qint32, qint32, const QByteArray&) override {}
    qint32 IO_Read(qint32, qint32, QByteArray&, qint32) override { return 0; }
    void BackGetEvent(EventRoutine) override {}
    void BackSendMessage(const QByteArray&, const QByteArray&, qint32) override {}
    void Send_Message_Without_Confirmation_ombrex(qint32, const QByteArray&, const QByteArray&,
                                                  qint32, qint32, qint32) override {}
    qint32 Get_Message(qint32&, qint32, qint32, QByteArray&) override { return 0; }
    void GetStringFromPtr(QByteArray&, qint32, qint32) override {}
    qint32 ChangeBaseNameAntenaFast(qint32, const QByteArray&) override { return 0; }
    qint32 B_BaseGetStatus(qint32, qint32&, QByteArray&) override { return 0; }
    void B_PutBaseUpload(qint32, qint32) override {}
    void B_ClearBaseProgram(qint32, qint32) override {}
    qint32 B_ResetBaseProgram(qint32, qint32) override { return 0; }
    void B_SetBaseName(qint32, qint32, const QByteArray&, qint32, qint32) override {}
    void B_SetBaseRadio(qint32, qint32, qint32, qint32, qint32) override {}
    void B_SetBaseBaudRate2(qint32, qint32, qint32) override {}
    void B_SetSerialOrRadio(qint32, qint32, qint32) override {}
    void TCPIP_Start(const QByteArray&) override {}
    void TCPIP_Stop() override {}
    void StopAllProcesses() override {}
};

}  // namespace quv
