// The compiler window: every command line of the last build with the output
// of its process, shown as it comes when the option "Show Compiler window"
// is checked and kept for later when it is not.
#pragma once

#include "compile/shell_process.h"

#include <QStringDecoder>
#include <QWidget>

class QPlainTextEdit;

namespace quv {

class BuildOutput : public QWidget {
    Q_OBJECT
  public:
    explicit BuildOutput(QWidget* parent = nullptr);

    // Forgets the output of the previous build.
    void beginBuild();
    // A process starts: its command line heads its output.
    void beginProcess(const CommandLine& command);
    void appendOutput(const QByteArray& bytes);
    void endProcess(const CommandLine& command, const ShellResult& result);

    // Shows the window without taking the keyboard focus from the editor.
    void showBeside();
    QString text() const;
    QPlainTextEdit* view() const { return view_; }

  private:
    void append(const QString& text);
    QPlainTextEdit* view_;
    QStringDecoder decoder_;
    bool lineOpen_ = false;  // the last line shown has no line end yet
    bool placed_ = false;
};

}  // namespace quv
