// One open line to a base station or a terminal, over a serial device or a
// TCP connection: raw bytes in and out, or frames through a FrameDecoder.
// Every wait pumps the given EventPump and ends when the program closes.
#pragma once

#include "comm/frame.h"
#include "core/event_pump.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QIODevice;

namespace quv {

class Link : public QObject {
  public:
    // nullptr when the device cannot be opened.
    static std::unique_ptr<Link> openSerial(const QString& device, qint32 baud, EventPump& pump);
    // nullptr when no connection is made within timeoutMs.
    static std::unique_ptr<Link> openTcp(const QString& host, quint16 port, int timeoutMs,
                                         EventPump& pump);
    ~Link() override;

    bool isTcp() const { return tcp_; }
    // The line has failed (device gone, connection closed); it stays failed.
    bool broken() const { return broken_; }
    void setBaud(qint32 baud);

    // Queues bytes for the line without waiting; false when the line failed.
    bool send(const QByteArray& bytes);
    // Writes bytes and waits until they have left the port: Qt's buffer and
    // the system's output queue are empty, and on a serial line no sooner
    // than its rate can carry them. False when the line fails, no byte
    // leaves for stallMs or the program closes. progress gets the count
    // that has left so far.
    bool writeAll(const QByteArray& bytes, int stallMs,
                  const std::function<void(qint64)>& progress);

    // While at least one hold is placed, arriving bytes go to the frame
    // decoder; otherwise they wait in the raw input for takeRaw.
    void holdFramed() { ++framedHolds_; }
    void releaseFramed() {
        if (framedHolds_ > 0) --framedHolds_;
    }
    qsizetype rawAvailable() const { return raw_.size(); }
    QByteArray takeRaw(qsizetype max);

    // Called for every frame decoded, and once when the line fails. Neither
    // may delete the link.
    std::function<void(const FrameDecoder::Item&)> onFrame;
    std::function<void()> onBroken;

  private:
    Link(QIODevice* device, bool tcp, EventPump& pump);
    void readAvailable();
    void fail();
    // Bytes queued and not yet sent, by Qt and by the system.
    qint64 unsent() const;
    // Pumps until nothing is unsent and lineMs have passed since the wait
    // began; shrunk gets the count still unsent whenever it changes.
    bool waitSent(int stallMs, qint64 lineMs, const std::function<void(qint64 left)>& shrunk);

    QIODevice* device_;
    bool tcp_;
    qint32 baud_ = 0;  // of a serial line
    EventPump& pump_;
    bool broken_ = false;
    int framedHolds_ = 0;
    QByteArray raw_;
    FrameDecoder decoder_;
};

}  // namespace quv
