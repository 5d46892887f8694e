// The link state shared by the whole program: port, rate, and two flags.
#pragma once

#include "core/settings_keys.h"

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

}  // namespace quv
