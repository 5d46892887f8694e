#include "sim_process.h"

#include "core/event_pump.h"

#include <QJsonDocument>

namespace quvsim {

SimProcess::SimProcess(QStringList arguments) : arguments_(std::move(arguments)) {
    arguments_ << QStringLiteral("--out") << dir_.path();
    QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] { readOutput(); });
    QObject::connect(&process_, &QProcess::readyReadStandardError,
                     [this] { log_.append(process_.readAllStandardError()); });
}

SimProcess::~SimProcess() {
    if (process_.state() != QProcess::NotRunning && !stop()) {
        process_.kill();
        process_.waitForFinished(kStartMs);
    }
}

bool SimProcess::start() {
    process_.start(QStringLiteral(QUV_SIM_EXECUTABLE), arguments_);
    if (!process_.waitForStarted(kStartMs)) return false;
    waitFor([this] { return listenings_ > 0 || process_.state() == QProcess::NotRunning; },
            kStartMs);
    return listenings_ > 0;
}

void SimProcess::command(const QByteArray& line) {
    process_.write(line + '\n');
}

QList<QJsonObject> SimProcess::reports(const QString& event) const {
    QList<QJsonObject> out;
    for (const QJsonObject& o : reports_)
        if (o.value(QStringLiteral("event")).toString() == event) out << o;
    return out;
}

bool SimProcess::waitReports(const QString& event, int count, int timeoutMs) {
    return waitFor([&] { return reports(event).size() >= count; }, timeoutMs);
}

bool SimProcess::waitFor(const std::function<bool()>& done, int timeoutMs) {
    return quv::pumpUntil(pump_, done, timeoutMs);
}

bool SimProcess::stop() {
    process_.closeWriteChannel();
    if (!process_.waitForFinished(kStartMs)) return false;
    readOutput();
    return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
}

bool SimProcess::terminate() {
    process_.terminate();
    if (!process_.waitForFinished(kStartMs)) return false;
    return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
}

void SimProcess::readOutput() {
    pendingOut_.append(process_.readAllStandardOutput());
    qsizetype eol;
    while ((eol = pendingOut_.indexOf('\n')) >= 0) {
        const QByteArray line = pendingOut_.left(eol);
        pendingOut_.remove(0, eol + 1);
        if (line.startsWith("listening")) {
            ++listenings_;
            for (const QByteArray& part : line.split(' ')) {
                if (part.startsWith("tcp="))
                    tcpPort_ = part.mid(part.lastIndexOf(':') + 1).toUShort();
                if (part.startsWith("pty=")) ptyPath_ = QString::fromLocal8Bit(part.mid(4));
                if (part.startsWith("link=")) ptyPath_ = QString::fromLocal8Bit(part.mid(5));
            }
            continue;
        }
        const QJsonDocument doc = QJsonDocument::fromJson(line);
        if (doc.isObject()) reports_ << doc.object();
    }
}

}  // namespace quvsim
