// What the benchmarks share: a document that is always saved, and the probe
// of the longest time the event loop did not run.
#pragma once

#include "core/current_document.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <ctime>

namespace quv::bench {

struct Document : CurrentDocument {
    QString name;
    QString fileName() const override { return name; }
    bool changed() const override { return false; }
    bool askToSave() override { return true; }
    bool save() override { return true; }
    bool open(const QString&) override { return false; }
};

// The longest time the event loop did not run: a 1 ms timer whose longest
// gap between two ticks is kept (the gap holds the 1 ms of the timer too),
// and the most processor time the program spent in one gap, its own work:
// the rest of a gap is the system not running the program.
class StallProbe {
  public:
    StallProbe() {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] { lap(); });
        since_.start();
        cpuAtLap_ = cpuNs();
        timer_.start(1);
    }
    struct Stall {
        double longestMs;
        double busiestMs;
    };
    // Since the probe began.
    Stall stall() {
        lap();
        return {static_cast<double>(longestNs_) / 1e6, static_cast<double>(busiestNs_) / 1e6};
    }

  private:
    static qint64 cpuNs() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return qint64{t.tv_sec} * 1000000000 + t.tv_nsec;
    }
    void lap() {
        const qint64 cpu = cpuNs();
        longestNs_ = std::max(longestNs_, since_.nsecsElapsed());
        busiestNs_ = std::max(busiestNs_, cpu - cpuAtLap_);
        since_.restart();
        cpuAtLap_ = cpu;
    }
    QTimer timer_;
    QElapsedTimer since_;
    qint64 cpuAtLap_ = 0;
    qint64 longestNs_ = 0;
    qint64 busiestNs_ = 0;
};

}  // namespace quv::bench
