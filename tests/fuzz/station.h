// The emulated base station on a line that the fuzz input feeds: what the
// station sends back is kept for the checks.
#pragma once

#include "base_station.h"
#include "fuzz.h"
#include "line.h"

#include <QTemporaryDir>

namespace fuzz {

class FeedLine : public quvsim::Line {
  public:
    FeedLine() : Line(QStringLiteral("fuzz"), 0, faults_) {}
    using Line::arrived;
    QByteArray sent;

  protected:
    qint64 writeDevice(const char* data, qint64 size) override {
        sent.append(data, size);
        return size;
    }
    void cut() override {}

  private:
    quvsim::Faults faults_;
};

// A station with two terminals, its files in a folder of its own; the line
// belongs to the station.
struct Station {
    QTemporaryDir dir;
    quvsim::BaseStation base{options(dir), [](const QByteArray&) {}, [](const QString&) {}};
    FeedLine* line = new FeedLine;
    Station() { base.addLine(line); }
    static quvsim::BaseStation::Options options(const QTemporaryDir& dir) {
        quvsim::BaseStation::Options o;
        o.configPath = dir.filePath("base.json");
        o.outDir = dir.path();
        o.terminals = {"TERM0001", "TERM0002"};
        return o;
    }
};

}  // namespace fuzz
