// The error list window "Error List": the compiler's errors for the current
// document in three lists (line, file, message) kept in step; choosing a row
// opens the error's file when needed and puts the caret on its line.
#pragma once

#include "compile/error_file.h"

#include <QList>
#include <QWidget>

#include <functional>

class QLabel;
class QListWidget;

namespace quv {

class CurrentDocument;

// The error list window.
class Errors : public QWidget {
    Q_OBJECT
  public:
    struct Hooks {
        // Puts the editor's caret at the start of the 0-based line.
        std::function<void(qint32 line)> gotoLine;
        // Brings the main window to the front, ready for typing.
        std::function<void()> showMainWindow;
    };
    Errors(CurrentDocument& document, Hooks hooks, QWidget* parent);

    // Reads the error file of the file built (the current document when no
    // name is given) into the lists and shows the window on top of the main
    // window without activating it. A missing or unreadable error file
    // leaves the lists empty; one too large to read gives a row that says so.
    void Form_Load(const QString& builtFile = QString());
    // Closes the window and forgets its rows; nothing happens when it is not
    // shown.
    void unload();

    QLabel* Label1() const { return labels_[0]; }
    QLabel* Label2() const { return labels_[1]; }
    QLabel* Label3() const { return labels_[2]; }
    QListWidget* List1() const { return lists_[0]; }
    QListWidget* List2() const { return lists_[1]; }
    QListWidget* List3() const { return lists_[2]; }

    // Selects the row in all three lists and jumps to its error.
    void selectRow(int row);
    // The rows shown, and the one chosen last (-1: none).
    const QList<ErrorRecord>& records() const { return records_; }
    int currentRow() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void clearRows();
    CurrentDocument& document_;
    Hooks hooks_;
    QList<ErrorRecord> records_;
    QLabel* labels_[3];
    QListWidget* lists_[3];
    int rowAtPress_ = -1;
    bool placed_ = false;
};

}  // namespace quv
