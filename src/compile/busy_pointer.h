// The busy mouse pointer over all of the program's windows while a long
// operation runs; the normal pointer comes back however the operation ends.
#pragma once

#include <QApplication>
#include <QCursor>

namespace quv {

class BusyPointer {
  public:
    BusyPointer() { hold(); }
    ~BusyPointer() { release(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

    void hold() {
        if (held_) return;
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        held_ = true;
    }
    // The normal pointer, for instance while the user is asked something.
    void release() {
        if (!held_) return;
        QApplication::restoreOverrideCursor();
        held_ = false;
    }

  private:
    bool held_ = false;
};

}  // namespace quv
