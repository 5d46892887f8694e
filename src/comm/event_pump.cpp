#include "comm/event_pump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace quv {

bool pumpUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    // Wakes the wait below at least this often, so the deadline is kept
    // even when nothing else happens.
    QTimer wake;
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(5);
    while (!done()) {
        if (clock.elapsed() >= timeoutMs) return done();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

}  // namespace quv
