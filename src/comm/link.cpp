#include "comm/link.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QSerialPort>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

#if defined(Q_OS_UNIX)
#include <sys/ioctl.h>
#endif
#if defined(Q_OS_LINUX)
#include <linux/sockios.h>
#endif

namespace quv {

namespace {
// Raw input that nobody reads is kept up to this size, then the oldest goes.
constexpr qsizetype kRawLimit = 16 * 1024 * 1024;
}  // namespace

std::unique_ptr<Link> Link::openSerial(const QString& device, qint32 baud, EventPump& pump) {
    if (device.isEmpty()) return nullptr;
    auto* port = new QSerialPort;
    port->setPortName(device);
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    port->setFlowControl(QSerialPort::NoFlowControl);
    if (baud > 0) port->setBaudRate(baud);
    if (!port->open(QIODevice::ReadWrite)) {
        delete port;
        return nullptr;
    }
    // What waits to be read from before is stale; what waits to be sent is
    // still on its way, and goes.
    port->clear(QSerialPort::Input);
    std::unique_ptr<Link> link(new Link(port, false, pump));
    link->baud_ = baud;
    QObject::connect(port, &QSerialPort::errorOccurred, link.get(),
                     [l = link.get()](QSerialPort::SerialPortError e) {
                         if (e != QSerialPort::NoError && e != QSerialPort::TimeoutError) l->fail();
                     });
    return link;
}

std::unique_ptr<Link> Link::openTcp(const QString& host, quint16 port, int timeoutMs,
                                    EventPump& pump) {
    if (host.isEmpty() || port == 0) return nullptr;
    auto* socket = new QTcpSocket;
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    bool failed = false;
    QObject::connect(socket, &QAbstractSocket::errorOccurred, socket,
                     [&failed](QAbstractSocket::SocketError) { failed = true; });
    socket->connectToHost(host, port);
    pumpUntil(
        pump, [&] { return failed || socket->state() == QAbstractSocket::ConnectedState; },
        timeoutMs);
    QObject::disconnect(socket, &QAbstractSocket::errorOccurred, socket, nullptr);
    if (socket->state() != QAbstractSocket::ConnectedState) {
        socket->abort();
        delete socket;
        return nullptr;
    }
    std::unique_ptr<Link> link(new Link(socket, true, pump));
    QObject::connect(socket, &QAbstractSocket::errorOccurred, link.get(),
                     [l = link.get()] { l->fail(); });
    QObject::connect(socket, &QAbstractSocket::disconnected, link.get(),
                     [l = link.get()] { l->fail(); });
    return link;
}

Link::Link(QIODevice* device, bool tcp, EventPump& pump) : device_(device), tcp_(tcp), pump_(pump) {
    device_->setParent(this);
    connect(device_, &QIODevice::readyRead, this, [this] { readAvailable(); });
}

Link::~Link() {
    if (auto* socket = qobject_cast<QTcpSocket*>(device_)) socket->abort();
    device_->close();
}

void Link::setBaud(qint32 baud) {
    if (auto* port = qobject_cast<QSerialPort*>(device_); port && baud > 0) {
        port->setBaudRate(baud);
        baud_ = baud;
    }
}

bool Link::send(const QByteArray& bytes) {
    if (broken_) return false;
    if (device_->write(bytes) != bytes.size()) {
        fail();
        return false;
    }
    return true;
}

bool Link::writeAll(const QByteArray& bytes, int stallMs,
                    const std::function<void(qint64)>& progress) {
    if (!send(bytes)) return false;
    // Ten bit times a byte: the bytes cannot have left any sooner.
    const qint64 lineMs = baud_ > 0 ? bytes.size() * 10000 / baud_ : 0;
    return waitSent(stallMs, lineMs, [&](qint64 left) {
        if (progress) progress(bytes.size() - std::min<qint64>(left, bytes.size()));
    });
}

qint64 Link::unsent() const {
    qint64 queued = device_->bytesToWrite();
    int system = 0;
#if defined(Q_OS_UNIX) && defined(TIOCOUTQ)
    if (auto* port = qobject_cast<QSerialPort*>(device_);
        port && ::ioctl(port->handle(), TIOCOUTQ, &system) == 0)
        queued += system;
#endif
#if defined(Q_OS_LINUX) && defined(SIOCOUTQ)
    if (auto* socket = qobject_cast<QTcpSocket*>(device_);
        socket && ::ioctl(static_cast<int>(socket->socketDescriptor()), SIOCOUTQ, &system) == 0)
        queued += system;
#endif
    return queued;
}

bool Link::waitSent(int stallMs, qint64 lineMs, const std::function<void(qint64)>& shrunk) {
    QPointer<Link> self(this);
    QElapsedTimer since;
    since.start();
    QElapsedTimer sinceMoved;
    sinceMoved.start();
    qint64 left = unsent();
    // The system's queue has no signal: it is read again on every pump.
    const auto done = [&] { return left == 0 && since.elapsed() >= lineMs; };
    while (!done()) {
        pumpUntil(
            pump_, [&] { return !self || broken_ || unsent() != left || done(); }, 50);
        if (!self || broken_) return false;
        const qint64 now = unsent();
        if (now != left) {
            left = now;
            sinceMoved.restart();
            if (shrunk) shrunk(left);
            if (!self || broken_) return false;
        } else if (pump_.closing() || (left > 0 && sinceMoved.elapsed() >= stallMs)) {
            return left == 0;
        }
    }
    return true;
}

QByteArray Link::takeRaw(qsizetype max) {
    const QByteArray out = raw_.left(max);
    raw_.remove(0, out.size());
    return out;
}

void Link::readAvailable() {
    const QByteArray bytes = device_->readAll();
    if (bytes.isEmpty()) return;
    if (framedHolds_ == 0) {
        raw_.append(bytes);
        if (raw_.size() > kRawLimit) raw_.remove(0, raw_.size() - kRawLimit);
        return;
    }
    QPointer<Link> self(this);
    decoder_.feed(bytes);
    FrameDecoder::Item item;
    while (self && decoder_.next(item))
        if (onFrame) onFrame(item);
}

void Link::fail() {
    if (broken_) return;
    broken_ = true;
    // The device is closed once its own signal handling is over.
    QTimer::singleShot(0, this, [this] { device_->close(); });
    if (onBroken) onBroken();
}

}  // namespace quv
