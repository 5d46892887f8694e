// The serial device a COM port number stands for.
#pragma once

#include <QString>
#include <QtGlobal>

namespace quv {

class SettingsStore;

// The setting "ComDevice<n>" when it is there (a device such as /dev/ttyUSB0),
// otherwise COMn on Windows and /dev/ttyS(n-1) elsewhere; empty for a port
// below 1 without a setting.
QString comDevice(const SettingsStore& settings, qint32 port);

}  // namespace quv
