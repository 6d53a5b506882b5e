// The reminder window answered as a person would: the keys and buttons of a dose, the snooze menu
// and its limit, windows raised together, and the boxes that set reminders again and pills.
#include "app/additionaloptions.h"
#include "core/datetime.h"
#include "notify/activenotif.h"
#include "notify/missedreminders.h"
#include "notify/reminderdispatcher.h"
#include "plans/doselog.h"
#include "records/medicinedialog.h"
#include "support/guifixture.h"
#include "support/plans.h"

#include <QAction>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QSystemTrayIcon>
#include <QTableWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSqlQuery>
#include <QtTest>

using namespace vantrel;
using test::MainWindowFixture;

namespace {

double at(int h, int m, int s = 0) {
    return dt::encode(2026, 1, 5, h, m, s);
}

// Ann takes Amoxicillin every day at 9:05 (the fixture's clock starts at 9:00), ten pills on hand.
struct DoseFixture : MainWindowFixture {
    int plan = -1;
    int medicine = -1;

    explicit DoseFixture(const QStringList& profiles = {QStringLiteral("Ann")})
        : MainWindowFixture({}, {}, profiles) {
        seed([this](data::Database& db) {
            medicine = test::addMedicine(db, QStringLiteral("Amoxicillin"));
            test::addLink(db, "mlref", 1, medicine);
            db.run(QStringLiteral("UPDATE mlref SET PILLSONHAND = 10, PILLSPERDOSE = 1"));
            test::PlanSpec p;
            p.medicine = medicine;
            p.start = at(9, 5);
            p.repeat = QStringLiteral("D");
            plan = test::addPlan(db, p);
        });
        window->notiftimerTimer();
    }
    void tickAt(double v) {
        clock->setValue(v);
        window->notiftimerTimer();
    }
    TfrmActiveNotif* raised() {
        tickAt(at(9, 5, 1));
        return window->openReminders().value(0);
    }
    QString state(double eventTime = at(9, 5)) {
        const auto row = plans::DoseLog(ctx.db).find(plan, eventTime);
        return row ? row->STATE : QString();
    }
    int pills() {
        QSqlQuery& q = ctx.db.run(QStringLiteral("SELECT PILLSONHAND FROM mlref"));
        const int n = q.next() ? q.value(0).toInt() : -1;
        q.finish();
        return n;
    }
};

ReminderOccurrence appointmentAt(double event, double next) {
    ReminderOccurrence o;
    o.APPTID = 7;
    o.APPTTYPE = QStringLiteral("D");
    o.itemName = QStringLiteral("Greg House");
    o.itemFound = true;
    o.eventTime = event;
    o.due = event;
    o.nextEventTime = next;
    o.reminder.NOTIFTYPE = QStringLiteral("P");
    return o;
}

} // namespace

class TestAnswerWindow : public QObject {
    Q_OBJECT
private slots:
    // Alt+T on the window of a dose: the row says taken and a pill is off the count.
    void altTMarksTheDoseTaken() {
        DoseFixture f;
        TfrmActiveNotif* w = f.raised();
        QVERIFY(w);
        QCOMPARE(f.state(), QStringLiteral("R"));
        QCOMPARE(w->findChild<QPushButton*>("btnTaken")->text(), QStringLiteral("&Taken"));
        QCOMPARE(w->findChild<QPushButton*>("btnSkip")->text(), QStringLiteral("&Skip"));
        QCOMPARE(w->findChild<QPushButton*>("btnSnooze")->text(), QStringLiteral("S&nooze"));
        QVERIFY(w->findChild<QPushButton*>("BitBtn1"));
        QVERIFY(!w->findChild<QLabel*>("lblFor")); // one person in the household
        QPointer<TfrmActiveNotif> guard(w);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w, Qt::Key_T, Qt::AltModifier);
        QTRY_VERIFY(!guard || !guard->isVisible());
        QCOMPARE(f.state(), QStringLiteral("T"));
        QCOMPARE(f.pills(), 9);
        QVERIFY(f.window->openReminders().isEmpty());
    }

    // OK closes and leaves the dose raised; Skip answers it; neither touches the count.
    void okLeavesItRaisedAndSkipAnswersIt() {
        DoseFixture f;
        QTest::mouseClick(f.raised()->findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
        QCOMPARE(f.state(), QStringLiteral("R"));
        QTRY_VERIFY(f.window->openReminders().isEmpty());
        f.tickAt(at(9, 6));
        QVERIFY(f.window->openReminders().isEmpty()); // OK is no snooze
        f.tickAt(at(9, 5, 1) + 1);
        QTest::mouseClick(f.window->openReminders()[0]->findChild<QPushButton*>("btnSkip"), Qt::LeftButton);
        QCOMPARE(f.state(at(9, 5) + 1), QStringLiteral("S"));
        QCOMPARE(f.pills(), 10);
    }

    // The snooze menu: 5 to 60 minutes; the window goes and comes back when the snooze ends.
    void aSnoozeFromTheMenuBringsTheWindowBack() {
        DoseFixture f;
        TfrmActiveNotif* w = f.raised();
        auto* menu = w->findChild<QMenu*>("SnoozeMenu");
        QStringList texts;
        for (QAction* a : menu->actions())
            texts << a->text();
        QCOMPARE(texts, QStringList({"5 minutes", "10 minutes", "15 minutes", "30 minutes", "60 minutes"}));
        w->findChild<QAction*>("snooze10")->trigger();
        QCOMPARE(f.state(), QStringLiteral("Z"));
        QCOMPARE(plans::DoseLog(f.ctx.db).find(f.plan, at(9, 5))->SNOOZEUNTIL, at(9, 15, 1));
        QTRY_VERIFY(f.window->openReminders().isEmpty());
        f.tickAt(at(9, 15));
        QVERIFY(f.window->openReminders().isEmpty());
        f.tickAt(at(9, 15, 1));
        QCOMPARE(f.window->openReminders().size(), 1);
        QCOMPARE(f.state(), QStringLiteral("R"));
    }

    // A snooze never goes past the plan's next occurrence: a longer choice ends there, and with
    // less than five minutes left there is nothing to snooze to. An appointment has Snooze only.
    void aSnoozeStopsAtTheNextOccurrence() {
        MainWindowFixture f;
        f.clock->setValue(at(9, 0));
        auto* w = TfrmActiveNotif::open(f.ctx, appointmentAt(at(9, 0), at(9, 12)));
        QVERIFY(!w->findChild<QPushButton*>("btnTaken"));
        QVERIFY(!w->findChild<QPushButton*>("btnSkip"));
        QVERIFY(w->findChild<QPushButton*>("btnSnooze")->isEnabled());
        QCOMPARE(w->snoozeUntil(10), at(9, 10));
        QCOMPARE(w->snoozeUntil(15), at(9, 12));
        QCOMPARE(w->snoozeUntil(60), at(9, 12));
        w->close();
        auto* late = TfrmActiveNotif::open(f.ctx, appointmentAt(at(9, 0), at(9, 4)));
        QVERIFY(!late->findChild<QPushButton*>("btnSnooze")->isEnabled());
        QVERIFY(!late->findChild<QAction*>("snooze5")->isEnabled());
        QSignalSpy snoozed(late, &TfrmActiveNotif::snoozed);
        late->findChild<QAction*>("snooze5")->trigger();
        QVERIFY(snoozed.isEmpty());
        late->close();
    }

    // Two windows of one occurrence answered one after the other: one answer, one pill.
    void anAnswerGivenTwiceIsWrittenOnce() {
        DoseFixture f;
        TfrmActiveNotif* first = f.raised();
        auto* second = TfrmActiveNotif::open(f.ctx, first->occurrence(), 1);
        connect(second, &TfrmActiveNotif::answered, f.window->reminders(), &ReminderDispatcher::answer);
        QTest::mouseClick(second->findChild<QPushButton*>("btnTaken"), Qt::LeftButton);
        QTest::mouseClick(first->findChild<QPushButton*>("btnTaken"), Qt::LeftButton);
        f.window->reminders()->answer(first->occurrence(), u'S');
        QCOMPARE(f.state(), QStringLiteral("T"));
        QCOMPARE(f.pills(), 9);
        QCOMPARE(test::count(f.ctx.db, "doselog"), 1);
    }

    // Reminders due together stand a title bar apart and name the person; "Dismiss All
    // Reminders" closes them and leaves them raised.
    void windowsRaisedTogetherAreApartAndDismissedTogether() {
        DoseFixture f({"Ann", "Ben"});
        f.seed([&](data::Database& db) {
            test::addLink(db, "mlref", 2, f.medicine);
            test::PlanSpec p;
            p.patient = 2;
            p.medicine = f.medicine;
            p.start = at(9, 5);
            test::addPlan(db, p);
        });
        f.raised();
        const auto open = f.window->openReminders();
        QCOMPARE(open.size(), 2);
        QVERIFY(open[0]->pos() != open[1]->pos());
        QStringList people;
        for (TfrmActiveNotif* w : open)
            people << w->findChild<QLabel*>("lblFor")->text();
        people.sort();
        QCOMPARE(people, QStringList({"For: Ann", "For: Ben"}));
        f.window->reminders()->dismissAll();
        QTRY_VERIFY(f.window->openReminders().isEmpty());
        QSqlQuery& q = f.ctx.db.run(QStringLiteral("SELECT count(*) FROM doselog WHERE STATE = 'R'"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 2);
        q.finish();
    }

    // A low count says so in the window, and once a day in the notification area.
    void aLowCountWarnsInTheWindowOnceADayAboveIt() {
        DoseFixture f;
        f.ctx.db.run(QStringLiteral("UPDATE mlref SET PILLSONHAND = 5"));
        QSignalSpy told(f.window->reminders(), &ReminderDispatcher::refillNeeded);
        TfrmActiveNotif* w = f.raised();
        QCOMPARE(w->findChild<QLabel*>("lblRefill")->text(),
                 QStringLiteral("Amoxicillin: 5 left, about 5 days. Time to refill."));
        QTest::mouseClick(w->findChild<QPushButton*>("btnTaken"), Qt::LeftButton);
        QCOMPARE(told.size(), 1);
        QTRY_VERIFY(f.window->openReminders().isEmpty());
        f.tickAt(at(9, 5, 1) + 1);
        QCOMPARE(f.window->openReminders()[0]->findChild<QLabel*>("lblRefill")->text(),
                 QStringLiteral("Amoxicillin: 4 left, about 4 days. Time to refill."));
        QCOMPARE(told.size(), 2); // the next day
    }

    // A start hidden at logon after the program was off: the missed reminders in one window
    // (newest first, with the person), the notification area counting them; a dose answered
    // there at the time chosen, another skipped; Close leaves the rest not confirmed.
    void missedRemindersAreListedAtAHiddenStartAndAnswered() {
        int first = -1, second = -1, visit = -1;
        MainWindowFixture f({}, [&](MainWindowFixture& fx) {
            fx.seed([&](data::Database& db) {
                const int med = test::addMedicine(db, QStringLiteral("Amoxicillin"));
                test::addLink(db, "mlref", 1, med);
                db.run(QStringLiteral("UPDATE mlref SET PILLSONHAND = 10, PILLSPERDOSE = 1"));
                test::PlanSpec p;
                p.medicine = med;
                p.text = QStringLiteral("With <b>water</b>");
                p.start = at(7, 30);
                first = test::addPlan(db, p);
                p.start = at(8, 15);
                second = test::addPlan(db, p);
                test::PlanSpec appt;
                appt.type = QStringLiteral("D");
                appt.doctor = test::addDoctor(db, QStringLiteral("Greg"), QStringLiteral("House"));
                appt.start = at(8, 45);
                appt.minutesBefore = 15;
                visit = test::addPlan(db, appt);
            });
        });
        f.window->startShown(false);
        f.window->notiftimerTimer();
        QVERIFY(!f.window->isVisible());
        TfrmMissedReminders* w = f.window->reminders()->missedWindow();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Missed Reminders"));
        QTableWidget* list = w->list();
        QCOMPARE(list->rowCount(), 3);
        QCOMPARE(list->item(0, TfrmMissedReminders::ColItem)->text(), QStringLiteral("Dr. Greg House"));
        QCOMPARE(list->item(0, TfrmMissedReminders::ColTime)->text(), QStringLiteral("1/5/2026 08:45 AM"));
        QVERIFY(!list->cellWidget(0, TfrmMissedReminders::ColAnswer)); // an appointment is not taken
        QCOMPARE(list->item(1, TfrmMissedReminders::ColTime)->text(), QStringLiteral("1/5/2026 08:15 AM"));
        QCOMPARE(list->item(1, TfrmMissedReminders::ColText)->text(), QStringLiteral("With <b>water</b>"));
        QCOMPARE(list->item(2, TfrmMissedReminders::ColFor)->text(), QStringLiteral("Ann"));
        QCOMPARE(f.window->trayIcon()->toolTip(), QStringLiteral("Vantrel Planner: 3 missed reminders"));

        w->findChild<QDateTimeEdit*>("dtTakenAt1")->setDateTime(dt::toQDateTime(at(8, 40)));
        QTest::mouseClick(w->findChild<QPushButton*>("btnTaken1"), Qt::LeftButton);
        QTest::mouseClick(w->findChild<QPushButton*>("btnSkipped2"), Qt::LeftButton);
        plans::DoseLog log(f.ctx.db);
        QCOMPARE(log.find(second, at(8, 15))->STATE, QStringLiteral("T"));
        QCOMPARE(log.find(second, at(8, 15))->ACTEDAT, at(8, 40));
        QCOMPARE(log.find(first, at(7, 30))->STATE, QStringLiteral("S"));
        QCOMPARE(list->item(1, TfrmMissedReminders::ColAnswer)->text(), QStringLiteral("Taken"));
        QSqlQuery& q = f.ctx.db.run(QStringLiteral("SELECT PILLSONHAND FROM mlref"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 9);
        q.finish();
        QTest::mouseClick(w->findChild<QPushButton*>("btnClose"), Qt::LeftButton);
        QTRY_VERIFY(!f.window->reminders()->missedWindow());
        QCOMPARE(log.find(visit, at(8, 45))->STATE, QStringLiteral("M"));
        QCOMPARE(f.window->trayIcon()->toolTip(), QStringLiteral("Vantrel Planner"));
        QVERIFY(f.window->openReminders().isEmpty()); // none raised as a window of its own
    }

    // The reminders-again boxes take whole numbers in range only; the dialog stays open to mend.
    void remindAgainBoxesRefuseWhatIsNoNumberInRange() {
        MainWindowFixture f;
        TfrmAdditionalOptions d(f.ctx, f.window.get());
        QVERIFY(!d.findChild<QCheckBox*>("chkRemindAgain")->isChecked());
        QCOMPARE(d.findChild<QLineEdit*>("teRemindMinutes")->text(), QStringLiteral("10"));
        QCOMPARE(d.findChild<QLineEdit*>("teRemindTimes")->text(), QStringLiteral("3"));
        d.findChild<QCheckBox*>("chkRemindAgain")->setChecked(true);
        const QString minutes = "The minutes between reminders must be a whole number from 1 to 240.";
        const QString times = "The number of times must be a whole number from 1 to 20.";
        const QString hours = "The hours of missed reminders must be a whole number from 0 to 72.";
        for (const auto& [m, t, message] :
             {std::tuple{"ten", "3", minutes}, std::tuple{"0", "3", minutes}, std::tuple{"-5", "3", minutes},
              std::tuple{"241", "3", minutes}, std::tuple{"99999999999999999999", "3", minutes},
              std::tuple{"10", "21", times}, std::tuple{"10", "", times}, std::tuple{"10", "3", hours}}) {
            Messages::clearShown();
            d.findChild<QLineEdit*>("teRemindMinutes")->setText(m);
            d.findChild<QLineEdit*>("teRemindTimes")->setText(t);
            d.findChild<QLineEdit*>("teCatchUpHours")->setText(message == hours ? "73" : "12");
            d.btnOKClick();
            QCOMPARE(Messages::shown(), QStringList({message}));
            QCOMPARE(d.result(), int(QDialog::Rejected));
            QVERIFY(!f.ctx.settings.RemindAgain);
        }
        d.findChild<QLineEdit*>("teRemindMinutes")->setText(" 15 ");
        d.findChild<QLineEdit*>("teRemindTimes")->setText("5");
        d.findChild<QLineEdit*>("teCatchUpHours")->setText("0");
        d.btnOKClick();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        Settings stored;
        LoadSettings(stored, f.reloadStore());
        QVERIFY(stored.RemindAgain);
        QCOMPARE(stored.RemindAgainMinutes, 15);
        QCOMPARE(stored.RemindAgainTimes, 5);
        QCOMPARE(stored.CatchUpHours, 0);
    }

    // The medicine's pill boxes: a bad number is said and nothing is written; a good one lands on
    // the person's link and shows in the details.
    void pillBoxesAreCheckedAndStoredOnTheLink() {
        MainWindowFixture f;
        TfrmMedicine d(f.ctx, TfrmMedicine::Mode::Add, -1, f.window.get());
        d.findChild<QLineEdit*>("dbMedName")->setText(QStringLiteral("Amoxicillin"));
        QCOMPARE(d.findChild<QLineEdit*>("tePillsOnHand")->text(), QString());
        QCOMPARE(d.findChild<QLineEdit*>("tePillsPerDose")->text(), QStringLiteral("1"));
        QCOMPARE(d.findChild<QLineEdit*>("teRefillDays")->text(), QStringLiteral("7"));
        d.findChild<QLineEdit*>("tePillsOnHand")->setText(QStringLiteral("-3"));
        Messages::clearShown();
        d.BitBtn1Click();
        QCOMPARE(Messages::shown(), QStringList({"Pills on hand must be between 0 and 100000."}));
        QCOMPARE(test::count(f.ctx.db, "medicine"), 0);
        d.findChild<QLineEdit*>("tePillsOnHand")->setText(QStringLiteral("24"));
        d.findChild<QLineEdit*>("tePillsPerDose")->setText(QStringLiteral("2"));
        d.BitBtn1Click();
        QSqlQuery& q = f.ctx.db.run(QStringLiteral("SELECT PILLSONHAND, PILLSPERDOSE, REFILLDAYS FROM mlref"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 24);
        QCOMPARE(q.value(1).toInt(), 2);
        QCOMPARE(q.value(2).toInt(), 7);
        q.finish();
    }
};

QTEST_MAIN(TestAnswerWindow)
#include "test_answerwindow.moc"
