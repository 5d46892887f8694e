// The link and base station operations behind the Serial Configurations and
// Base Configuration dialogs: the port test, the TCP/IP switch, the status
// read, the ordered write and the clear. They run one at a time: the library
// pumps events while it waits, so a second click can arrive meanwhile.
#pragma once

#include "baseconfig/base_form.h"
#include "core/dialogs.h"
#include "core/link_state.h"
#include "core/one_at_a_time.h"

#include <QString>
#include <QtGlobal>

#include <functional>

namespace quv {

class QuvCom;
class SettingsStore;
struct LinkState;

// The contents of the Serial Configurations dialog.
struct SerialForm {
    QString Compport = QStringLiteral("Com1");
    qint32 TCPIP_Check = 0;
    QString TCPIP_Text;
    // The serial device the port number stands for ("ComDevice<n>"), as
    // picked or typed.
    QString device;
    // The enabling rule: the port box, its label and the device follow the
    // check box; the address stays enabled.
    bool portEnabled() const { return TCPIP_Check != 1; }
};

class BaseCommands {
  public:
    // The serial device that a COM port number stands for.
    using DeviceOfPort = std::function<QString(qint32 port)>;
    // What the dialog does once a command is done.
    enum class After { StayOpen, Close };
    enum class ReadResult { Busy, PortFailed, Answered, Defaults };

    inline static const QString& kErrorOpeningComPort = quv::kErrorOpeningComPort;
    inline static const QString& kErrorOpeningIp = quv::kErrorOpeningIp;
    inline static const QString kErrorReading =
        QStringLiteral("Error reading information from base, starting with default values.");
    inline static const QString kUpdateSuccessful = QStringLiteral("Update sucessful !");
    inline static const QString kCommunicationError = QStringLiteral("Comunication error");
    inline static const QString kClearQuestion =
        QStringLiteral("The will clear the base program. Are you sure?");

    BaseCommands(QuvCom& com, Dialogs& dialogs, SettingsStore& settings, LinkState& link,
                 DeviceOfPort deviceOfPort);

    // While an upload runs, the text that says what runs and how to stop
    // it; empty otherwise. No command talks to the base station meanwhile.
    std::function<QString()> runningUpload;
    // Tells what upload runs, and true, while one runs.
    bool refusedForUpload();

    // A command is running (inside it, the library waits and pumps events).
    bool busy() const { return guard_.running(); }
    QString deviceOfPort(qint32 port) const { return deviceOfPort_(port); }

    // The Serial Configurations dialog: its contents on loading, the device
    // that follows a new port text, and "Update".
    SerialForm loadSerialForm() const;
    void portTextChanged(SerialForm& form) const;
    After Update(SerialForm& form);

    // Before a base operation: the TCP/IP link when the setting "TCPIP" is
    // 1, the COM port otherwise.
    void PrepareLink();
    // An item picked in the Base Configuration dialog's port box: the port
    // is tested, then adopted or the previous port shown again.
    void SelectComPort(BaseForm& form);

    // Fills the form from the base station's status record, or with the
    // defaults when it does not answer.
    ReadResult ReadBaseConfiguration(BaseForm& form);
    // "Read configurations from base": the link settings are saved first.
    ReadResult Command3_Click(BaseForm& form);
    // "Write configurations to base": the changed settings in their fixed
    // order, then the reset; a setting the base station does not confirm
    // ends the write with "Comunication error". A number field that the
    // write needs and that holds no valid number refuses the write before
    // anything is sent.
    After WriteBaseConfiguration(BaseForm& form);
    // "Clear Base Program", after the question.
    After ClearBaseProgram();

  private:
    // Shows a message, unless the program is closing: nobody is left to
    // read it then, and a question is answered No.
    Answer tell(const QString& text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None);
    void saveLinkChoice(qint32 check, const QString& address);
    ReadResult read(BaseForm& form);

    QuvCom& com_;
    Dialogs& dialogs_;
    SettingsStore& settings_;
    LinkState& link_;
    DeviceOfPort deviceOfPort_;
    OneAtATime guard_;
};

}  // namespace quv
