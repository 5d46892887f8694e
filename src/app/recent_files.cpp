#include "app/recent_files.h"

namespace quv {

QStringList RecentFiles::paths() const {
    QStringList out;
    for (const Slot& s : slots_) out << s.path;
    return out;
}

void RecentFiles::resetRanks() {
    for (int n = 1; n <= kSlots; ++n) at(n).rank = n;
}

int RecentFiles::recordOpen(const QString& path) {
    int minimum = 100;
    int chosen = 0;
    for (int n = 1; n <= kSlots; ++n) {
        Slot& s = at(n);
        if (s.path.isEmpty()) s.rank = 0;
        if (s.path == path) {
            chosen = n;
            minimum = s.rank;
            break;
        }
        if (s.rank < minimum) {
            chosen = n;
            minimum = s.rank;
        }
    }
    for (Slot& s : slots_)
        if (s.rank > minimum) --s.rank;
    Slot& c = at(chosen);
    c.rank = kSlots;
    c.path = path;
    highlightOnly(chosen);
    return chosen;
}

int RecentFiles::closeHighlighted() {
    int closed = 0;
    for (int n = 1; n <= kSlots; ++n)
        if (at(n).highlighted) closed = n;
    if (closed == 0) return 0;
    Slot& c = at(closed);
    const int r = c.rank;
    c.path.clear();
    for (Slot& s : slots_)
        if (s.rank < r) ++s.rank;
    c.rank = 1;
    return closed;
}

int RecentFiles::firstFilled() const {
    for (int n = 1; n <= kSlots; ++n)
        if (!slot(n).path.isEmpty()) return n;
    return 0;
}

void RecentFiles::highlightOnly(int n) {
    for (int i = 1; i <= kSlots; ++i) at(i).highlighted = (i == n);
}

}  // namespace quv
