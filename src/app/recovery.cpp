#include "app/recovery.h"

#include "core/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QUuid>

namespace quv {

namespace {
// A copy holds the document's bytes exactly as a save would write them; the
// file beside it, the copy's name plus ".name", says whose they are: a mark,
// whether the document has a name, and the name.
const QByteArray kMark = QByteArrayLiteral("QUV RECOVERY 1");
const QString kSuffix = QStringLiteral(".rec");

QString lockName(const QString& copy) {
    return copy + QStringLiteral(".lock");
}
QString nameFile(const QString& copy) {
    return copy + QStringLiteral(".name");
}

QByteArray nameRecord(const QString& name, bool named) {
    return kMark + '\n' + (named ? "named\n" : "unnamed\n") + name.toUtf8().toPercentEncoding() +
           '\n';
}

std::optional<RecoveryStore::Copy> parse(const QFileInfo& info) {
    const ReadResult record = readWholeFile(nameFile(info.filePath()), 1 << 16);
    const QList<QByteArray> lines = record.bytes ? record.bytes->split('\n') : QList<QByteArray>();
    if (lines.size() < 3 || lines[0] != kMark || (lines[1] != "named" && lines[1] != "unnamed"))
        return std::nullopt;
    const ReadResult text = readWholeFile(info.filePath());
    if (!text.bytes) return std::nullopt;
    return RecoveryStore::Copy{info.filePath(),
                               QString::fromUtf8(QByteArray::fromPercentEncoding(lines[2])),
                               lines[1] == "named", info.lastModified(), *text.bytes};
}

void removeCopy(const QString& copy) {
    QFile::remove(copy);
    QFile::remove(nameFile(copy));
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
        else if (const QByteArray record = nameRecord(name, named); record != writtenName_) {
            if (const auto error = writeWholeFile(nameFile(own_), record)) failure = *error;
            writtenName_ = failure.isEmpty() ? record : QByteArray();
        }
        if (failure.isEmpty())
            if (const auto error = writeWholeFile(own_, withCrLf(text))) failure = *error;
        report(failure);
    });
}

void RecoveryStore::discard() {
    if (own_.isEmpty()) return;
    ++latest_;
    writer_.start([this] {
        if (lock_) removeCopy(own_);
        writtenName_.clear();
    });
}

void RecoveryStore::adopt(const Copy& copy) {
    if (own_.isEmpty()) return;
    ++latest_;
    writer_.start([this, file = copy.file] {
        if (!holdLock()) return;
        removeCopy(own_);
        writtenName_.clear();
        if (QFile::rename(file, own_)) QFile::rename(nameFile(file), nameFile(own_));
    });
}

void RecoveryStore::remove(const Copy& copy) {
    removeCopy(copy.file);
}

void RecoveryStore::settle() {
    writer_.waitForDone();
}

QList<RecoveryStore::Copy> RecoveryStore::leftBehind() const {
    QList<Copy> copies;
    if (folder_.isEmpty()) return copies;
    const QFileInfoList files =
        QDir(folder_).entryInfoList({QLatin1Char('*') + kSuffix}, QDir::Files, QDir::Time);
    // What runs that ended left beside a copy they had deleted goes too.
    const QStringList beside = {QLatin1Char('*') + kSuffix + QStringLiteral(".lock"),
                                QLatin1Char('*') + kSuffix + QStringLiteral(".name")};
    for (const QString& name : QDir(folder_).entryList(beside, QDir::Files)) {
        const QString copy = QDir(folder_).filePath(name.chopped(5));
        if (copy == own_ || QFileInfo::exists(copy)) continue;
        QLockFile lock(lockName(copy));
        lock.setStaleLockTime(0);
        if (lock.tryLock(0)) QFile::remove(nameFile(copy));  // the lock goes on unlock
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
