// Keeps a command from starting again inside its own waits: the waits pump
// events, so a click or a key can arrive while the command runs.
#pragma once

#include <optional>

namespace quv {

class OneAtATime {
  public:
    // Marks the command as running for as long as it lives.
    class Hold {
      public:
        explicit Hold(bool& flag) : flag_(&flag) { *flag_ = true; }
        Hold(Hold&& other) noexcept : flag_(other.flag_) { other.flag_ = nullptr; }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
        Hold& operator=(Hold&&) = delete;
        ~Hold() {
            if (flag_) *flag_ = false;
        }

      private:
        bool* flag_;
    };

    // Nothing while the command already runs: the caller refuses to start.
    std::optional<Hold> tryStart() {
        if (running_) return std::nullopt;
        return std::optional<Hold>(std::in_place, running_);
    }
    bool running() const { return running_; }

  private:
    bool running_ = false;
};

}  // namespace quv
