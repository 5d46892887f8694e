// The recovery copies of unsaved documents in one folder: this instance's own
// copy, written in the background, and the copies that runs which ended
// without closing left behind.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class QThreadPool;

namespace quv {

class RecoveryStore : public QObject {
    Q_OBJECT
  public:
    // An empty folder keeps no copies.
    explicit RecoveryStore(const QString& folder, QObject* parent = nullptr);
    // Finishes the writes asked for, waiting a few seconds at most; the copy
    // stays unless it was discarded.
    ~RecoveryStore() override;

    struct Copy {
        QString file;
        QString name;  // the document's file name as the editor had it
        bool named = true;
        QDateTime written;
        QByteArray text;  // byte for byte as the document would be saved
    };

    // Writes the copy in the background, with CR LF line ends. Only the
    // newest text asked for is written.
    void keep(const QString& name, bool named, const QByteArray& text);
    // Removes this instance's copy, after the writes already asked for.
    void discard();
    // Takes over a copy left behind as this instance's own.
    void adopt(const Copy& copy);
    // Deletes a copy left behind.
    static void remove(const Copy& copy);
    // Waits until every write and removal asked for is done.
    void settle();
    // The longest the store waits for its writes when it goes.
    static constexpr int kExitWaitMs = 5000;
    // The copies no running instance holds, newest first.
    QList<Copy> leftBehind() const;
    QString ownFile() const { return own_; }

  signals:
    // After a write that failed (with the reason) or the first that worked
    // again (empty): the changes only.
    void keeping(const QString& failure);

  private:
    // What the writer thread works on. It outlives the store when a write
    // hangs at exit.
    struct Writer;
    QString folder_;
    QString own_;
    std::shared_ptr<Writer> writer_;
    // Deleted with the store, or left to finish a write that hangs at exit.
    QThreadPool* pool_;
};

}  // namespace quv
