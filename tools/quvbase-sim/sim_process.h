// Runs quvbase-sim as a child process for tests and benchmarks: starts it,
// learns where it listens, and collects the JSON lines it reports.
#pragma once

#include "core/event_pump.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

namespace quvsim {

class SimProcess {
  public:
    // Options for the emulator; an output folder of its own is added.
    explicit SimProcess(QStringList arguments);
    ~SimProcess();

    // Starts the emulator; false when it ends or does not say where it
    // listens within kStartMs.
    bool start();
    static constexpr int kStartMs = 20000;
    quint16 tcpPort() const { return tcpPort_; }
    QByteArray tcpAddress() const { return "127.0.0.1:" + QByteArray::number(tcpPort_); }
    // The pseudo-terminal the emulator offers, or its link when one was asked.
    QString ptyPath() const { return ptyPath_; }
    // How many times the emulator has said where it listens: once at the
    // start, and again for each pseudo-terminal that replaces a cut one.
    int listenings() const { return listenings_; }
    QString outDir() const { return dir_.path(); }
    QString configPath() const { return dir_.filePath(QStringLiteral("base.json")); }

    // A line on the emulator's standard input.
    void command(const QByteArray& line);
    // The reports with "event" equal to event, oldest first.
    QList<QJsonObject> reports(const QString& event) const;
    // Waits until there are at least count reports of the event.
    bool waitReports(const QString& event, int count, int timeoutMs);
    // Pumps events until done() holds or timeoutMs have passed; returns done().
    bool waitFor(const std::function<bool()>& done, int timeoutMs);
    // What the emulator wrote on its error output.
    QByteArray log() const { return log_; }
    // Ends the emulator by closing its input; true when it exits by itself
    // with 0 within kStartMs.
    bool stop();
    // Ends the emulator with SIGTERM; true when it exits with 0 within kStartMs.
    bool terminate();

  private:
    void readOutput();

    quv::QtEventPump pump_;
    QTemporaryDir dir_;
    QStringList arguments_;
    QProcess process_;
    QByteArray pendingOut_;
    QList<QJsonObject> reports_;
    QByteArray log_;
    quint16 tcpPort_ = 0;
    QString ptyPath_;
    int listenings_ = 0;
};

}  // namespace quvsim
