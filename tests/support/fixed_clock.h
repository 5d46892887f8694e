// A clock that stands still until a test moves it. The time of day starts
// again at midnight, as the real one does, and a clock change shifts it;
// the monotonic time is the seconds alone.
#pragma once

#include "core/clock.h"

#include <cmath>

namespace quv::test {

class FixedClock : public Clock {
  public:
    QDate date{2026, 12, 6};
    // Seconds since the start of the date above; may run past midnight.
    double seconds = 36000.0;
    // What a change of the time of day (daylight saving, a time sync) adds.
    double dayShift = 0;
    QDate today() const override { return date; }
    double timeOfDay() const override { return std::fmod(seconds + dayShift, 86400.0); }
    double monotonic() const override { return seconds; }
};

}  // namespace quv::test
