// The calendar page: what a rebuild writes, the filters, navigation, and the page's controls.
#include "core/datetime.h"
#include "core/plannerlayout.h"
#include "schedule/calendarpage.h"
#include "schedule/dosingwizard.h"
#include "support/guifixture.h"
#include "support/plans.h"
#include "widgets/plannergrid.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSplitter>
#include <QSqlQuery>
#include <QStackedWidget>
#include <QToolButton>
#include <QtTest>

using namespace vantrel;
using test::MainWindowFixture;

namespace {
// The fixture's "now" is Monday 5 January 2026, 9:00.
double at(int day, int h, int m = 0) {
    return dt::encode(2026, 1, day, h, m);
}

void household(MainWindowFixture& f) {
    f.seed([](data::Database& db) {
        test::addLink(db, "dlref", 1, test::addDoctor(db, "Anna", "Berger"));
        test::addLink(db, "mlref", 1, test::addMedicine(db, "Aspirin"));
        test::PlanSpec dose;
        dose.start = at(1, 8);
        dose.repeat = "D";
        test::addPlan(db, dose);
        test::PlanSpec appt;
        appt.type = "D";
        appt.doctor = 1;
        appt.start = at(6, 14);
        test::addPlan(db, appt);
        test::PlanSpec orphan = appt; // its doctor is gone
        orphan.doctor = 99;
        orphan.start = at(7, 9);
        test::addPlan(db, orphan);
        test::PlanSpec other = dose; // another profile's dose is not shown
        other.patient = 2;
        test::addPlan(db, other);
    });
}

struct Item {
    QString key, subject;
    int colour;
    double start;
};
QList<Item> planner(data::Database& db) {
    QList<Item> out;
    QSqlQuery& q = db.run("SELECT PLANNERKEY, SUBJECT, COLOR, STARTTIME FROM drplanner ORDER BY STARTTIME");
    while (q.next())
        out.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toInt(), q.value(3).toDouble()});
    q.finish();
    return out;
}
int countOf(const QList<Item>& items, int colour) {
    return static_cast<int>(
        std::count_if(items.begin(), items.end(), [&](const Item& i) { return i.colour == colour; }));
}
} // namespace

class TestCalendar : public QObject {
    Q_OBJECT
private slots:
    void theRebuildWritesTheWindowsItems() {
        MainWindowFixture f({}, household);
        const QList<Item> items = planner(f.ctx.db);
        QCOMPARE(countOf(items, 160), 6);   // the daily dose, each day of the window
        QCOMPARE(countOf(items, 53258), 2); // the appointment and the one whose doctor is gone
        static const QRegularExpression guid(
            "^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$");
        QSet<QString> keys;
        for (const Item& i : items) {
            QVERIFY2(guid.match(i.key).hasMatch(), qPrintable(i.key));
            keys.insert(i.key);
        }
        QCOMPARE(keys.size(), items.size());
        QCOMPARE(items[0].subject, QStringLiteral("Aspirin"));
        const auto appointment =
            std::find_if(items.begin(), items.end(), [](const Item& i) { return i.start == at(6, 14); });
        QCOMPARE(appointment->subject, QStringLiteral("Dr. Anna Berger"));
        const auto orphan =
            std::find_if(items.begin(), items.end(), [](const Item& i) { return i.start == at(7, 9); });
        QCOMPARE(orphan->subject, QString());
        QCOMPARE(orphan->colour, 53258);
        // The grid shows the visible days: three as stored by default, five when asked, with no
        // rebuild.
        auto* grid = f.find<PlannerGrid>("DBPlanner1");
        QCOMPARE(grid->dayCount(), 3);
        QCOMPARE(grid->visibleItems().size(), 3 + 2);
        const quint64 statements = f.ctx.db.statementCount();
        f.find<QRadioButton>("rb5days")->click();
        QCOMPARE(grid->dayCount(), 5);
        QCOMPARE(grid->visibleItems().size(), 5 + 2);
        QCOMPARE(f.ctx.db.statementCount(), statements);
    }

    void theFiltersRemoveAndBringBackTheirItems() {
        MainWindowFixture f({}, household);
        f.find<QCheckBox>("chkMedicine")->click();
        QCOMPARE(countOf(planner(f.ctx.db), 160), 0);
        QCOMPARE(countOf(planner(f.ctx.db), 53258), 2);
        f.find<QCheckBox>("chkAppointments")->click();
        QVERIFY(planner(f.ctx.db).isEmpty());
        f.find<QCheckBox>("chkMedicine")->click();
        f.find<QCheckBox>("chkAppointments")->click();
        QCOMPARE(planner(f.ctx.db).size(), 8);
    }

    // From the 31st, the next button moves grid, month calendar and headers to the 1st.
    void navigationOverTheEndOfAMonth() {
        MainWindowFixture f({}, household);
        auto* page = f.window->calendarPage();
        page->monthCalendar()->setSelectedDate(QDate(2026, 1, 31)); // as a click selects it
        page->MonthCalendar1Click(QDate(2026, 1, 31));
        auto* grid = f.find<PlannerGrid>("DBPlanner1");
        QCOMPARE(grid->firstDay(), at(31, 0));
        QCOMPARE(grid->captions().value(1), QStringLiteral("Sat, Jan 31, 2026"));
        QCOMPARE(grid->captions().size(), 6);
        QTest::mouseClick(grid->findChild<QToolButton*>("plannerNext"), Qt::LeftButton);
        QCOMPARE(grid->firstDay(), dt::encode(2026, 2, 1));
        QCOMPARE(page->monthCalendar()->selectedDate(), QDate(2026, 2, 1));
        QCOMPARE(grid->captions().value(1), QStringLiteral("Sun, Feb 01, 2026"));
        QCOMPARE(planner(f.ctx.db).first().start, dt::encode(2026, 2, 1, 8));
        QTest::mouseClick(grid->findChild<QToolButton*>("plannerPrev"), Qt::LeftButton);
        QCOMPARE(page->monthCalendar()->selectedDate(), QDate(2026, 1, 31));
    }

    void hideAndShowTheCalendar() {
        MainWindowFixture f({}, household);
        auto* button = f.find<QPushButton>("Button1");
        auto* header = f.window->calendarPage()->header();
        QCOMPARE(header->height() > 0 ? header->maximumHeight() : 0, 154);
        button->click();
        QCOMPARE(button->text(), QStringLiteral("Show Calendar"));
        QCOMPARE(header->maximumHeight(), 28);
        QVERIFY(!f.window->calendarPage()->monthCalendar()->isVisibleTo(header));
        button->click();
        QCOMPARE(button->text(), QStringLiteral("Hide Calendar"));
        QCOMPARE(header->maximumHeight(), 154);
    }

    // Precision: rows of 15, 30 or 60 minutes; the time at the top of the grid stays.
    void precisionKeepsTheTopTime() {
        // A window small enough that even an hour a row does not show the whole day.
        MainWindowFixture f([](Settings& s) { s.Height = 480; }, household);
        f.window->show();
        f.window->dxSideBar1ItemClick(2);
        auto* grid = f.find<PlannerGrid>("DBPlanner1");
        QVERIFY(f.find<QRadioButton>("rbprec30")->isChecked()); // the stored default
        QCOMPARE(grid->precision(), 30);                        // the rows follow the selected button
        QCOMPARE(grid->rowHeight(), 22);
        QTRY_COMPARE(qRound(grid->topMinutes()), 8 * 60);
        f.find<QRadioButton>("rbprec60")->click();
        QCOMPARE(grid->precision(), 60);
        QCOMPARE(grid->rowHeight(), 22);
        QCOMPARE(qRound(grid->topMinutes()), 8 * 60);
        f.find<QRadioButton>("rbprec15")->click();
        QCOMPARE(grid->rowHeight(), 20);
        QCOMPARE(qRound(grid->topMinutes()), 8 * 60);
    }

    // A dosing entered through the wizard and a profile switch both rebuild the calendar.
    void changesOfPlansAndProfilesRebuild() {
        MainWindowFixture f({}, household, {QStringLiteral("Ann"), QStringLiteral("Ben")});
        f.window->dxSideBar1ItemClick(1);
        auto added = test::whenModal<TfrmDosing>([](TfrmDosing* w) {
            for (int i = 0; i < 10 && w->pages()->currentIndex() != w->pages()->count() - 1; ++i)
                QTest::mouseClick(w->findChild<QPushButton*>("btnnext"), Qt::LeftButton);
            QTest::mouseClick(w->findChild<QPushButton*>("btnnext"), Qt::LeftButton);
        });
        QTest::mouseClick(f.find<QPushButton>("btnAddMedicine"), Qt::LeftButton);
        QVERIFY(added->ran);
        QCOMPARE(countOf(planner(f.ctx.db), 160), 12);
        Messages::setNextAnswer(QMessageBox::Yes);
        f.find<QComboBox>("cbPatient")->setCurrentIndex(1);
        f.window->cbPatientChange();
        QCOMPARE(planner(f.ctx.db).size(), 6); // Ben's daily dose only
    }

    // Hiding the month calendar gives its room to the grid, and showing it takes it back.
    void hidingTheCalendarGivesTheGridItsRoom() {
        MainWindowFixture f({}, household);
        f.window->show();
        f.window->dxSideBar1ItemClick(2);
        auto* grid = f.find<PlannerGrid>("DBPlanner1");
        auto* header = f.window->calendarPage()->header();
        auto* split = f.find<QSplitter>("CalendarSplitter");
        QTRY_VERIFY(grid->height() > 0);
        // The grid starts right under the header, and ends at the foot of the page.
        const auto noBand = [&] {
            return grid->y() - header->geometry().bottom() - 1 <= split->handleWidth() &&
                   grid->geometry().bottom() == split->height() - 1;
        };
        QTRY_VERIFY(noBand());
        f.find<QPushButton>("Button1")->click();
        QTRY_COMPARE(header->height(), 28);
        QTRY_VERIFY(noBand());
        QCOMPARE(grid->height(), split->height() - 28 - split->handleWidth());
        f.find<QPushButton>("Button1")->click();
        QTRY_COMPARE(header->height(), 154);
        QTRY_VERIFY(noBand());
    }

    // At the window's default size with five days: the headers shorten to fit their columns, the
    // description can be read whole, and every item, however narrow, tells all in its tooltip.
    void atTheDefaultSizeNothingIsCut() {
        MainWindowFixture f([](Settings& s) { s.dayview = 5; },
                            [](MainWindowFixture& g) {
                                household(g);
                                g.seed([](data::Database& db) {
                                    for (int i = 0; i < 4; ++i) { // four doses at one time, side by side
                                        test::PlanSpec dose;
                                        dose.start = at(5, 11);
                                        dose.repeat = "D";
                                        test::addPlan(db, dose);
                                    }
                                });
                            });
        f.window->show();
        f.window->dxSideBar1ItemClick(2);
        auto* grid = f.find<PlannerGrid>("DBPlanner1");
        QTRY_VERIFY(grid->canvas()->width() > 0);
        const int column = (grid->canvas()->width() - PlannerGrid::kTimeColumn) / 5;
        QFont small = grid->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        for (int c = 0; c < 5; ++c) {
            const QString caption = grid->shownCaption(c);
            QVERIFY2(QFontMetrics(small).horizontalAdvance(caption) <= column, qPrintable(caption));
            QVERIFY(caption.contains(QString::number(5 + c))); // the day is still there
        }
        QCOMPARE(grid->shownCaption(0), QStringLiteral("Mon 1/5"));
        auto* description = f.find<QLabel>("CalendarDescription");
        QVERIFY(description->text().endsWith("click on a date on the calendar."));
        QVERIFY(f.find<QScrollArea>("CalendarDescriptionArea")->widget() == description);
        QVERIFY(description->height() >= description->heightForWidth(description->width()));
        // The four doses of 11:00 on the first day: each drawn wide enough to be seen.
        const int y = calendar::yForMinutes(11 * 60 + 5, grid->precision(), grid->rowHeight());
        QStringList tips;
        for (int x = PlannerGrid::kTimeColumn + 2; x < PlannerGrid::kTimeColumn + column; ++x) {
            const QString tip = grid->toolTipAt(QPoint(x, y));
            if (!tip.isEmpty() && !tips.contains(tip)) tips << tip;
        }
        QCOMPARE(tips.size(), 1);
        QCOMPARE(tips[0], QStringLiteral("Aspirin\nFor: Ann\nMon 1/5/2026, 11:00 AM to 11:15 AM"));
        const int appointmentY = calendar::yForMinutes(14 * 60 + 10, grid->precision(), grid->rowHeight());
        QCOMPARE(grid->toolTipAt(QPoint(PlannerGrid::kTimeColumn + column + 5, appointmentY)),
                 QStringLiteral("Dr. Anna Berger\nFor: Ann\nTue 1/6/2026, 2:00 PM to 2:15 PM"));
    }

    // A full disk under the tables: the calendar cannot save its items, shows them all the same,
    // says so once, and the reminders go on.
    void aFullDiskNeverStopsTheCalendarOrTheReminders() {
        MainWindowFixture f({}, household);
        f.window->notiftimerTimer(); // the start is over: what goes wrong now is said at once
        const QList<Item> before = planner(f.ctx.db);
        test::PlanSpec dose;
        dose.start = at(1, 10);
        dose.repeat = "D";
        for (int i = 0; i < 40; ++i)
            test::addPlan(f.ctx.db, dose);
        QSqlQuery& pages = f.ctx.db.run("PRAGMA drplanner.page_count");
        QVERIFY(pages.next());
        const int full = pages.value(0).toInt();
        pages.finish();
        f.ctx.db.run(QStringLiteral("PRAGMA drplanner.max_page_count = %1").arg(full)).finish();

        f.window->PopulateCalendar();
        auto* grid = f.find<PlannerGrid>("DBPlanner1");
        QCOMPARE(grid->items().size(), 8 + 40 * 6);        // shown from memory
        QCOMPARE(planner(f.ctx.db).size(), before.size()); // the old items, whole
        QCOMPARE(Messages::shown().size(), 1);
        QVERIFY2(Messages::shown()[0].contains("is full"), qPrintable(Messages::shown()[0]));
        f.window->PopulateCalendar();
        QCOMPARE(Messages::shown().size(), 1); // once a run
        f.clock->set(QDateTime(QDate(2026, 1, 5), QTime(10, 0, 1)));
        f.ctx.NotifsLoaded = false;
        f.window->notiftimerTimer();
        QCOMPARE(f.window->openReminders().size(), 40); // the new doses of 10:00
    }
};

QTEST_MAIN(TestCalendar)
#include "test_calendar.moc"
