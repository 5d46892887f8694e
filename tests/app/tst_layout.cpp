#include "app/layout_rules.h"

#include <QtTest>

using quv::computeFormLayout;
using quv::LayoutInput;

class TestLayout : public QObject {
    Q_OBJECT
  private slots:
    void buttonsAreEqualSixtyApartAndEndBeforeTheRightEdge_data() {
        QTest::addColumn<float>("W");
        QTest::newRow("design width") << 9330.0f;
        QTest::newRow("wide") << 19200.0f;
        QTest::newRow("odd") << 12345.0f;
    }
    void buttonsAreEqualSixtyApartAndEndBeforeTheRightEdge() {
        QFETCH(float, W);
        LayoutInput in;
        in.W = W;
        in.SW = W - 120;
        const auto r = computeFormLayout(in);
        const float width = (W - 250) / 5 - 60;
        QCOMPARE(r.buttonLeft[0], 60.0f);
        for (size_t i = 0; i < 5; ++i) {
            QVERIFY(r.buttonWidth[i].has_value());
            QVERIFY(qAbs(*r.buttonWidth[i] - width) < 0.05f);
            if (i > 0) {
                const float gap = r.buttonLeft[i] - (r.buttonLeft[i - 1] + *r.buttonWidth[i - 1]);
                QVERIFY2(qAbs(gap - 60) < 0.05f, qPrintable(QString::number(gap)));
            }
        }
        QVERIFY(qAbs(r.buttonLeft[4] + *r.buttonWidth[4] - (W - 250)) < 0.05f);
        QCOMPARE(r.barWidth, W);
        QCOMPARE(r.buttonFontPoints, 8.0f);
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

        LayoutInput thin = narrow;
        thin.W = 550;    // button width exactly 0
        thin.SH = 1300;  // SH - T - 250 > 0 but the editor height would be negative
        r = computeFormLayout(thin);
        QVERIFY(!r.buttonWidth[4].has_value());
        QVERIFY(!r.editorHeight);
    }

    void compactModeGivesUpTheMaximisedState() {
        LayoutInput in;
        in.W = 19200;
        in.SW = 19200;
        in.SH = 12000;
        in.maximised = true;
        auto r = computeFormLayout(in);
        QVERIFY(r.restoreNormalState);
        QVERIFY(!r.editorHeight);  // the hidden editor is not resized
        in.fullMode = true;
        r = computeFormLayout(in);
        QVERIFY(!r.restoreNormalState);
    }

    void twipsArePlacedAsPixelsDividedByFifteen() {
        QCOMPARE(quv::twipsToPixels(1770), 118);
        QCOMPARE(quv::twipsToPixels(435), 29);
        QCOMPARE(quv::twipsToPixels(-4100), -273);
        QCOMPARE(quv::pixelsToTwips(622), 9330.0f);
    }
};

QTEST_APPLESS_MAIN(TestLayout)
#include "tst_layout.moc"
