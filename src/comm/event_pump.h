// Waiting on the user-interface thread without freezing it.
#pragma once

#include <functional>

namespace quv {

// Pumps the caller's event loop until done() holds or timeoutMs has passed;
// returns done(). Timers, sockets and serial ports keep running meanwhile.
bool pumpUntil(const std::function<bool()>& done, int timeoutMs);

}  // namespace quv
