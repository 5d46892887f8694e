// The clock: the date and the time of day that the user sees, and the
// monotonic time on which every interval is measured.
#pragma once

#include <QDate>

namespace quv {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
    // Seconds since midnight, with fractions: only for showing.
    virtual double timeOfDay() const = 0;
    // Seconds from a fixed point in the past, with fractions. It never goes
    // back and never jumps with a change of the time of day.
    virtual double monotonic() const = 0;
};

class SystemClock : public Clock {
  public:
    QDate today() const override;
    double timeOfDay() const override;
    double monotonic() const override;
};

}  // namespace quv
