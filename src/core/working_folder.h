// The process's working folder: the one seam through which the program reads
// and moves it. Opening a document moves it to the document's folder, the
// compiler programs and the word files are looked up in it.
#pragma once

#include <QString>

namespace quv {

class WorkingFolder {
  public:
    virtual ~WorkingFolder() = default;
    // The folder in the platform's own separators, without a trailing one.
    virtual QString current() const = 0;
    // False when the folder does not exist or cannot be entered.
    virtual bool setCurrent(const QString& folder) = 0;
};

// The working folder of the running process.
class ProcessWorkingFolder : public WorkingFolder {
  public:
    QString current() const override;
    bool setCurrent(const QString& folder) override;
};

}  // namespace quv
