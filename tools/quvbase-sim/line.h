// A line from the host to the emulated base station: bytes cross it at the
// paced speed in each direction, and the faults asked for happen on it.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QSocketNotifier;
class QTcpSocket;

namespace quvsim {

// Faults for the whole run, counted over the bytes of every line; each one
// happens once. A negative count means never.
struct Faults {
    qint64 dropAfter = -1;    // cut the line after this many bytes received
    qint64 corruptIn = -1;    // damage the received byte with this number (from 1)
    qint64 corruptOut = -1;   // damage the sent byte with this number (from 1)
    qint64 silentAfter = -1;  // stop answering after this many bytes received
    qint64 bytesIn = 0;
    qint64 bytesOut = 0;
    bool dropped = false;
    bool silent = false;
};

// Bytes waiting to cross the line in one direction, and how many of them
// the line's speed lets through so far.
struct PacedQueue {
    QByteArray bytes;
    QElapsedTimer since;  // since the line got busy in this direction
    qint64 used = 0;

    void push(const QByteArray& more);
    // How many bytes may cross now at baud (all of them when baud is 0).
    qint64 allowance(qint32 baud) const;
    QByteArray take(qint64 n);
};

class Line : public QObject {
  public:
    Line(QString name, qint32 baud, Faults& faults);
    ~Line() override;

    const QString& name() const { return name_; }
    // Queues bytes for the host; they leave at the paced speed.
    void send(const QByteArray& bytes);
    bool closed() const { return closed_; }
    // Cuts the line now, as a fault would.
    void drop();

    // Bytes that have crossed the line from the host, in order.
    std::function<void(const QByteArray&)> onBytes;
    // The line is gone and everything it carried has been handed on. The
    // handler may delete the line only through deleteLater.
    std::function<void()> onClosed;

  protected:
    // For the device side: bytes that arrived, and the end of the device.
    void arrived(const QByteArray& bytes);
    void deviceGone();
    // Hands bytes to the device; returns how many it took (0 when full).
    virtual qint64 writeDevice(const char* data, qint64 size) = 0;
    // Cuts the device off at once.
    virtual void cut() = 0;
    // How many more bytes the line takes from the device now: on a paced
    // line a short read-ahead, so that the rest waits in the device and holds
    // the writer back; everything otherwise.
    qint64 room() const;
    // The line has room again.
    virtual void wantBytes() {}

  private:
    void tick();
    void keepTicking();
    void admit();
    void emitOut();

    QString name_;
    qint32 baud_;
    Faults& faults_;
    QTimer ticker_;
    PacedQueue in_;
    PacedQueue out_;
    bool deviceGone_ = false;
    bool closed_ = false;
};

class TcpLine : public Line {
  public:
    TcpLine(QTcpSocket* socket, qint32 baud, Faults& faults);

  protected:
    qint64 writeDevice(const char* data, qint64 size) override;
    void cut() override;

  private:
    QTcpSocket* socket_;
};

// The master side of a pseudo-terminal; the host opens its slave device.
class PtyLine : public Line {
  public:
    // nullptr when no pseudo-terminal can be made.
    static PtyLine* create(qint32 baud, Faults& faults);
    ~PtyLine() override;
    const QString& devicePath() const { return path_; }

  protected:
    qint64 writeDevice(const char* data, qint64 size) override;
    void cut() override;
    void wantBytes() override;

  private:
    PtyLine(int master, int slave, QString path, qint32 baud, Faults& faults);
    void readMaster();
    void closeFds();

    int master_;
    int slave_;  // held open so that the line stays up while the host has it closed
    QString path_;
    QSocketNotifier* notifier_;
};

}  // namespace quvsim
