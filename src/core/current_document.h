// What the subsystems may read of the document in the editor, and the few
// things they may ask of it: the save question, a save, an open.
#pragma once

#include <QString>

namespace quv {

class CurrentDocument {
  public:
    virtual ~CurrentDocument() = default;
    // CurrentFileName: the path the compiler and the upload work on.
    virtual QString fileName() const = 0;
    // Source_changed: the text differs from the file.
    virtual bool changed() const = 0;
    // The save question before a command replaces or builds a changed
    // document. False when a save was tried and failed: the command stops,
    // so that no work is lost.
    virtual bool askToSave() = 0;
    // Save_program; false (after telling the user why) when the file could
    // not be written.
    virtual bool save() = 0;
    // Open_File; true when the file is now the document.
    virtual bool open(const QString& path) = 0;
};

}  // namespace quv
