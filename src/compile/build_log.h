// What the compiler window shows of a build: every command line with the
// output of its process and how it ended. Output is taken in linear time and
// only its tail is kept, so that a compiler that prints without end neither
// slows the build down nor fills the memory.
#pragma once

#include "compile/shell_process.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace quv {

// The log of one build, bounded however much the compilers print.
class BuildLog {
  public:
    // At least the last this many bytes of each process's output are kept,
    // at most twice as many; the text says how much was left out before them.
    static constexpr qsizetype kKeptOutputBytes = 64 * 1024;

    // A new build: the previous one is forgotten.
    void clear() { runs_.clear(); }
    // A process starts: its command line heads its output.
    void beginProcess(const CommandLine& command);
    void append(const QByteArray& bytes);
    void endProcess(const CommandLine& command, const ShellResult& result);

    // The whole log as the window shows it, line ends as "\n".
    QString text() const;

  private:
    struct Run {
        QString head;
        QByteArray tail;     // the last output, kept to about kKeptOutputBytes
        qint64 dropped = 0;  // bytes of output left out before tail
        QString end;
    };
    QList<Run> runs_;
};

// A byte count as the user reads it: "512 bytes", "64 KB", "297 MB".
QString byteCountText(qint64 bytes);

}  // namespace quv
