// The link state shared by the whole program: port, rate, and two flags.
#pragma once

#include "core/settings_keys.h"

#include <QString>
#include <QtGlobal>

namespace quv {

struct LinkState {
    qint32 CommPort = keys::kDefaultCommPort;
    qint32 BaudRate = keys::kDefaultBaudRate;
    // The base station's status has been read since the last activation.
    bool BaseStatusKnown = false;
    // Set once when the main window starts to close; upload loops stop on it.
    bool AppClosing = false;
};

// What the uploads and the link dialogs say when the port or the TCP/IP link
// cannot be opened.
inline const QString kErrorOpeningComPort = QStringLiteral("Error Opening ComPort");
inline const QString kErrorOpeningIp = QStringLiteral("Error Opening IP Connection");
inline const QString& errorOpeningLink(bool overTcpip) {
    return overTcpip ? kErrorOpeningIp : kErrorOpeningComPort;
}

}  // namespace quv
