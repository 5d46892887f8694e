#include "app/recent_files.h"

#include <QtTest>

using quv::RecentFiles;

namespace {
QList<int> ranks(const RecentFiles& r) {
    QList<int> out;
    for (int n = 1; n <= RecentFiles::kSlots; ++n) out << r.slot(n).rank;
    return out;
}
int highlighted(const RecentFiles& r) {
    int h = 0;
    for (int n = 1; n <= RecentFiles::kSlots; ++n)
        if (r.slot(n).highlighted) h = h ? -1 : n;  // -1: more than one
    return h;
}
RecentFiles startedWith(const QStringList& paths) {
    RecentFiles r;
    for (int n = 1; n <= paths.size(); ++n) r.setPath(n, paths.at(n - 1));
    r.resetRanks();
    return r;
}
}  // namespace

class TestRecentFiles : public QObject {
    Q_OBJECT
  private slots:
    void aSixthFileReplacesTheOldestAndRanksStayOneToFive() {
        RecentFiles r = startedWith({"/a.c", "/b.c", "/c.c", "/d.c", "/e.c"});
        QCOMPARE(r.recordOpen("/f.c"), 1);
        QCOMPARE(r.paths(), QStringList({"/f.c", "/b.c", "/c.c", "/d.c", "/e.c"}));
        QCOMPARE(ranks(r), QList<int>({5, 1, 2, 3, 4}));
        QCOMPARE(highlighted(r), 1);
        // The next new file takes the slot that is now oldest.
        QCOMPARE(r.recordOpen("/g.c"), 2);
        QCOMPARE(ranks(r), QList<int>({4, 5, 1, 2, 3}));
    }

    void reopeningAListedFileKeepsItsSlot() {
        RecentFiles r = startedWith({"/a.c", "/b.c", "/c.c", "/d.c", "/e.c"});
        QCOMPARE(r.recordOpen("/b.c"), 2);
        QCOMPARE(r.paths(), QStringList({"/a.c", "/b.c", "/c.c", "/d.c", "/e.c"}));
        // Slots that were more recent than b drop by one; older ones stay.
        QCOMPARE(ranks(r), QList<int>({1, 5, 2, 3, 4}));
        QCOMPARE(highlighted(r), 2);
    }

    void threeFilledSlotsThenTwoNewFiles() {
        RecentFiles r = startedWith({"/a.c", "/b.c", "/c.c", "", ""});
        QCOMPARE(r.recordOpen("/x.c"), 4);
        // Slot 1 has dropped to 0, level with the empty slot 5; slot 1 wins.
        QCOMPARE(r.recordOpen("/y.c"), 1);
        QCOMPARE(r.paths(), QStringList({"/y.c", "/b.c", "/c.c", "/x.c", ""}));
        QCOMPARE(highlighted(r), 1);
    }

    void pathsDifferingOnlyInLetterCaseTakeTwoSlots() {
        RecentFiles r = startedWith({"", "", "", "", ""});
        QCOMPARE(r.recordOpen("/src/Prog.c"), 1);
        QCOMPARE(r.recordOpen("/src/prog.c"), 2);
        QCOMPARE(r.recordOpen("/src/Prog.c"), 1);
    }

    void closeEmptiesTheHighlightedSlotAndMakesItTheOldest() {
        RecentFiles r = startedWith({"/a.c", "/b.c", "/c.c", "/d.c", "/e.c"});
        r.recordOpen("/d.c");  // ranks 1 2 3 5 4
        QCOMPARE(r.closeHighlighted(), 4);
        QCOMPARE(r.slot(4).path, QString());
        QCOMPARE(ranks(r), QList<int>({2, 3, 4, 1, 5}));
        // The first remaining file in button order, not the most recent.
        QCOMPARE(r.firstFilled(), 1);
        // The emptied slot is the first to be reused.
        QCOMPARE(r.recordOpen("/n.c"), 4);
    }

    void closeWithNothingHighlightedChangesNoRank() {
        RecentFiles r = startedWith({"/a.c", "", "", "", ""});
        QCOMPARE(r.closeHighlighted(), 0);
        QCOMPARE(ranks(r), QList<int>({1, 2, 3, 4, 5}));
        QCOMPARE(r.slot(1).path, QString("/a.c"));
        RecentFiles empty;
        QCOMPARE(empty.firstFilled(), 0);
    }
};

QTEST_APPLESS_MAIN(TestRecentFiles)
#include "tst_recent_files.moc"
