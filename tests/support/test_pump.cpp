#include "support/test_pump.h"

#include <QCoreApplication>

namespace quv::test {

void TestPump::pumpOnce() {
    ++pumps;
    QCoreApplication::processEvents();
    clock_.seconds += stepSeconds;
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

}  // namespace quv::test
