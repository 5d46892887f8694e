// The busy mouse pointer of a long command: on for as long as the holder
// lives, off while the user is asked or told something, and always off again
// when the command ends.
#pragma once

#include <functional>

namespace quv {

class BusyPointer {
  public:
    // set(true) shows the busy pointer, set(false) the default one; an empty
    // function does nothing.
    explicit BusyPointer(const std::function<void(bool)>& set) : set_(set) {}
    ~BusyPointer() { release(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
    void hold() { flip(true); }
    void release() { flip(false); }

  private:
    void flip(bool on) {
        if (held_ == on) return;
        held_ = on;
        if (set_) set_(on);
    }
    const std::function<void(bool)>& set_;
    bool held_ = false;
};

}  // namespace quv
