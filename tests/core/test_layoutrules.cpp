#include "core/geometry.h"
#include "core/placement.h"

#include <QtTest>

Q_DECLARE_METATYPE(vantrel::Settings)

using namespace vantrel;

namespace {
Settings layout(int left, int top, int width, int height, int status = 0) {
    Settings s;
    s.Left = left;
    s.Top = top;
    s.Width = width;
    s.Height = height;
    s.Status = status;
    return s;
}
} // namespace

class TestLayoutRules : public QObject {
    Q_OBJECT
private slots:
    void geometryFromTheStoredLayout_data() {
        QTest::addColumn<Settings>("stored");
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("as stored") << layout(50, 50, 600, 680) << QSize(1280, 1024)
                                   << QRect(50, 50, 600, 680);
        // 1200 + 800/4 is not below 1270: to the corner, width kept.
        QTest::newRow("off the right")
            << layout(1200, 40, 800, 500) << QSize(1280, 1024) << QRect(0, 0, 800, 500);
        QTest::newRow("negative left")
            << layout(-50, 30, 600, 500) << QSize(1280, 1024) << QRect(0, 30, 600, 500);
        QTest::newRow("zero top") << layout(10, 0, 600, 500) << QSize(1280, 1024) << QRect(10, 0, 600, 500);
        QTest::newRow("off the bottom")
            << layout(10, 900, 600, 500) << QSize(1280, 1024) << QRect(0, 0, 600, 500);
        // 1000 is more than 1024 - 25.
        QTest::newRow("too wide") << layout(0, 0, 1000, 500) << QSize(1024, 768) << QRect(0, 0, 725, 500);
        QTest::newRow("just fits") << layout(0, 0, 999, 743) << QSize(1024, 768) << QRect(0, 0, 999, 743);
        QTest::newRow("too wide, narrow screen")
            << layout(0, 0, 780, 500) << QSize(790, 768) << QRect(0, 0, 600, 500);
        QTest::newRow("too high") << layout(0, 0, 600, 750) << QSize(1024, 768) << QRect(0, 0, 600, 516);
        QTest::newRow("too high, low screen")
            << layout(0, 0, 500, 590) << QSize(800, 590) << QRect(0, 0, 500, 450);
    }
    void geometryFromTheStoredLayout() {
        QFETCH(Settings, stored);
        QFETCH(QSize, screen);
        QFETCH(QRect, expected);
        const auto g = restoreGeometry(stored, screen);
        QCOMPARE(g.normal, expected);
        QVERIFY(!g.maximized);
    }

    void aMaximisedWindowKeepsItsNormalSize() {
        const auto g = restoreGeometry(layout(50, 60, 640, 480, 1), QSize(1280, 1024));
        QVERIFY(g.maximized);
        QCOMPARE(g.normal, QRect(50, 60, 640, 480));
    }

    void centredPlacement_data() {
        QTest::addColumn<QRect>("main");
        QTest::addColumn<QSize>("dialog");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("centred") << QRect(100, 100, 600, 400) << QSize(200, 100) << QPoint(310, 250);
        // At the right edge of a 1024 x 768 screen: 10 pixels right of the main window's left.
        QTest::newRow("right edge") << QRect(800, 100, 400, 400) << QSize(300, 100) << QPoint(810, 250);
        QTest::newRow("bottom edge") << QRect(100, 600, 400, 400) << QSize(200, 100) << QPoint(210, 600);
        QTest::newRow("exactly at the width")
            << QRect(624, 0, 400, 400) << QSize(400, 100) << QPoint(634, 150);
    }
    void centredPlacement() {
        QFETCH(QRect, main);
        QFETCH(QSize, dialog);
        QFETCH(QPoint, expected);
        QCOMPARE(vantrel::centredPlacement(main, dialog, QSize(1024, 768)), expected);
    }

    void smallDialogPlacement_data() {
        QTest::addColumn<QRect>("main");
        QTest::addColumn<QSize>("dialog");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("centred") << QRect(100, 100, 600, 400) << QSize(200, 100) << QPoint(310, 250);
        // Narrower than the wizard: left + 10, but still centred vertically.
        QTest::newRow("narrow main") << QRect(100, 100, 300, 500) << QSize(400, 300) << QPoint(110, 200);
        // Lower than the wizard: top + 10.
        QTest::newRow("low main") << QRect(100, 100, 600, 200) << QSize(400, 300) << QPoint(210, 110);
        QTest::newRow("off screen") << QRect(900, 700, 600, 400) << QSize(200, 100) << QPoint(910, 710);
    }
    void smallDialogPlacement() {
        QFETCH(QRect, main);
        QFETCH(QSize, dialog);
        QFETCH(QPoint, expected);
        QCOMPARE(vantrel::smallDialogPlacement(main, dialog, QSize(1024, 768)), expected);
    }

    // A window sticking out of the area left to windows (past a task bar at the bottom) moves in
    // by what sticks out; one that fits stays where it is.
    void windowsStayInsideTheAvailableArea() {
        const QRect area(0, 0, 1280, 984); // a 40-pixel task bar under it
        QCOMPARE(keepInside(QRect(10, 800, 300, 250), area), QPoint(10, 734));
        QCOMPARE(keepInside(QRect(10, 300, 300, 250), area), QPoint(10, 300));
        QCOMPARE(keepInside(QRect(1200, 10, 300, 200), area), QPoint(980, 10));
        QCOMPARE(keepInside(QRect(-20, -5, 300, 200), area), QPoint(0, 0));
        // Taller than the area: its top stays in sight.
        QCOMPARE(keepInside(QRect(10, 500, 300, 2000), area), QPoint(10, 0));
        QCOMPARE(keepInside(QRect(10, 500, 300, 200), QRect(0, 30, 1280, 994)), QPoint(10, 500));
    }

    void storedListHeightsAreMadeUsable() {
        QCOMPARE(fitListHeights({23, 23}, 0), (ListHeights{kMinListBlock, kMinListBlock}));
        QCOMPARE(fitListHeights({150, 90}, 0), (ListHeights{150, 90}));
        QCOMPARE(fitListHeights({150, 90}, 500), (ListHeights{150, 90}));
        // Too tall for the page: both give way, the details box keeps its room.
        const ListHeights h = fitListHeights({400, 400}, 500);
        QVERIFY(h.upper + h.lower <= 500 - kMinDetailsBox);
        QCOMPARE(h.upper, h.lower);
        // A page too small for both keeps each at the minimum.
        QCOMPARE(fitListHeights({300, 300}, 100), (ListHeights{kMinListBlock, kMinListBlock}));
    }
};

QTEST_GUILESS_MAIN(TestLayoutRules)
#include "test_layoutrules.moc"
