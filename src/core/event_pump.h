// The one way a command waits: it pumps pending events through this seam,
// and every wait ends when the program closes.
#pragma once

#include <functional>

namespace quv {

class Clock;

class EventPump {
  public:
    virtual ~EventPump() = default;
    // Runs the pending events, waiting a few milliseconds for one when none
    // is pending, so that a wait loop does not spin.
    virtual void pumpOnce() = 0;
    // The program has begun to close: every wait ends at once.
    virtual bool closing() const = 0;
};

// The running program's own event loop. closing() follows the flag it is
// given (AppClosing, set when the main window begins to close); without one
// it never closes.
class QtEventPump : public EventPump {
  public:
    explicit QtEventPump(const bool* closingFlag = nullptr) : closing_(closingFlag) {}
    void pumpOnce() override;
    bool closing() const override { return closing_ && *closing_; }

  private:
    const bool* closing_;
};

// Pumps until done() holds, the program closes, or timeoutMs of real time
// have passed; returns done(). Timers, sockets and serial ports keep running
// meanwhile.
bool pumpUntil(EventPump& pump, const std::function<bool()>& done, int timeoutMs);

// Pumps for this many seconds of the clock's monotonic time, ending earlier
// when stop() holds or the program closes; true when the whole time passed.
bool pumpFor(EventPump& pump, const Clock& clock, double seconds,
             const std::function<bool()>& stop = {});

}  // namespace quv
