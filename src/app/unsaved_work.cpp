#include "app/unsaved_work.h"

#include "app/documents.h"
#include "app/recovery.h"
#include "core/dialogs.h"
#include "core/text_file.h"

#include <QFileInfo>
#include <QLocale>

namespace quv {

UnsavedWork::UnsavedWork(Documents& documents, DocumentText& text, Dialogs& dialogs,
                         RecoveryStore& store, std::function<void(const QString&)> notice,
                         QObject* parent)
    : QObject(parent),
      documents_(documents),
      text_(text),
      dialogs_(dialogs),
      store_(store),
      notice_(std::move(notice)) {
    timer_.setSingleShot(true);
    timer_.setInterval(kDelayMs);
    connect(&timer_, &QTimer::timeout, this, &UnsavedWork::keepNow);
    connect(&documents_, &Documents::settled, this, [this] {
        timer_.stop();
        store_.discard();
    });
    connect(&store_, &RecoveryStore::keeping, this, [this](const QString& failure) {
        notice_(failure.isEmpty()
                    ? QString()
                    : QStringLiteral("No recovery copy of unsaved changes: %1").arg(failure));
    });
}

void UnsavedWork::textChanged() {
    if (!timer_.isActive()) timer_.start();
}

void UnsavedWork::keepNow() {
    timer_.stop();
    if (documents_.changed()) store_.keep(documents_.fileName(), documents_.named(), text_.bytes());
}

QString UnsavedWork::question(const QString& name, bool named, const QString& when,
                              bool fileNewer) const {
    const QString what = named ? name
                               : (name.isEmpty() ? QStringLiteral("a document without a name")
                                                 : QStringLiteral("the new document %1").arg(name));
    QString text = QStringLiteral(
                       "Unsaved changes to %1 were kept when the program ended "
                       "without closing, on %2.")
                       .arg(what, when);
    if (fileNewer) text += QStringLiteral("\n\nThe file itself was changed after that.");
    return text + QStringLiteral(
                      "\n\nRestore them? Yes puts them in the editor, not yet "
                      "saved; No deletes them.");
}

void UnsavedWork::offerLeftBehind() {
    for (const RecoveryStore::Copy& copy : store_.leftBehind()) {
        bool fileNewer = false;
        if (copy.named) {
            // A copy that holds what the file holds has nothing to restore.
            const ReadResult file = readWholeFile(copy.name);
            if (file.bytes && *file.bytes == copy.text) {
                RecoveryStore::remove(copy);
                continue;
            }
            fileNewer = file.bytes && QFileInfo(copy.name).lastModified() > copy.written;
        }
        const QString when = QLocale::system().toString(copy.written, QLocale::ShortFormat);
        if (dialogs_.message(question(copy.name, copy.named, when, fileNewer), Buttons::YesNo,
                             Icon::Question) != Answer::Yes) {
            RecoveryStore::remove(copy);
            continue;
        }
        documents_.restore(copy.name, copy.named, copy.text);
        store_.adopt(copy);
        return;
    }
}

void UnsavedWork::cleanExit() {
    timer_.stop();
    store_.discard();
}

}  // namespace quv
