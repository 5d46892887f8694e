// The window rules that need no window: the recent-file ranks and the
// layout formulas.
#include "app/layout_rules.h"
#include "app/recent_files.h"

#include <QtTest>

using namespace quv;

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
}  // namespace

class TestAppRules : public QObject {
    Q_OBJECT
  private slots:
    // Each step is "+path" (opened) or "close"; the slots start with the
    // given paths, ranked as at start-up.
    void recentFiles_data() {
        QTest::addColumn<QStringList>("start");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QList<int>>("ranks");
        QTest::addColumn<int>("highlight");
        const QStringList full{"/a", "/b", "/c", "/d", "/e"};
        QTest::newRow("a sixth file replaces the oldest")
            << full << QStringList{"+/f"} << QStringList{"/f", "/b", "/c", "/d", "/e"}
            << QList<int>{5, 1, 2, 3, 4} << 1;
        QTest::newRow("and the next one the slot now oldest")
            << full << QStringList{"+/f", "+/g"} << QStringList{"/f", "/g", "/c", "/d", "/e"}
            << QList<int>{4, 5, 1, 2, 3} << 2;
        QTest::newRow("a listed file keeps its slot")
            << full << QStringList{"+/b"} << full << QList<int>{1, 5, 2, 3, 4} << 2;
        QTest::newRow("empty slots count 0, ties go to the lower slot")
            << QStringList{"/a", "/b", "/c", "", ""} << QStringList{"+/x", "+/y"}
            << QStringList{"/y", "/b", "/c", "/x", ""} << QList<int>{5, 0, 1, 4, 0} << 1;
        QTest::newRow("letter case counts")
            << QStringList(5, QString()) << QStringList{"+/P", "+/p", "+/P"}
            << QStringList{"/P", "/p", "", "", ""} << QList<int>{5, 4, 0, 0, 0} << 1;
        QTest::newRow("close empties the highlighted slot and makes it the oldest")
            << full << QStringList{"+/d", "close"} << QStringList{"/a", "/b", "/c", "", "/e"}
            << QList<int>{2, 3, 4, 1, 5} << 4;
        QTest::newRow("the emptied slot is reused first")
            << full << QStringList{"+/d", "close", "+/n"}
            << QStringList{"/a", "/b", "/c", "/n", "/e"} << QList<int>{1, 2, 3, 5, 4} << 4;
        QTest::newRow("close with nothing highlighted changes no rank")
            << QStringList{"/a", "", "", "", ""} << QStringList{"close"}
            << QStringList{"/a", "", "", "", ""} << QList<int>{1, 2, 3, 4, 5} << 0;
    }
    void recentFiles() {
        QFETCH(QStringList, start);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, paths);
        QFETCH(QList<int>, ranks);
        QFETCH(int, highlight);
        RecentFiles r;
        for (int n = 1; n <= start.size(); ++n) r.setPath(n, start.at(n - 1));
        r.resetRanks();
        for (const QString& step : steps)
            step == "close" ? void(r.closeHighlighted()) : void(r.recordOpen(step.mid(1)));
        QCOMPARE(r.paths(), paths);
        QCOMPARE(::ranks(r), ranks);
        QCOMPARE(highlighted(r), highlight);
        // After a close the first remaining file in button order is opened.
        QCOMPARE(r.firstFilled(), int(paths.indexOf(QRegularExpression(".+")) + 1));
    }

    void buttonsAreEqualSixtyApartAndEndBeforeTheRightEdge() {
        for (const float W : {9330.0f, 19200.0f, 12345.0f}) {
            LayoutInput in;
            in.W = W;
            in.SW = W - 120;
            const auto r = computeFormLayout(in);
            const float width = (W - 250) / 5 - 60;
            QCOMPARE(r.buttonLeft[0], 60.0f);
            for (size_t i = 0; i < 5; ++i) {
                QVERIFY(qAbs(r.buttonWidth[i].value_or(-1) - width) < 0.05f);
                if (i > 0)
                    QVERIFY(qAbs(r.buttonLeft[i] - r.buttonLeft[i - 1] - width - 60) < 0.05f);
            }
            QVERIFY(qAbs(r.buttonLeft[4] + *r.buttonWidth[4] - (W - 250)) < 0.05f);
            QCOMPARE(r.barWidth, W);
            QCOMPARE(r.buttonFontPoints, 8.0f);
        }
    }

    void editorSitsBelowTheButtonsAndAboveTheStatusBar() {
        LayoutInput in;
        in.W = 9330;
        in.SW = 9210;
        in.SH = 6000;
        in.fullMode = true;
        const auto r = computeFormLayout(in);
        QCOMPARE(r.T, 870);
        QCOMPARE(r.editorTop, 135.0f + 870 + 20);
        QCOMPARE(*r.editorLeft, 50.0f);
        QCOMPARE(*r.editorWidth, 9210.0f);
        QCOMPARE(*r.editorHeight, 6000.0f - 870 - 300 - 135);
        QCOMPARE(r.listTop, 970.0f);
        QCOMPARE(r.listLeft, 9330.0f - 4100);
        QVERIFY(!r.restoreNormalState);
    }

    void sizesThatWouldNotBePositiveKeepThePreviousOnes() {
        LayoutInput narrow;
        narrow.W = 200;  // at most 200: the editor keeps its left edge and width
        narrow.SW = 80;
        narrow.SH = 1100;  // SH - T at most 250: the editor keeps its height
        narrow.fullMode = true;
        auto r = computeFormLayout(narrow);
        QVERIFY(!r.editorLeft && !r.editorWidth && !r.editorHeight);
        QVERIFY(!r.buttonWidth[0].has_value());  // (W - 250) / 5 - 60 <= 0
        QVERIFY(r.listLeft < 0);
        narrow.W = 550;    // button width exactly 0
        narrow.SH = 1300;  // SH - T - 250 > 0 but the editor height would be negative
        r = computeFormLayout(narrow);
        QVERIFY(!r.buttonWidth[4].has_value());
        QVERIFY(!r.editorHeight);
    }

    void compactModeGivesUpTheMaximisedState() {
        LayoutInput in;
        in.W = in.SW = 19200;
        in.SH = 12000;
        in.maximised = true;
        auto r = computeFormLayout(in);
        QVERIFY(r.restoreNormalState);
        QVERIFY(!r.editorHeight);  // the hidden editor is not resized
        in.fullMode = true;
        QVERIFY(!computeFormLayout(in).restoreNormalState);
        QCOMPARE(twipsToPixels(1770), 118);
        QCOMPARE(twipsToPixels(-4100), -273);
        QCOMPARE(pixelsToTwips(622), 9330.0f);
    }
};

QTEST_APPLESS_MAIN(TestAppRules)
#include "tst_app_rules.moc"
