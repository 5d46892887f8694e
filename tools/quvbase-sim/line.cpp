#include "line.h"

#include <QSocketNotifier>
#include <QTcpSocket>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <limits>

namespace quvsim {

namespace {
constexpr int kTickMs = 2;
// A paced line reads ahead of what it lets through by this much line time.
constexpr qint64 kReadAheadMs = 20;
}  // namespace

void PacedQueue::push(const QByteArray& more) {
    if (bytes.isEmpty()) {
        since.start();
        used = 0;
    }
    bytes.append(more);
}

qint64 PacedQueue::allowance(qint32 baud) const {
    if (baud <= 0) return bytes.size();
    // Ten bit times a byte: baud / 10 bytes a second.
    const qint64 due = since.nsecsElapsed() * baud / 10 / 1000000000;
    return std::clamp<qint64>(due - used, 0, bytes.size());
}

QByteArray PacedQueue::take(qint64 n) {
    const QByteArray out = bytes.left(n);
    bytes.remove(0, out.size());
    used += out.size();
    return out;
}

Line::Line(QString name, qint32 baud, Faults& faults)
    : name_(std::move(name)), baud_(baud), faults_(faults) {
    ticker_.setTimerType(Qt::PreciseTimer);
    ticker_.setInterval(kTickMs);
    connect(&ticker_, &QTimer::timeout, this, [this] { tick(); });
}

Line::~Line() = default;

void Line::send(const QByteArray& bytes) {
    if (closed_ || deviceGone_ || faults_.silent || bytes.isEmpty()) return;
    out_.push(bytes);
    emitOut();
    keepTicking();
}

void Line::arrived(const QByteArray& bytes) {
    if (closed_ || bytes.isEmpty()) return;
    in_.push(bytes);
    admit();
    keepTicking();
}

void Line::drop() {
    if (closed_) return;
    in_.bytes.clear();
    cut();
    deviceGone();
}

qint64 Line::room() const {
    if (baud_ <= 0) return std::numeric_limits<qint64>::max();
    const qint64 readAhead = std::max<qint64>(baud_ / 10 * kReadAheadMs / 1000, 16);
    return std::max<qint64>(readAhead - in_.bytes.size(), 0);
}

void Line::deviceGone() {
    deviceGone_ = true;
    out_.bytes.clear();
    tick();
}

void Line::tick() {
    if (!in_.bytes.isEmpty()) admit();
    if (!deviceGone_ && room() > 0) wantBytes();
    if (!out_.bytes.isEmpty()) emitOut();
    if (in_.bytes.isEmpty() && out_.bytes.isEmpty()) {
        ticker_.stop();
        if (deviceGone_ && !closed_) {
            closed_ = true;
            // The handler may drop itself (the station forgets the line): a
            // copy keeps it alive while it runs.
            if (const auto notify = onClosed) notify();
        }
    }
}

void Line::keepTicking() {
    if ((!in_.bytes.isEmpty() || !out_.bytes.isEmpty()) && !ticker_.isActive()) ticker_.start();
}

void Line::admit() {
    qint64 n = in_.allowance(baud_);
    bool dropNow = false;
    if (faults_.dropAfter >= 0 && !faults_.dropped) {
        const qint64 left = std::max<qint64>(faults_.dropAfter - faults_.bytesIn, 0);
        if (n >= left) {
            n = left;
            dropNow = true;
        }
    }
    if (n > 0) {
        QByteArray chunk = in_.take(n);
        for (qsizetype i = 0; i < chunk.size(); ++i) {
            if (++faults_.bytesIn == faults_.corruptIn) {
                chunk[i] = static_cast<char>(chunk[i] ^ 0x5A);
                faults_.corruptIn = -1;
            }
        }
        if (faults_.silentAfter >= 0 && faults_.bytesIn >= faults_.silentAfter)
            faults_.silent = true;
        if (!faults_.silent && onBytes) onBytes(chunk);
    }
    if (dropNow) {
        faults_.dropped = true;
        drop();
    }
}

void Line::emitOut() {
    const qint64 n = out_.allowance(baud_);
    if (n <= 0) return;
    const qint64 at = faults_.corruptOut - faults_.bytesOut - 1;
    if (at >= 0 && at < n) {
        out_.bytes[at] = static_cast<char>(out_.bytes[at] ^ 0x5A);
        faults_.corruptOut = -1;
    }
    const qint64 taken = writeDevice(out_.bytes.constData(), n);
    if (taken <= 0) return;
    faults_.bytesOut += taken;
    out_.take(taken);
}

// ---- TCP

TcpLine::TcpLine(QTcpSocket* socket, qint32 baud, Faults& faults)
    : Line(
          QStringLiteral("tcp %1:%2").arg(socket->peerAddress().toString()).arg(socket->peerPort()),
          baud, faults),
      socket_(socket) {
    socket_->setParent(this);
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(socket_, &QTcpSocket::readyRead, this, [this] { arrived(socket_->readAll()); });
    connect(socket_, &QTcpSocket::disconnected, this, [this] {
        arrived(socket_->readAll());
        deviceGone();
    });
}

qint64 TcpLine::writeDevice(const char* data, qint64 size) {
    if (socket_->state() != QAbstractSocket::ConnectedState) return size;  // goes nowhere
    return socket_->write(data, size);
}

void TcpLine::cut() {
    socket_->abort();
}

// ---- Pseudo-terminal

PtyLine* PtyLine::create(qint32 baud, Faults& faults) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) return nullptr;
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        ::close(master);
        return nullptr;
    }
    const char* name = ::ptsname(master);
    const QString path = name ? QString::fromLocal8Bit(name) : QString();
    const int slave = path.isEmpty() ? -1 : ::open(name, O_RDWR | O_NOCTTY);
    if (slave < 0) {
        ::close(master);
        return nullptr;
    }
    termios raw{};
    if (::tcgetattr(slave, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(slave, TCSANOW, &raw);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    return new PtyLine(master, slave, path, baud, faults);
}

PtyLine::PtyLine(int master, int slave, QString path, qint32 baud, Faults& faults)
    : Line(QStringLiteral("pty %1").arg(path), baud, faults),
      master_(master),
      slave_(slave),
      path_(std::move(path)),
      notifier_(new QSocketNotifier(master, QSocketNotifier::Read, this)) {
    connect(notifier_, &QSocketNotifier::activated, this, [this] { readMaster(); });
}

PtyLine::~PtyLine() {
    closeFds();
}

void PtyLine::readMaster() {
    char buffer[4096];
    for (;;) {
        const qint64 wanted = std::min<qint64>(room(), sizeof buffer);
        if (wanted <= 0) {  // the rest waits in the pseudo-terminal
            notifier_->setEnabled(false);
            return;
        }
        const ssize_t n = ::read(master_, buffer, static_cast<size_t>(wanted));
        if (n > 0) {
            arrived(QByteArray(buffer, n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        // End of the pseudo-terminal: nothing more can come.
        notifier_->setEnabled(false);
        deviceGone();
        return;
    }
}

qint64 PtyLine::writeDevice(const char* data, qint64 size) {
    if (master_ < 0) return size;
    const ssize_t n = ::write(master_, data, static_cast<size_t>(size));
    return n > 0 ? n : 0;
}

void PtyLine::wantBytes() {
    if (master_ >= 0) notifier_->setEnabled(true);
}

void PtyLine::cut() {
    closeFds();
}

void PtyLine::closeFds() {
    notifier_->setEnabled(false);
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
    master_ = slave_ = -1;
}

}  // namespace quvsim
