#include "core/clock.h"

#include <QDateTime>
#include <QElapsedTimer>

namespace quv {

QDate SystemClock::today() const {
    return QDate::currentDate();
}

double SystemClock::timeOfDay() const {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

double SystemClock::monotonic() const {
    // The system's monotonic clock, counted from its own start (the boot).
    QElapsedTimer now;
    now.start();
    return static_cast<double>(now.msecsSinceReference()) / 1000.0;
}

}  // namespace quv
