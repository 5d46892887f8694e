// The current document and its files: open, new, save, save as, close, the
// save question, and the five recent files with their caret positions. It
// works on the editor's text through a small view, so that every rule here
// runs without a window.
#pragma once

#include "app/recent_files.h"
#include "core/app_paths.h"
#include "core/current_document.h"
#include "core/dialogs.h"
#include "core/file_stamp.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <array>

namespace quv {

class Dialogs;
class SettingsStore;
class WorkingFolder;
struct Options;

// The editor's text as the documents see it.
class DocumentText {
  public:
    virtual ~DocumentText() = default;
    virtual QByteArray bytes() const = 0;
    // Replaces the whole text; the caret goes to the start.
    virtual void setBytes(const QByteArray& text) = 0;
    virtual int caretPosition() const = 0;
    virtual void setCaretPosition(int position) = 0;
    // The editor gets the keyboard focus.
    virtual void focus() = 0;
};

// What the save question does for a changed document.
enum class SaveStep { Nothing, Ask, Save };
// Nothing for an unchanged document; otherwise ask when the option Save
// Confirmation is on, save without asking when it is off.
SaveStep saveQuestionStep(bool changed, bool confirm);

class Documents : public QObject, public CurrentDocument {
    Q_OBJECT
  public:
    Documents(DocumentText& text, Dialogs& dialogs, SettingsStore& settings, WorkingFolder& folder,
              const Options& options, QObject* parent = nullptr);

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

    // Every change of the editor's text.
    void textChanged() { Source_changed = true; }

    void Open_File(const QString& path);
    // Writes the editor text; false (after telling the user why) when the
    // file could not be written, in which case nothing else changes.
    bool Save_program();
    // File > Save. A document that has no name yet is saved as a new file.
    bool save_Click();
    void new_Click();
    void Open_Click();
    // False when the user cancelled or the file could not be written.
    bool save_as_Click();
    void Close_Click();
    // A recent-file button, index 6 to 10.
    void recentFileClicked(int index);

    // Before a command replaces or builds a changed document. False when a
    // save was attempted and failed: the command must stop so that no work
    // is lost.
    bool saveQuestion();
    // On exit: asks whatever the option says. False when the save failed.
    bool exitSaveQuestion();

    // When the window is activated: a file that another program changed is
    // reloaded at once when there are no changes here, and otherwise the
    // user chooses. A change the user chose to leave is not asked again.
    void checkFileOnDisk();
    // Puts recovered text in the editor as a changed document. A named
    // document whose file exists is opened first, so that the recent files,
    // the caption and the working folder follow it.
    void restore(const QString& name, bool named, const QByteArray& bytes);
    // New, closed and never-named documents have no file of their own yet.
    bool named() const;

    // The filter the file dialogs use: set by Open, reused by Save as.
    QString dialogFilter() const { return filter_; }

    // CurrentDocument, for the subsystems.
    QString fileName() const override { return CurrentFileName; }
    bool changed() const override { return Source_changed; }
    bool askToSave() override { return saveQuestion(); }
    bool save() override { return save_Click(); }
    bool open(const QString& path) override;

  signals:
    // The status bar panel "Name".
    void nameChanged(const QString& name);
    void recentFilesChanged();
    // The main window's activation sequence is due.
    void activationRequested();
    // The text now matches its file, or was replaced or emptied: nothing is
    // unsaved.
    void settled();

  private:
    bool askAndSave(SaveStep step);
    // Before a save replaces the file: true when it may. When another program
    // changed the file, the user reloads it, overwrites it or cancels.
    bool mayOverwrite();
    // Writes the text over the file; false (after telling why) on failure.
    bool writeText();
    // The question about a file another program changed.
    Answer askAboutChange();
    // Replaces the text by the file's, keeping the caret's line.
    bool reload();
    void settle();
    void setName(const QString& name) { emit nameChanged(name); }
    DocumentText& text_;
    Dialogs& dialogs_;
    SettingsStore& settings_;
    WorkingFolder& folder_;
    const Options& options_;
    RecentFiles recent_;
    QString filter_;
    PathStyle style_ = nativePathStyle();
    // The file as it was last read or written here.
    FileStamp disk_;
    // A change the user left alone at activation.
    QByteArray leftAlone_;
    bool checking_ = false;
};

}  // namespace quv
