// The Base Configuration dialog as a value: the text, visibility and enabling
// of every control, the check box, the caption and the change flags, with the
// rules that run when a field changes or an item is picked. The dialog only
// shows this value and reports the user's edits to it.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>

namespace quv {

class BaseForm {
  public:
    // The controls, row by row from the top; the lines last.
    enum Id {
        Label10,  // "ComPort"
        Compport,
        Label7,  // "Serial BaudRate"
        Combo2,
        Label6,  // "Radio BaudRate"
        Combo1,
        TCPIP_Check,
        TCPIP_Text,
        Label1,  // name prefix
        Text1,
        Label4,  // the composed local name
        Label2,  // number of the station on the link
        Text2,
        Label12,  // "Local Antena"
        Label9,   // "Send all Data to"
        Label3,   // "Base Number"
        Text3,
        Label5,   // the composed remote name
        Label11,  // "Remote Antena"
        Label8,   // "Send to"
        Combo3,
        Line1,
        Line2,
        Line3,
        Line6,
        Line8,
        kControlCount
    };

    struct Control {
        QString text;
        bool visible = true;
        bool enabled = true;
    };

    // What the write must send; they belong to the dialog and survive its
    // closing.
    struct Flags {
        bool ComunicationError = false;
        bool BaseNameChanged = false;
        bool RadioBaudRateChanged = false;
        bool SerialBaudRateChanged = false;
        bool SerialOrRadioChanged = false;
    };

    inline static const QString kCaption = QStringLiteral("Base Configuration");
    inline static const QString kSerial = QStringLiteral("Serial");
    inline static const QString kRadio = QStringLiteral("Radio");

    BaseForm() { reload(); }

    // The contents the dialog has when it is loaded; the flags stay.
    void reload();

    const Control& operator[](Id id) const { return controls_.at(static_cast<size_t>(id)); }
    QString text(Id id) const { return (*this)[id].text; }
    // The list of a combo box, and the length limit of a text box (0: none).
    static QStringList list(Id id);
    static int maxLength(Id id);
    // The control's name: "Label10", "Compport", ...
    static const char* name(Id id);

    // A field gets a new text, typed by the user or set by the read; the
    // field's rule runs when the text changes.
    void setText(Id id, const QString& text);
    // An item is picked from a combo box's list (for Compport the caller
    // tests the port afterwards).
    void pick(Id id, const QString& text);
    // The check box's value: 1 checked, 0 not. The enabling rule runs when
    // it changes.
    qint32 checkValue() const { return check_; }
    void setCheckValue(qint32 value);

    // Value 1: the address is enabled and the port and serial rate are not;
    // any other value: the other way round.
    void TcpipEnablingRule();
    // Marks the send-to choice as changed and shows the Serial layout (one
    // station) or the Radio layout (a retransmitter and a remote base).
    void ShowSendToFields();
    // Label4 and Label5 from the prefix and the two numbers.
    void recomposeNames();
    // The last two characters of "00" followed by the text.
    static QString padded(const QString& number);

    // Used by the read, which sets these without running a field's rule.
    void setPlain(Id id, const QString& text) { at(id).text = text; }
    void setEnabled(Id id, bool enabled) { at(id).enabled = enabled; }

    QString caption;
    Flags flags;
    // The remote base's number as the last read gave it: the write sends it
    // while its field is hidden or disabled.
    QString remoteAsRead;

  private:
    Control& at(Id id) { return controls_.at(static_cast<size_t>(id)); }
    void showControls(std::initializer_list<Id> ids, bool visible);
    void changed(Id id);

    std::array<Control, kControlCount> controls_;
    qint32 check_ = 0;
};

}  // namespace quv
