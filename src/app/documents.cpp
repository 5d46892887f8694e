#include "app/documents.h"

#include "app/dialogs.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "app/text_file.h"
#include "editor/source_editor.h"

#include <QDir>
#include <QFileInfo>

namespace quv {

namespace {
const QString kSaveQuestion = QStringLiteral("Save changes to file ?");
const QString kFileNotFound = QStringLiteral("File not found!!!");

// A normal file: not a folder, not hidden.
bool isNormalFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}
}  // namespace

Documents::Documents(SourceEditor& editor, Dialogs& dialogs, SettingsStore& settings,
                     QObject* parent)
    : QObject(parent), editor_(editor), dialogs_(dialogs), settings_(settings) {
    connect(&editor_, &QsciScintilla::textChanged, this, [this] { Source_changed = true; });
}

void Documents::Open_File(const QString& rawPath) {
    const QString path = QDir::toNativeSeparators(rawPath);
    bool exists = true;
    // The working folder follows the document, before the existence test is
    // used, so a missing file still moves it.
    if (const auto folder = folderOfPath(path, style_)) {
        if (folder->isEmpty() || !QDir::setCurrent(*folder)) exists = false;
    }
    exists = exists && isNormalFile(path);
    if (!exists) {
        dialogs_.message(kFileNotFound, Buttons::Ok, Icon::Information);
        emit activationRequested();
        return;
    }
    const ReadResult read = readWholeFile(path);
    if (!read.bytes) {
        dialogs_.message(QStringLiteral("Cannot read the file %1:\n%2").arg(path, read.error),
                         Buttons::Ok, Icon::Critical);
        emit activationRequested();
        return;
    }
    CurrentFileName = path;
    editor_.setBytes(*read.bytes);
    setName(path);
    settings_.save(keys::kFileName, path);
    Source_changed = false;
    recent_.recordOpen(path);
    emit recentFilesChanged();
    emit activationRequested();
}

bool Documents::Save_program() {
    if (const auto error = writeWholeFile(CurrentFileName, withCrLf(editor_.bytes()))) {
        dialogs_.message(
            QStringLiteral("Cannot save the file %1:\n%2\n\nYour changes are still in the editor.")
                .arg(CurrentFileName, *error),
            Buttons::Ok, Icon::Critical);
        return false;
    }
    setName(CurrentFileName);
    Source_changed = false;
    return true;
}

bool Documents::saveQuestion() {
    if (!Source_changed) return true;
    if (saveConfirmation_ && dialogs_.message(kSaveQuestion, Buttons::YesNo) != Answer::Yes)
        return true;
    return save_Click();
}

bool Documents::exitSaveQuestion() {
    if (!Source_changed) return true;
    if (dialogs_.message(kSaveQuestion, Buttons::YesNo) != Answer::Yes) return true;
    return save_Click();
}

void Documents::new_Click() {
    if (!saveQuestion()) return;
    editor_.setBytes(QByteArray());
    CurrentFileName = kNewDocumentName;
    setName(kNewDocumentName);
    settings_.save(keys::kFileName, QString());
    Source_changed = false;
}

void Documents::Open_Click() {
    if (!saveQuestion()) return;
    filter_ = editorEnabled_ ? kSourceFilter : kProgramFilter;
    const auto chosen = dialogs_.openFileName(filter_, CurrentFileName);
    if (!chosen) return;
    Open_File(*chosen);
}

void Documents::save_as_Click() {
    const auto chosen = dialogs_.saveFileName(filter_, CurrentFileName);
    if (!chosen) return;
    const QString previous = CurrentFileName;
    CurrentFileName = QDir::toNativeSeparators(*chosen);
    if (!Save_program()) {
        // The text stays bound to the file it came from.
        CurrentFileName = previous;
        return;
    }
    Open_File(CurrentFileName);
}

void Documents::Close_Click() {
    if (!saveQuestion()) return;
    editor_.setBytes(QByteArray());
    CurrentFileName = closedDocumentName(style_);
    setName(QString());
    settings_.save(keys::kFileName, QString());
    Source_changed = false;
    recent_.closeHighlighted();
    emit recentFilesChanged();
    if (const int slot = recent_.firstFilled()) Open_File(recent_.slot(slot).path);
}

void Documents::recentFileClicked(int index) {
    const int slot = index - 5;
    if (slot < 1 || slot > RecentFiles::kSlots) return;
    const QString path = recent_.slot(slot).path;
    if (path.isEmpty()) return;
    int wasHighlighted = 0;
    for (int n = 1; n <= RecentFiles::kSlots; ++n)
        if (recent_.slot(n).highlighted) wasHighlighted = n;
    recent_.highlightOnly(slot);
    emit recentFilesChanged();
    if (editorEnabled_) {
        CaretPos.at(static_cast<size_t>(CurrentSlot)) = editor_.caretPosition();
        if (!saveQuestion()) {
            // The save failed: the current document stays, and so does its highlight.
            recent_.highlightOnly(wasHighlighted);
            emit recentFilesChanged();
            return;
        }
        Open_File(path);
        editor_.setCaretPosition(CaretPos.at(static_cast<size_t>(slot)));
        editor_.setFocus();
    }
    CurrentSlot = slot;
}

}  // namespace quv
