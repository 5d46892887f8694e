// The base station's status record: the first 25 characters of its reply to
// a status read, field by field, and the values shown when it does not answer.
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>

namespace quv {

struct BaseStatusRecord {
    static constexpr int kLength = 25;

    QByteArray Version;     // 3 characters: shown in the dialog's caption
    QByteArray LocalName;   // 5: prefix (3) and number (2) of the station on the link
    QByteArray RemoteName;  // 5: the remote base, in the same form
    QByteArray RadioBaud;   // 5: decimal text, shown as it stands
    QByteArray SerialBaud;  // 6: decimal text, blanks allowed around the digits
    char SendTo = '0';      // '0': all data to Serial; '1': to Radio

    // Cuts the fields out of a reply buffer; a shorter buffer reads as if
    // padded with blanks.
    static BaseStatusRecord fromReply(const QByteArray& reply);
    // What the dialog shows when the base station does not answer.
    static BaseStatusRecord defaults();

    // The serial baud rate as a number; nothing when the field holds no
    // whole positive number, so that the link never goes to 0 baud.
    std::optional<qint32> serialBaudRate() const;
};

}  // namespace quv
