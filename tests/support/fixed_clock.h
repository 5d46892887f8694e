// A clock that stands still until a test moves it; sleeping moves it. The
// time of day starts again at midnight, as the real one does.
#pragma once

#include "core/clock.h"

#include <QList>

#include <cmath>

namespace quv::test {

class FixedClock : public Clock {
  public:
    QDate date{2026, 12, 6};
    // Seconds since the start of the date above; may run past midnight.
    double seconds = 36000.0;
    // Every sleep, in milliseconds, in order.
    QList<int> sleeps;
    QDate today() const override { return date; }
    double timeOfDay() const override { return std::fmod(seconds, 86400.0); }
    void sleepMs(int ms) override {
        sleeps << ms;
        seconds += ms / 1000.0;
    }
};

}  // namespace quv::test
