#include "widgets/datagrid.h"
#include "widgets/navbar.h"
#include "widgets/phoneedit.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

using namespace vantrel;

namespace {
DataGrid* makeGrid() {
    auto* g = new DataGrid;
    g->setColumns({{"Last Name", "lastname", 83}, {"First Name", "firstname", 86}});
    g->loadRows({{"smith", "Zoe"}, {"Adams", "Bob"}, {"Miller", "al"}});
    return g;
}

QStringList column(DataGrid* g, int c) {
    QStringList out;
    for (int r = 1; r <= g->shownRows(); ++r)
        out << g->cell(r, c);
    return out;
}
} // namespace

class TestWidgets : public QObject {
    Q_OBJECT
private slots:
    void anEmptyListShowsOneEmptyRow() {
        DataGrid g;
        g.setColumns({{"Medicine", "name", 450}});
        QCOMPARE(g.shownRows(), 1);
        QVERIFY(g.isEmptyList());
        QCOMPARE(g.dataRowOf(1), 0);
        QVERIFY(g.columnWidth(0) >= 450); // the last column takes the room that is left
        QCOMPARE(g.verticalHeader()->width(), 12);
    }

    // Given widths are the start: a column grows to its values while there is room, the last
    // one fills the grid, and a value still cut shows whole in its tooltip.
    void columnsShowWholeValuesOrTellThemInATooltip() {
        DataGrid g;
        g.setColumns({{"Start Time", "STARTTIME", 60}, {"End Time", "ENDTIME", 60}});
        g.resize(500, 200);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        g.loadRows({{"12/9/2026 11:05:10 AM", "12/9/2026 11:35:10 AM"}});
        const int needed = g.fontMetrics().horizontalAdvance("12/9/2026 11:05:10 AM");
        QVERIFY(g.columnWidth(0) > needed);
        QVERIFY(g.columnWidth(0) + g.columnWidth(1) >= g.viewport()->width() - 1);
        QVERIFY(g.toolTipFor(1, 0).isEmpty()); // nothing cut, nothing to tell
        g.resize(120, 200);                    // no room: back to the given widths
        QTRY_COMPARE(g.columnWidth(0), 60);
        QCOMPARE(g.toolTipFor(1, 0), QStringLiteral("12/9/2026 11:05:10 AM"));
        QCOMPARE(g.horizontalHeader()->sortIndicatorSection(), 0);
        QVERIFY(g.horizontalHeader()->isSortIndicatorShown());
    }

    void loadingSortsAndKeepsTheMapToTheData() {
        std::unique_ptr<DataGrid> g(makeGrid());
        QCOMPARE(column(g.get(), 0), QStringList({"Adams", "Miller", "smith"})); // letter case aside
        QCOMPARE(g->dataRowOf(1), 2);
        QCOMPARE(g->dataRowOf(3), 1);
        QCOMPARE(g->horizontalHeader()->sortIndicatorSection(), 0);
    }

    void aHeaderClickSortsAndASecondOneTurnsTheOrder() {
        std::unique_ptr<DataGrid> g(makeGrid());
        QSignalSpy sorted(g.get(), &DataGrid::clickSort);
        g->clickHeader(1);
        QCOMPARE(column(g.get(), 1), QStringList({"al", "Bob", "Zoe"}));
        QCOMPARE(g->dataRowOf(1), 3);
        g->clickHeader(1);
        QCOMPARE(column(g.get(), 1), QStringList({"Zoe", "Bob", "al"}));
        QCOMPARE(g->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(sorted.size(), 2);
        // A reload keeps the user's sort; a new profile starts again on the first column.
        g->loadRows({{"b", "2"}, {"a", "1"}, {"c", "3"}});
        QCOMPARE(column(g.get(), 1), QStringList({"3", "2", "1"}));
        g->resetSortColumn();
        g->resort();
        QCOMPARE(column(g.get(), 0), QStringList({"c", "b", "a"}));
    }

    void datesSortByTimeNotByText() {
        DataGrid g;
        g.setColumns({{"Start Time", "STARTTIME", 135}});
        // As text "10/1/2026" would come before "9/30/2026".
        g.loadRows({{"10/1/2026"}, {"9/30/2026"}, {"12/25/2025"}}, {{46296.0}, {46295.0}, {46016.0}});
        QCOMPARE(column(&g, 0), QStringList({"12/25/2025", "9/30/2026", "10/1/2026"}));
        QCOMPARE(g.dataRowOf(1), 3);
        g.clickHeader(0);
        QCOMPARE(column(&g, 0), QStringList({"10/1/2026", "9/30/2026", "12/25/2025"}));
    }

    void theRowChangeHandlerMayRefuseAMove() {
        std::unique_ptr<DataGrid> g(makeGrid());
        g->show();
        g->selectShownRow(1);
        QList<int> asked;
        bool allow = false;
        g->onRowChanging = [&](int row) {
            asked << row;
            return allow;
        };
        g->setCurrentCell(2, 0);
        QCOMPARE(asked, QList<int>({3}));
        QCOMPARE(g->selectedRow(), 1);
        allow = true;
        g->setCurrentCell(1, 0);
        QCOMPARE(g->selectedRow(), 2);
        QSignalSpy dbl(g.get(), &DataGrid::dblClickCell);
        emit g->cellDoubleClicked(1, 0);
        QCOMPARE(dbl.takeFirst(), QVariantList({2, 1}));
    }

    void theUsPhoneFormat() {
        PhoneEdit e;
        e.setUsFormat(true);
        QVERIFY(e.isComplete()); // nothing typed
        QCOMPARE(e.storedText(), QString());
        e.setCursorPosition(0);
        QTest::keyClicks(&e, "5551234567");
        QCOMPARE(e.storedText(), QStringLiteral("(555) 123-4567"));
        QVERIFY(e.isComplete());
        e.clear();
        e.setCursorPosition(0);
        QTest::keyClicks(&e, "   1234567");
        QCOMPARE(e.storedText(), QStringLiteral("(   ) 123-4567")); // the area code may be left out
        QVERIFY(e.isComplete());
        e.setStoredText(QStringLiteral("(555) 12"));
        QVERIFY(!e.isComplete()); // required digits missing
        e.setStoredText(QStringLiteral("(555) 201-3344"));
        QCOMPARE(e.storedText().size(), 14);
        e.setUsFormat(false);
        e.setText("+49 30 1234 5678 99");
        QCOMPARE(e.storedText().size(), 15); // free text up to the field's width
    }

    void leavingAnIncompleteNumberIsReportedAndEscapeAbandonsIt() {
        QWidget w;
        auto* e = new PhoneEdit(&w);
        auto* other = new QLineEdit(&w);
        e->setUsFormat(true);
        e->setStoredText(QStringLiteral("(555) 201-3344"));
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QSignalSpy left(e, &PhoneEdit::leftIncomplete);
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, "555");
        other->setFocus();
        QCOMPARE(left.size(), 1);
        e->setFocus();
        QFocusEvent toTheWarning(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(e, &toTheWarning); // the warning box taking the focus is no leave
        QCOMPARE(left.size(), 1);
        QTest::keyClick(e, Qt::Key_Escape);
        QCOMPARE(e->storedText(), QStringLiteral("(555) 201-3344"));
        other->setFocus();
        QCOMPARE(left.size(), 1);
    }

    // The item of the page shown is marked, and the white caption stays readable on its ground
    // in every state: resting, under the mouse, pressed and current.
    void theNavigationBarMarksTheCurrentItemAndKeepsCaptionsReadable() {
        NavBar bar(QStringLiteral("Functions"));
        for (const char* caption : {"Doctors", "Medicines", "Calendar"})
            bar.addItem(QIcon(), QString::fromLatin1(caption));
        bar.resize(92, 300);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QCOMPARE(bar.current(), -1);
        QTest::mouseClick(bar.item(1), Qt::LeftButton);
        QCOMPARE(bar.current(), 1);
        QTest::mouseClick(bar.item(1), Qt::LeftButton); // a second click keeps the mark
        QCOMPARE(bar.current(), 1);
        bar.setCurrent(2);
        QVERIFY(!bar.item(1)->isChecked());
        QVERIFY(bar.item(2)->isChecked());

        // The ground behind the caption (a corner pixel of the button) is dark in every state.
        const auto ground = [](QToolButton* b) { return QColor(b->grab().toImage().pixel(3, b->height() - 3)); };
        QToolButton* b = bar.item(0);
        QVERIFY2(ground(b).lightness() < 160, "resting");
        b->setDown(true);
        QVERIFY2(ground(b).lightness() < 160, "pressed");
        b->setDown(false);
        QTest::mouseMove(b);
        QVERIFY2(ground(b).lightness() < 160, "under the mouse");
        QVERIFY2(ground(bar.item(2)).lightness() < 160, "current");
        // The current item stands apart from the others.
        QVERIFY(ground(bar.item(2)) != ground(bar.item(1)));
    }
};

QTEST_MAIN(TestWidgets)
#include "test_widgets.moc"
