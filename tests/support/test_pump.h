// An event pump for tests: each pump runs the pending events, moves the test
// clock on by one step, and then runs the scripted steps that are due, so
// that a test drives any wait to its end without a display.
#pragma once

#include "core/event_pump.h"
#include "support/fixed_clock.h"

#include <QCoreApplication>

#include <functional>
#include <vector>

namespace quv::test {

class TestPump : public EventPump {
  public:
    explicit TestPump(FixedClock& clock, const bool* closingFlag = nullptr)
        : clock_(clock), closing_(closingFlag) {}

    // How far the clock moves at each pump.
    static constexpr double kStepSeconds = 0.05;

    // Runs the step at the first pump that brings the clock to at least
    // this many seconds from now.
    void after(double seconds, std::function<void()> step) {
        steps_.push_back({clock_.seconds + seconds, std::move(step)});
    }
    // Runs the step at the next pump.
    void next(std::function<void()> step) { after(0, std::move(step)); }
    // The program closes: every wait ends.
    void close() { closed_ = true; }

    void pumpOnce() override {
        QCoreApplication::processEvents();
        clock_.seconds += kStepSeconds;
        // Steps may schedule further steps; those wait for a later pump.
        std::vector<Step> due;
        for (auto it = steps_.begin(); it != steps_.end();) {
            if (it->at <= clock_.seconds) {
                due.push_back(std::move(*it));
                it = steps_.erase(it);
            } else {
                ++it;
            }
        }
        for (Step& step : due) step.run();
    }
    bool closing() const override { return closed_ || (closing_ && *closing_); }

  private:
    struct Step {
        double at;
        std::function<void()> run;
    };
    FixedClock& clock_;
    const bool* closing_;
    bool closed_ = false;
    std::vector<Step> steps_;
};

}  // namespace quv::test
