// The current document and its files: open, new, save, save as, close, the
// save question, and the five recent files with their caret positions.
#pragma once

#include "app/app_paths.h"
#include "app/recent_files.h"

#include <QObject>
#include <QString>

#include <array>

namespace quv {

class Dialogs;
class SettingsStore;
class SourceEditor;

class Documents : public QObject {
    Q_OBJECT
  public:
    Documents(SourceEditor& editor, Dialogs& dialogs, SettingsStore& settings,
              QObject* parent = nullptr);

    // The path of the document in the editor; the compiler and the upload
    // work on it.
    QString CurrentFileName;
    // The editor text has changed since it was loaded, created or saved.
    bool Source_changed = false;
    // The recent-file slot last chosen with a button (0 before the first).
    int CurrentSlot = 0;
    // Caret positions remembered per slot, entries 0 to 5.
    std::array<int, 6> CaretPos{};

    RecentFiles& recent() { return recent_; }
    const RecentFiles& recent() const { return recent_; }

    // Options the main window keeps in step.
    void setSaveConfirmation(bool on) { saveConfirmation_ = on; }
    void setEditorEnabled(bool on) { editorEnabled_ = on; }

    void Open_File(const QString& path);
    // Writes the editor text; false (after telling the user why) when the
    // file could not be written, in which case nothing else changes.
    bool Save_program();
    bool save_Click() { return Save_program(); }
    void new_Click();
    void Open_Click();
    void save_as_Click();
    void Close_Click();
    // A recent-file button, index 6 to 10.
    void recentFileClicked(int index);

    // Before a command replaces or builds a changed document. False when a
    // save was attempted and failed: the command must stop so that no work
    // is lost.
    bool saveQuestion();
    // On exit: asks whatever the option says. False when the save failed.
    bool exitSaveQuestion();

    // The filter the file dialogs use: set by Open, reused by Save as.
    QString dialogFilter() const { return filter_; }

  signals:
    // The status bar panel "Name".
    void nameChanged(const QString& name);
    void recentFilesChanged();
    // The main window's activation sequence is due.
    void activationRequested();

  private:
    void setName(const QString& name) { emit nameChanged(name); }
    SourceEditor& editor_;
    Dialogs& dialogs_;
    SettingsStore& settings_;
    RecentFiles recent_;
    QString filter_;
    bool saveConfirmation_ = true;
    bool editorEnabled_ = false;
    PathStyle style_ = nativePathStyle();
};

}  // namespace quv
