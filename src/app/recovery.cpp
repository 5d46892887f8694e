#include "app/recovery.h"

#include "core/text_file.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMutex>
#include <QThreadPool>
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

struct RecoveryStore::Writer {
    QString folder, own;
    std::unique_ptr<QLockFile> lock;
    QString reported;
    QByteArray writtenName;  // the record last written beside the copy
    QAtomicInteger<quint64> latest;
    QMutex ownerMutex;
    RecoveryStore* owner = nullptr;  // none once the store is gone

    bool holdLock() {
        if (lock) return true;
        auto taken = std::make_unique<QLockFile>(lockName(own));
        taken->setStaleLockTime(0);
        if (!taken->tryLock(0)) return false;
        lock = std::move(taken);
        return true;
    }
    void report(const QString& failure) {
        if (failure == reported) return;
        reported = failure;
        QMutexLocker locked(&ownerMutex);
        if (owner)
            QMetaObject::invokeMethod(
                owner, [store = owner, failure] { emit store->keeping(failure); },
                Qt::QueuedConnection);
    }
    void write(const QString& name, bool named, const QByteArray& text) {
        QString failure;
        if (!QDir().mkpath(folder))
            failure = QStringLiteral("the folder %1 cannot be made").arg(folder);
        else if (!holdLock())
            failure = QStringLiteral("the folder %1 cannot be written").arg(folder);
        else if (const QByteArray record = nameRecord(name, named); record != writtenName) {
            if (const auto error = writeWholeFile(nameFile(own), record)) failure = *error;
            writtenName = failure.isEmpty() ? record : QByteArray();
        }
        if (failure.isEmpty())
            if (const auto error = writeWholeFile(own, withCrLf(text))) failure = *error;
        report(failure);
    }
};

RecoveryStore::RecoveryStore(const QString& folder, QObject* parent)
    : QObject(parent),
      folder_(folder),
      writer_(std::make_shared<Writer>()),
      pool_(new QThreadPool) {
    if (!folder_.isEmpty())
        own_ = QDir(folder_).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces) + kSuffix);
    writer_->folder = folder_;
    writer_->own = own_;
    writer_->owner = this;
    pool_->setMaxThreadCount(1);
}

RecoveryStore::~RecoveryStore() {
    {
        QMutexLocker locked(&writer_->ownerMutex);
        writer_->owner = nullptr;
    }
    // A write to a disk that stopped answering must not hold the program up
    // as it ends: it is left to finish on its own.
    if (pool_->waitForDone(kExitWaitMs)) delete pool_;
}

void RecoveryStore::keep(const QString& name, bool named, const QByteArray& text) {
    if (own_.isEmpty()) return;
    const quint64 mine = ++writer_->latest;
    pool_->start([w = writer_, mine, name, named, text] {
        if (w->latest.loadAcquire() == mine) w->write(name, named, text);  // else a newer follows
    });
}

void RecoveryStore::discard() {
    if (own_.isEmpty()) return;
    ++writer_->latest;
    pool_->start([w = writer_] {
        if (w->lock) removeCopy(w->own);
        w->writtenName.clear();
    });
}

void RecoveryStore::adopt(const Copy& copy) {
    if (own_.isEmpty()) return;
    ++writer_->latest;
    pool_->start([w = writer_, file = copy.file] {
        if (!w->holdLock()) return;
        removeCopy(w->own);
        w->writtenName.clear();
        if (QFile::rename(file, w->own)) QFile::rename(nameFile(file), nameFile(w->own));
    });
}

void RecoveryStore::remove(const Copy& copy) {
    removeCopy(copy.file);
}

void RecoveryStore::settle() {
    pool_->waitForDone();
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
