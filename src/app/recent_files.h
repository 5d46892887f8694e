// The five recent-file slots with their recency ranks and the highlight of
// the current document's slot.
#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace quv {

class RecentFiles {
  public:
    static constexpr int kSlots = 5;

    struct Slot {
        QString path;  // empty for an empty slot
        int rank = 0;  // 5: most recently opened, 1: oldest
        bool highlighted = false;
    };

    // Slots are numbered 1 to 5 (buttons 6 to 10).
    const Slot& slot(int n) const { return slots_.at(static_cast<size_t>(n - 1)); }
    void setPath(int n, const QString& path) { at(n).path = path; }
    QStringList paths() const;

    // Start-up: slot 5 counts as the most recent, slot 1 as the oldest.
    void resetRanks();
    // A file was opened: a path already listed keeps its slot, a new one takes
    // the slot of lowest rank (empty slots count 0, ties go to the lower slot).
    // The chosen slot becomes rank 5 and the only highlighted one.
    int recordOpen(const QString& path);
    // Close: the highlighted slot (the last one if several) is emptied and
    // becomes the oldest. Returns it, or 0 when none was highlighted.
    int closeHighlighted();
    // The first slot in button order that holds a path, or 0.
    int firstFilled() const;
    void highlightOnly(int n);

  private:
    Slot& at(int n) { return slots_.at(static_cast<size_t>(n - 1)); }
    std::array<Slot, kSlots> slots_{};
};

}  // namespace quv
