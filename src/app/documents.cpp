#include "app/documents.h"

#include "core/dialogs.h"
#include "core/options.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "core/text_file.h"
#include "core/working_folder.h"

#include <QDir>
#include <QFileInfo>

namespace quv {

namespace {
const QString kSaveQuestion = QStringLiteral("Save changes to file ?");
const QString kFileNotFound = QStringLiteral("File not found!!!");
const QString kChangedOnDisk = QStringLiteral(
    "%1\n\nAnother program has changed this file since it was opened or saved here.\n\n"
    "Yes reloads the file: the changes made here are lost.\n"
    "No overwrites the file with the text here: the other program's change is lost.\n"
    "Cancel leaves both as they are.");

// A normal file: not a folder, not hidden.
bool isNormalFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}
}  // namespace

SaveStep saveQuestionStep(bool changed, bool confirm) {
    if (!changed) return SaveStep::Nothing;
    return confirm ? SaveStep::Ask : SaveStep::Save;
}

Documents::Documents(DocumentText& text, Dialogs& dialogs, SettingsStore& settings,
                     WorkingFolder& folder, const Options& options, QObject* parent)
    : QObject(parent),
      text_(text),
      dialogs_(dialogs),
      settings_(settings),
      folder_(folder),
      options_(options) {}

void Documents::Open_File(const QString& rawPath) {
    const QString path = QDir::toNativeSeparators(rawPath);
    bool exists = true;
    // The working folder follows the document, before the existence test is
    // used, so a missing file still moves it.
    if (const auto folder = folderOfPath(path, style_)) {
        if (folder->isEmpty() || !folder_.setCurrent(*folder)) exists = false;
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
    text_.setBytes(*read.bytes);
    disk_ = stampOf(path, *read.bytes);
    setName(path);
    settings_.save(keys::kFileName, path);
    settle();
    recent_.recordOpen(path);
    emit recentFilesChanged();
    emit activationRequested();
}

bool Documents::open(const QString& path) {
    Open_File(path);
    return CurrentFileName == QDir::toNativeSeparators(path);
}

bool Documents::Save_program() {
    return mayOverwrite() && writeText();
}

bool Documents::writeText() {
    const QByteArray bytes = withCrLf(text_.bytes());
    if (const auto error = writeWholeFile(CurrentFileName, bytes)) {
        dialogs_.message(
            QStringLiteral("Cannot save the file %1:\n%2\n\nYour changes are still in the editor.")
                .arg(CurrentFileName, *error),
            Buttons::Ok, Icon::Critical);
        return false;
    }
    disk_ = stampOf(CurrentFileName, bytes);
    setName(CurrentFileName);
    settle();
    return true;
}

void Documents::settle() {
    Source_changed = false;
    leftAlone_.clear();
    emit settled();
}

Answer Documents::askAboutChange() {
    return dialogs_.message(kChangedOnDisk.arg(CurrentFileName), Buttons::YesNoCancel,
                            Icon::Exclamation);
}

bool Documents::mayOverwrite() {
    // Only the file the text came from is guarded; a file that was deleted
    // is written anew.
    if (disk_.path.isEmpty() || disk_.path != CurrentFileName) return true;
    if (checkDisk(disk_).state != DiskState::Changed) return true;
    const Answer answer = askAboutChange();
    if (answer == Answer::Yes) reload();
    return answer == Answer::No;
}

bool Documents::reload() {
    const ReadResult read = readWholeFile(CurrentFileName);
    if (!read.bytes) {
        dialogs_.message(
            QStringLiteral("Cannot read the file %1:\n%2").arg(CurrentFileName, read.error),
            Buttons::Ok, Icon::Critical);
        return false;
    }
    const int line = lineOfOffset(text_.bytes(), text_.caretPosition());
    text_.setBytes(*read.bytes);
    text_.setCaretPosition(offsetOfLine(withCrLf(*read.bytes), line));
    disk_ = stampOf(CurrentFileName, *read.bytes);
    settle();
    return true;
}

void Documents::checkFileOnDisk() {
    if (checking_ || disk_.path.isEmpty() || disk_.path != CurrentFileName) return;
    const DiskCheck check = checkDisk(disk_);
    if (check.state == DiskState::Same) disk_ = check.now;  // only touched
    // A file that cannot be read now is left to the next save, which says why.
    if (check.state != DiskState::Changed || check.now.hash.isEmpty()) return;
    if (!Source_changed) {
        reload();
        return;
    }
    if (check.now.hash == leftAlone_) return;
    checking_ = true;
    const Answer answer = askAboutChange();
    checking_ = false;
    const bool done = answer == Answer::Yes ? reload() : answer == Answer::No && writeText();
    if (!done) leftAlone_ = check.now.hash;
}

bool Documents::named() const {
    return !CurrentFileName.isEmpty() && CurrentFileName != kNewDocumentName &&
           CurrentFileName != closedDocumentName(style_);
}

void Documents::restore(const QString& name, bool named, const QByteArray& bytes) {
    if (named && isNormalFile(name)) Open_File(name);
    if (CurrentFileName != name) {
        CurrentFileName = name;
        setName(name);
        disk_ = {};
    }
    text_.setBytes(bytes);
    Source_changed = true;
}

bool Documents::save_Click() {
    // A document without a name (the first start, before anything was
    // opened) is saved under the name the user picks.
    if (CurrentFileName.isEmpty()) return save_as_Click();
    return Save_program();
}

bool Documents::askAndSave(SaveStep step) {
    if (step == SaveStep::Nothing) return true;
    if (step == SaveStep::Ask && dialogs_.message(kSaveQuestion, Buttons::YesNo) != Answer::Yes)
        return true;
    return save_Click();
}

bool Documents::saveQuestion() {
    return askAndSave(saveQuestionStep(Source_changed, options_.Save_Confirmation));
}

bool Documents::exitSaveQuestion() {
    return askAndSave(saveQuestionStep(Source_changed, true));
}

void Documents::new_Click() {
    if (!saveQuestion()) return;
    text_.setBytes(QByteArray());
    CurrentFileName = kNewDocumentName;
    disk_ = {};
    setName(kNewDocumentName);
    settings_.save(keys::kFileName, QString());
    settle();
}

void Documents::Open_Click() {
    if (!saveQuestion()) return;
    filter_ = options_.EditorEnabled ? kSourceFilter : kProgramFilter;
    const auto chosen = dialogs_.openFileName(filter_, CurrentFileName);
    if (!chosen) return;
    Open_File(*chosen);
}

bool Documents::save_as_Click() {
    const auto chosen = dialogs_.saveFileName(filter_, CurrentFileName);
    if (!chosen) return false;
    const QString previous = CurrentFileName;
    CurrentFileName = QDir::toNativeSeparators(*chosen);
    if (!Save_program()) {
        // The text stays bound to the file it came from.
        CurrentFileName = previous;
        return false;
    }
    Open_File(CurrentFileName);
    return true;
}

void Documents::Close_Click() {
    if (!saveQuestion()) return;
    text_.setBytes(QByteArray());
    CurrentFileName = closedDocumentName(style_);
    disk_ = {};
    setName(QString());
    settings_.save(keys::kFileName, QString());
    settle();
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
    if (options_.EditorEnabled) {
        CaretPos.at(static_cast<size_t>(CurrentSlot)) = text_.caretPosition();
        if (!saveQuestion()) {
            // The save failed: the current document stays, and so does its highlight.
            recent_.highlightOnly(wasHighlighted);
            emit recentFilesChanged();
            return;
        }
        Open_File(path);
        text_.setCaretPosition(CaretPos.at(static_cast<size_t>(slot)));
        text_.focus();
    }
    CurrentSlot = slot;
}

}  // namespace quv
