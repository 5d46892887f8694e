#include "comm/link.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QSerialPort>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

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
    port->clear(QSerialPort::AllDirections);  // what waited from before is stale
    std::unique_ptr<Link> link(new Link(port, false, pump));
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
    if (auto* port = qobject_cast<QSerialPort*>(device_); port && baud > 0) port->setBaudRate(baud);
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
    QPointer<Link> self(this);
    qint64 left = device_->bytesToWrite();
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    for (;;) {
        if (left == 0) return true;
        const bool moved = pumpUntil(
            pump_, [&] { return !self || broken_ || device_->bytesToWrite() != left; }, 50);
        if (!self || broken_) return false;
        if (!moved && pump_.closing()) return false;
        if (moved) {
            left = device_->bytesToWrite();
            sinceProgress.restart();
            if (progress) progress(bytes.size() - std::min<qint64>(left, bytes.size()));
            if (!self || broken_) return false;
        } else if (sinceProgress.elapsed() >= stallMs) {
            return false;
        }
    }
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
