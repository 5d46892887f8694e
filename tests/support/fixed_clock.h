// A clock that stands still until a test moves it; sleeping moves it.
#pragma once

#include "app/clock.h"

namespace quv::test {

class FixedClock : public Clock {
  public:
    QDate date{2026, 12, 6};
    double seconds = 36000.0;
    QDate today() const override { return date; }
    double timeOfDay() const override { return seconds; }
    void sleepMs(int ms) override { seconds += ms / 1000.0; }
};

}  // namespace quv::test
