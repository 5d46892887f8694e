// The compiler window: every command line of the last build with the output
// of its process, shown as it comes when the option "Show Compiler window"
// is checked and kept for later when it is not.
#pragma once

#include <QTimer>
#include <QWidget>

class QPlainTextEdit;

namespace quv {

class BuildLog;

// The compiler window, a view of the build's log.
class BuildOutput : public QWidget {
    Q_OBJECT
  public:
    explicit BuildOutput(const BuildLog& log, QWidget* parent = nullptr);

    // The log has changed: a shown window catches up a moment later, so that
    // a compiler that prints much costs the window a few redraws a second.
    void logChanged();
    // Shows the window with the whole log, without taking the keyboard focus
    // from the editor.
    void showBeside();
    // The view catches up with the log at once.
    void refresh();
    QString text() const;

  private:
    const BuildLog& log_;
    QPlainTextEdit* view_;
    QTimer refresh_;
    bool placed_ = false;
};

}  // namespace quv
