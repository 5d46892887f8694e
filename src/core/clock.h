// The clock: the date, the time of day, and waiting.
#pragma once

#include <QDate>

namespace quv {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
    // Seconds since midnight, with fractions.
    virtual double timeOfDay() const = 0;
    virtual void sleepMs(int ms) = 0;
};

class SystemClock : public Clock {
  public:
    QDate today() const override;
    double timeOfDay() const override;
    void sleepMs(int ms) override;
};

}  // namespace quv
