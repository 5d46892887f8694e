#include "core/clock.h"

#include <QDateTime>
#include <QThread>

namespace quv {

QDate SystemClock::today() const {
    return QDate::currentDate();
}

double SystemClock::timeOfDay() const {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

void SystemClock::sleepMs(int ms) {
    if (ms > 0) QThread::msleep(static_cast<unsigned long>(ms));
}

}  // namespace quv
