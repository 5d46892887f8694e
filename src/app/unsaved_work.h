// Keeps a recovery copy of the document's unsaved changes a short time after
// they are made, and offers back the copies of a run that ended without
// closing.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

namespace quv {

class Dialogs;
class DocumentText;
class Documents;
class RecoveryStore;

class UnsavedWork : public QObject {
    Q_OBJECT
  public:
    // notice: one line for the status bar (empty to clear it).
    UnsavedWork(Documents& documents, DocumentText& text, Dialogs& dialogs, RecoveryStore& store,
                std::function<void(const QString&)> notice, QObject* parent = nullptr);

    // The time from a change to its copy.
    static constexpr int kDelayMs = 2000;

    // Every change of the editor's text. A copy follows within the delay;
    // typing on does not put it off.
    void textChanged();
    // Writes the copy now when there are unsaved changes.
    void keepNow();
    // At start-up: asks about each copy left behind, newest first, until one
    // is restored; No deletes a copy.
    void offerLeftBehind();
    // The program closes normally: nothing is left to recover.
    void cleanExit();

  private:
    QString question(const QString& name, bool named, const QString& when, bool fileNewer) const;
    Documents& documents_;
    DocumentText& text_;
    Dialogs& dialogs_;
    RecoveryStore& store_;
    std::function<void(const QString&)> notice_;
    QTimer timer_;
};

}  // namespace quv
