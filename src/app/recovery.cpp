#include "app/recovery.h"

#include "core/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QUuid>

namespace quv {

namespace {
// A copy is a header of three lines (the mark, whether the document has a
// name, the name) and then the document's bytes.
const QByteArray kMark = QByteArrayLiteral("QUV RECOVERY 1");
const QString kSuffix = QStringLiteral(".rec");

QByteArray header(const QString& name, bool named) {
    return kMark + '\n' + (named ? "named\n" : "unnamed\n") + name.toUtf8().toPercentEncoding() +
           '\n';
}

std::optional<RecoveryStore::Copy> parse(const QFileInfo& info) {
    const ReadResult read = readWholeFile(info.filePath());
    if (!read.bytes) return std::nullopt;
    const QByteArray& all = *read.bytes;
    const qsizetype a = all.indexOf('\n');
    const qsizetype b = a < 0 ? -1 : all.indexOf('\n', a + 1);
    const qsizetype c = b < 0 ? -1 : all.indexOf('\n', b + 1);
    if (c < 0 || all.left(a) != kMark) return std::nullopt;
    const QByteArray kind = all.mid(a + 1, b - a - 1);
    if (kind != "named" && kind != "unnamed") return std::nullopt;
    return RecoveryStore::Copy{
        info.filePath(),
        QString::fromUtf8(QByteArray::fromPercentEncoding(all.mid(b + 1, c - b - 1))),
        kind == "named", info.lastModified(), all.mid(c + 1)};
}

QString lockName(const QString& file) {
    return file + QStringLiteral(".lock");
}
}  // namespace

RecoveryStore::RecoveryStore(const QString& folder, QObject* parent)
    : QObject(parent), folder_(folder) {
    if (!folder_.isEmpty())
        own_ = QDir(folder_).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces) + kSuffix);
    writer_.setMaxThreadCount(1);
}

RecoveryStore::~RecoveryStore() {
    settle();
}

bool RecoveryStore::holdLock() {
    if (lock_) return true;
    auto lock = std::make_unique<QLockFile>(lockName(own_));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) return false;
    lock_ = std::move(lock);
    return true;
}

void RecoveryStore::report(const QString& failure) {
    if (failure == reported_) return;
    reported_ = failure;
    QMetaObject::invokeMethod(
        this, [this, failure] { emit keeping(failure); }, Qt::QueuedConnection);
}

void RecoveryStore::keep(const QString& name, bool named, const QByteArray& text) {
    if (own_.isEmpty()) return;
    const quint64 mine = ++latest_;
    writer_.start([this, mine, name, named, text] {
        if (latest_.loadAcquire() != mine) return;  // a newer text follows
        QString failure;
        if (!QDir().mkpath(folder_))
            failure = QStringLiteral("the folder %1 cannot be made").arg(folder_);
        else if (!holdLock())
            failure = QStringLiteral("the folder %1 cannot be written").arg(folder_);
        else if (const auto error = writeWholeFile(own_, header(name, named) + withCrLf(text)))
            failure = *error;
        report(failure);
    });
}

void RecoveryStore::discard() {
    if (own_.isEmpty()) return;
    ++latest_;
    writer_.start([this] {
        if (lock_) QFile::remove(own_);
    });
}

void RecoveryStore::adopt(const Copy& copy) {
    if (own_.isEmpty()) return;
    ++latest_;
    writer_.start([this, file = copy.file] {
        if (!holdLock()) return;
        QFile::remove(own_);
        if (QFile::rename(file, own_)) QFile::remove(lockName(file));
    });
}

void RecoveryStore::remove(const Copy& copy) {
    QFile::remove(copy.file);
}

void RecoveryStore::settle() {
    writer_.waitForDone();
}

QList<RecoveryStore::Copy> RecoveryStore::leftBehind() const {
    QList<Copy> copies;
    if (folder_.isEmpty()) return copies;
    const QFileInfoList files =
        QDir(folder_).entryInfoList({QLatin1Char('*') + kSuffix}, QDir::Files, QDir::Time);
    // The locks of runs that ended after their copy was deleted go too.
    for (const QString& name : QDir(folder_).entryList({QLatin1Char('*') + kSuffix + ".lock"})) {
        const QString copy = QDir(folder_).filePath(name.chopped(5));
        if (copy == own_ || QFileInfo::exists(copy)) continue;
        QLockFile lock(lockName(copy));
        lock.setStaleLockTime(0);
        lock.tryLock(0);  // a stale lock is taken, and removed on unlock
    }
    for (const QFileInfo& info : files) {
        if (info.filePath() == own_) continue;
        // A running instance holds the lock of its copy; the lock of one
        // that ended without closing is stale and is taken.
        QLockFile lock(lockName(info.filePath()));
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0)) continue;
        if (auto copy = parse(info)) copies << *copy;
    }
    return copies;
}

}  // namespace quv
