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

    // Five equal buttons 60 twips apart that end 250 twips before the right
    // edge; the editor between the buttons and the status bar; a size that
    // would not be positive keeps the previous one.
    void layout() {
        for (const float W : {9330.0f, 19200.0f, 12345.0f}) {
            LayoutInput in;
            in.W = W;
            in.SW = W - 120;
            const auto r = computeFormLayout(in);
            const float width = (W - 250) / 5 - 60;
            for (size_t i = 0; i < 5; ++i) {
                QVERIFY(qAbs(r.buttonWidth[i].value_or(-1) - width) < 0.05f);
                QVERIFY(qAbs(r.buttonLeft[i] - 60 - i * (width + 60)) < 0.05f);
            }
            QVERIFY(r.barWidth == W && r.buttonFontPoints == 8.0f);
        }
        LayoutInput in;
        in.W = 9330;
        in.SW = 9210;
        in.SH = 6000;
        in.fullMode = true;
        auto r = computeFormLayout(in);
        QVERIFY(r.T == 870 && r.editorTop == 135.0f + 870 + 20 && r.listTop == 970.0f);
        QCOMPARE(QList<float>({*r.editorLeft, *r.editorWidth, *r.editorHeight, r.listLeft}),
                 QList<float>({50, 9210, 6000.0f - 870 - 300 - 135, 9330.0f - 4100}));
        QVERIFY(!r.restoreNormalState);
        in.W = 200;  // at most 200: the editor keeps its left edge and width
        in.SW = 80;
        in.SH = 1100;  // SH - T at most 250: the editor keeps its height
        r = computeFormLayout(in);
        QVERIFY(!r.editorLeft && !r.editorWidth && !r.editorHeight && !r.buttonWidth[0]);
        in.W = 550;    // button width exactly 0
        in.SH = 1300;  // SH - T - 250 > 0 but the editor height would be negative
        r = computeFormLayout(in);
        QVERIFY(!r.buttonWidth[4] && !r.editorHeight);
        // Compact mode gives up the maximised state and leaves the hidden editor.
        in.W = in.SW = 19200;
        in.SH = 12000;
        in.maximised = true;
        QVERIFY(!computeFormLayout(in).restoreNormalState);
        in.fullMode = false;
        r = computeFormLayout(in);
        QVERIFY(r.restoreNormalState && !r.editorHeight);
        QCOMPARE(QList<int>({twipsToPixels(1770), twipsToPixels(-4100)}), QList<int>({118, -273}));
        QCOMPARE(pixelsToTwips(622), 9330.0f);
    }
};

QTEST_APPLESS_MAIN(TestAppRules)
#include "tst_app_rules.moc"
