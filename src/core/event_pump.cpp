#include "core/event_pump.h"

#include "core/clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace quv {

namespace {
// The longest a pump waits for an event before it hands back to the loop
// that called it.
constexpr int kWakeMs = 5;
}  // namespace

void QtEventPump::pumpOnce() {
    QTimer wake;
    wake.setTimerType(Qt::PreciseTimer);
    wake.setSingleShot(true);
    wake.start(kWakeMs);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

bool pumpUntil(EventPump& pump, const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (pump.closing() || clock.elapsed() >= timeoutMs) return done();
        pump.pumpOnce();
    }
    return true;
}

bool pumpFor(EventPump& pump, const Clock& clock, double seconds,
             const std::function<bool()>& stop) {
    const double from = clock.monotonic();
    while (clock.monotonic() - from < seconds) {
        if (pump.closing() || (stop && stop())) return false;
        pump.pumpOnce();
    }
    return true;
}

}  // namespace quv
