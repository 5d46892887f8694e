// The serial device a COM port number stands for, and the TCP/IP link that
// the settings may choose instead.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace quv {

class SettingsStore;

// The setting "ComDevice<n>" when it is there (a device such as /dev/ttyUSB0),
// otherwise COMn on Windows and /dev/ttyS(n-1) elsewhere; empty for a port
// below 1 without a setting.
QString comDevice(const SettingsStore& settings, qint32 port);

// The setting "TCPIP" is 1: the base station is reached over TCP/IP at the
// address "TCPIPAddr".
bool tcpipChosen(const SettingsStore& settings);
QByteArray tcpipAddress(const SettingsStore& settings);

}  // namespace quv
