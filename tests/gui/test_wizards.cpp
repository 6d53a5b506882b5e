// Both scheduling wizards driven as a person would, and the rows they write.
#include "core/datetime.h"
#include "notify/scheduler.h"
#include "records/doctorspage.h"
#include "records/medicinespage.h"
#include "schedule/appointmentwizard.h"
#include "schedule/dosingwizard.h"
#include "support/guifixture.h"
#include "support/plans.h"
#include "widgets/datagrid.h"
#include "widgets/timebox.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStackedWidget>
#include <QTimeEdit>
#include <QtTest>

using namespace vantrel;
using test::MainWindowFixture;
using Mode = PlanWizard::Mode;

namespace {

// Monday 5 January 2026, 9:00, is the fixture's "now".
double at(int day, int h, int m = 0, int s = 0) {
    return dt::encode(2026, 1, day, h, m, s);
}

void household(MainWindowFixture& f) {
    f.seed([](data::Database& db) {
        test::addLink(db, "dlref", 1, test::addDoctor(db, "Anna", "Berger"));
        test::addLink(db, "mlref", 1, test::addMedicine(db, "Aspirin"));
    });
}

QString page(PlanWizard* w) {
    return qobject_cast<QGroupBox*>(w->pages()->currentWidget())->title();
}
QPushButton* button(PlanWizard* w, const char* name) {
    return w->findChild<QPushButton*>(QString::fromLatin1(name));
}
void next(PlanWizard* w) {
    QTest::mouseClick(button(w, "btnnext"), Qt::LeftButton);
}
void previous(PlanWizard* w) {
    QTest::mouseClick(button(w, "btnprevious"), Qt::LeftButton);
}
template <class T> T* in(QWidget* w, const char* name) {
    return w->findChild<T*>(QString::fromLatin1(name));
}
void choose(QWidget* w, const char* radio) {
    in<QRadioButton>(w, radio)->click();
}

// One row of a table as its field values.
QVariantMap row(data::Database& db, const QString& sql, const QVariantList& values = {}) {
    QSqlQuery& q = db.run(sql, values);
    QVariantMap out;
    if (q.next())
        for (int i = 0; i < q.record().count(); ++i)
            out.insert(q.record().fieldName(i), q.value(i));
    q.finish();
    return out;
}

// Goes through the wizard with Next until the Finish page, recording the page titles.
QStringList walkToFinish(PlanWizard* w) {
    QStringList seen{page(w)};
    for (int i = 0; i < 10 && page(w) != QLatin1String("Finish"); ++i) {
        next(w);
        seen << page(w);
    }
    return seen;
}

} // namespace

class TestWizards : public QObject {
    Q_OBJECT
private slots:
    void aNewAppointmentWithNoChangesIsTomorrowAtNoonForAnHour() {
        MainWindowFixture f({}, household);
        f.ctx.settings.ReplyToAddress = "me@example.org";
        TfrmAppointment w(f.ctx, Mode::Add, 1, -1, f.window.get());
        QCOMPARE(w.windowTitle(), QStringLiteral("Doctor Appointment"));
        QVERIFY(!button(&w, "btnprevious")->isEnabled());
        QCOMPARE(in<QLineEdit>(&w, "teFrom")->text(), QStringLiteral("me@example.org"));
        QCOMPARE(walkToFinish(&w), QStringList({"Appointment Time", "Notification Type", "Notification Time",
                                                "Pop Up Window and Audio Settings", "Finish"}));
        QCOMPARE(button(&w, "btnnext")->text(), QStringLiteral("Finish"));
        next(&w);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        const QVariantMap plan = row(f.ctx.db, "SELECT * FROM planlist");
        QCOMPARE(plan["STARTTIME"].toDouble(), at(6, 12));
        QCOMPARE(plan["ENDTIME"].toDouble(), at(6, 13));
        QCOMPARE(plan["APPTTYPE"].toString(), QStringLiteral("D"));
        QCOMPARE(plan["REPTYPE"].toString(), QStringLiteral("N"));
        QCOMPARE(plan["MEDREF"].toInt(), -1);
        QCOMPARE(plan["DRREF"].toInt(), 1);
        QCOMPARE(plan["PATIENTREF"].toInt(), f.ctx.CurrentPatientRef);
        const QVariantMap notif = row(f.ctx.db, "SELECT * FROM notif WHERE NOTIFREF = ?", {plan["NOTIFREF"]});
        QCOMPARE(notif["NOTIFTYPE"].toString(), QStringLiteral("P"));
        QCOMPARE(notif["NOTIFMIN"].toInt(), 15);
    }

    // A 90-minute appointment reloads as "1.5"; Finish without a change keeps its times and
    // replaces its reminder row.
    void editingReloadsAndReplacesTheReminderRow() {
        MainWindowFixture f({}, household);
        test::PlanSpec p;
        p.type = "D";
        p.doctor = 1;
        p.start = at(8, 14, 30);
        p.minutesBefore = 0;
        const int id = test::addPlan(f.ctx.db, p);
        f.ctx.db.run("UPDATE planlist SET ENDTIME = ?", {at(8, 16)});
        const QVariantMap before = row(f.ctx.db, "SELECT * FROM planlist");
        TfrmAppointment w(f.ctx, Mode::Edit, 1, id, f.window.get());
        QCOMPARE(in<QComboBox>(&w, "cbLength")->currentText(), QStringLiteral("1.5"));
        QCOMPARE(in<QCalendarWidget>(&w, "MonthCalendar1")->selectedDate(), QDate(2026, 1, 8));
        QCOMPARE(in<QTimeEdit>(&w, "DateTimePicker1")->time(), QTime(14, 30));
        QVERIFY(in<QRadioButton>(&w, "rbNotifAt")->isChecked());
        QVERIFY(!in<QLineEdit>(&w, "teNotifXMinutes")->isEnabled());
        walkToFinish(&w);
        next(&w);
        const QVariantMap after = row(f.ctx.db, "SELECT * FROM planlist");
        QCOMPARE(after["APPTID"], before["APPTID"]);
        QCOMPARE(after["STARTTIME"].toDouble(), before["STARTTIME"].toDouble());
        QCOMPARE(after["ENDTIME"].toDouble(), before["ENDTIME"].toDouble());
        QVERIFY(after["NOTIFREF"] != before["NOTIFREF"]);
        QCOMPARE(test::count(f.ctx.db, "notif"), 1);
        QCOMPARE(row(f.ctx.db, "SELECT NOTIFMIN FROM notif")["NOTIFMIN"].toInt(), 0);
    }

    void cancelWritesNothingInAddAndEdit() {
        MainWindowFixture f({}, household);
        test::PlanSpec p;
        p.start = at(8, 8);
        const int id = test::addPlan(f.ctx.db, p);
        const QVariantMap plan = row(f.ctx.db, "SELECT * FROM planlist"),
                          notif = row(f.ctx.db, "SELECT * FROM notif");
        for (Mode mode : {Mode::Add, Mode::Edit}) {
            {
                TfrmDosing w(f.ctx, mode, 1, id, f.window.get());
                walkToFinish(&w);
                QTest::mouseClick(button(&w, "Button3"), Qt::LeftButton);
                QCOMPARE(w.result(), int(QDialog::Rejected));
            }
            {
                TfrmAppointment w(f.ctx, mode, 1, id, f.window.get());
                next(&w);
                w.close(); // the close box
            }
            QCOMPARE(test::count(f.ctx.db, "planlist"), 1);
            QCOMPARE(test::count(f.ctx.db, "notif"), 1);
            QCOMPARE(row(f.ctx.db, "SELECT * FROM planlist"), plan);
            QCOMPARE(row(f.ctx.db, "SELECT * FROM notif"), notif);
        }
    }

    void weeklyOnMondayWednesdayFridayIsOneRowAndReloads() {
        MainWindowFixture f({}, household);
        int id = -1;
        {
            TfrmDosing w(f.ctx, Mode::Add, 1, -1, f.window.get());
            QCOMPARE(w.windowTitle(), QStringLiteral("Add Medicine Dosing"));
            next(&w);
            choose(&w, "rbWeekly");
            next(&w);
            QCOMPARE(Messages::shown().value(0), QStringLiteral("Please select at least one day."));
            QCOMPARE(page(&w), QStringLiteral("Dose Repeat"));
            for (const char* d : {"chkMonday", "chkWednesday", "chkFriday"})
                in<QCheckBox>(&w, d)->setChecked(true);
            walkToFinish(&w);
            next(&w);
            const QVariantMap plan = row(f.ctx.db, "SELECT * FROM planlist");
            QCOMPARE(test::count(f.ctx.db, "planlist"), 1);
            QCOMPARE(plan["REPTYPE"].toString(), QStringLiteral("W"));
            QCOMPARE(plan["REPDAYS"].toInt(), 246);
            QCOMPARE(plan["STARTTIME"].toDouble(), at(5, 8)); // today, at the designed 08:00
            QCOMPARE(plan["ENDTIME"].toDouble(), at(5, 8, 15));
            QCOMPARE(plan["REPEND"].toDouble(), 0.0);
            QCOMPARE(plan["MEDREF"].toInt(), 1);
            QCOMPARE(plan["DRREF"].toInt(), -1);
            id = plan["APPTID"].toInt();
        }
        TfrmDosing w(f.ctx, Mode::Edit, 1, id, f.window.get());
        QVERIFY(in<QRadioButton>(&w, "rbWeekly")->isChecked());
        QStringList checked;
        for (QCheckBox* c : w.findChildren<QCheckBox*>())
            if (c->objectName().startsWith("chk") && c->objectName() != "chkPlayAudio" && c->isChecked())
                checked << c->objectName();
        checked.sort();
        QCOMPARE(checked, QStringList({"chkFriday", "chkMonday", "chkWednesday"}));
    }

    // Never skips the end page forward but not back; None goes to Finish and writes "N";
    // the e-mail path skips the pop-up page both ways.
    void theDosingRoutes() {
        MainWindowFixture f({}, household);
        TfrmDosing w(f.ctx, Mode::Add, 1, -1, f.window.get());
        next(&w);
        choose(&w, "rbNever");
        next(&w);
        QCOMPARE(page(&w), QStringLiteral("Notification Type"));
        previous(&w);
        QCOMPARE(page(&w), QStringLiteral("Dose End"));
        next(&w);
        choose(&w, "rbemail");
        next(&w);
        next(&w);
        QCOMPARE(page(&w), QStringLiteral("email Settings"));
        previous(&w);
        QCOMPARE(page(&w), QStringLiteral("Notification Time"));
        previous(&w);
        choose(&w, "rbNone");
        next(&w);
        QCOMPARE(page(&w), QStringLiteral("Finish"));
        QCOMPARE(
            in<QLabel>(&w, "Label15")->text(),
            QStringLiteral("The dose and notification have been configured.  Click the finish button to add "
                           "the dose."));
        previous(&w);
        QCOMPARE(page(&w), QStringLiteral("Notification Type"));
        next(&w);
        next(&w);
        const QVariantMap notif = row(f.ctx.db, "SELECT * FROM notif");
        QCOMPARE(notif["NOTIFTYPE"].toString(), QStringLiteral("N"));
        QCOMPARE(notif["NOTIFMIN"].toInt(), 15);
        QCOMPARE(notif["SENDEMAIL"].toBool(), false);
        QCOMPARE(row(f.ctx.db, "SELECT REPTYPE FROM planlist")["REPTYPE"].toString(), QStringLiteral("N"));
    }

    // Bad input: each check with its message, and nothing written while one fails.
    void badInputIsAnsweredAndNothingIsWritten() {
        MainWindowFixture f({}, household);
        TfrmDosing w(f.ctx, Mode::Add, 1, -1, f.window.get());
        next(&w);
        choose(&w, "rbXDays");
        for (const char* text : {"1", "15", "two", ""}) {
            Messages::clearShown();
            in<QLineEdit>(&w, "teXDays")->setText(QString::fromLatin1(text));
            next(&w);
            QCOMPARE(page(&w), QStringLiteral("Dose Repeat"));
            QCOMPARE(Messages::shown().size(), 1);
        }
        in<QLineEdit>(&w, "teXDays")->setText("14");
        next(&w);
        next(&w); // Dose End
        choose(&w, "rbemailpop");
        next(&w);
        for (const char* text : {"0", "61", "-5", "abc", "", "99999999999999999999"}) {
            in<QLineEdit>(&w, "teNotifXMinutes")->setText(QString::fromLatin1(text));
            next(&w);
            QCOMPARE(page(&w), QStringLiteral("Notification Time"));
        }
        in<QLineEdit>(&w, "teNotifXMinutes")->setText("5");
        next(&w);
        in<QCheckBox>(&w, "chkPlayAudio")->setChecked(true);
        next(&w);
        QCOMPARE(Messages::shown().last(), QStringLiteral("Please select an audio file to play"));
        in<QLineEdit>(&w, "teAudioFile")->setText("/no/such/file.wav"); // its existence is not checked
        next(&w);
        QCOMPARE(page(&w), QStringLiteral("email Settings"));
        in<QLineEdit>(&w, "teFrom")->setText("me@example.org");
        in<QLineEdit>(&w, "teTo")->setText("you@example.org");
        in<QLineEdit>(&w, "teSubject")->setText("Dose\r\nBcc: someone@example.org");
        in<QPlainTextEdit>(&w, "memMsg")->setPlainText("Take it");
        next(&w);
        QCOMPARE(Messages::shown().last(),
                 QStringLiteral("The From, To and Subject boxes may not hold a line break"));
        QCOMPARE(page(&w), QStringLiteral("email Settings"));
        // The minutes box of a page left behind is checked at Finish too.
        in<QLineEdit>(&w, "teSubject")->setText("Dose");
        next(&w);
        QCOMPARE(page(&w), QStringLiteral("Finish"));
        in<QLineEdit>(&w, "teNotifXMinutes")->setText("abc");
        next(&w);
        QCOMPARE(Messages::shown().last(), QStringLiteral("Invalid number of minutes"));
        QCOMPARE(test::count(f.ctx.db, "planlist"), 0);
        QCOMPARE(test::count(f.ctx.db, "notif"), 0);
        in<QLineEdit>(&w, "teNotifXMinutes")->setText("5");
        next(&w);
        const QVariantMap plan = row(f.ctx.db, "SELECT * FROM planlist");
        QCOMPARE(plan["REPTYPE"].toString(), QStringLiteral("X"));
        QCOMPARE(plan["REPDAYS"].toInt(), 14);
        const QVariantMap notif = row(f.ctx.db, "SELECT * FROM notif");
        QCOMPARE(notif["NOTIFTYPE"].toString(), QStringLiteral("B"));
        QCOMPARE(notif["AUDIOFILE"].toString(), QStringLiteral("/no/such/file.wav"));
        QCOMPARE(notif["EMAILSUBJECT"].toString(), QStringLiteral("Dose"));
    }

    // A dose at 23:50 ends at 00:05 the next day; the end day is stored as its last moment; texts
    // come back as typed.
    void aLateDoseAnEndDayAndTextsAsTyped() {
        MainWindowFixture f({}, household);
        const QString text = "Take \"two\"; with water \u2013 s\u00fc\u00df";
        int id = -1;
        {
            TfrmDosing w(f.ctx, Mode::Add, 1, -1, f.window.get());
            choose(&w, "rbselectdate");
            in<QDateEdit>(&w, "DateTimePicker2")->setDate(QDate(2026, 1, 9));
            in<QTimeEdit>(&w, "DateTimePicker3")->setTime(QTime(23, 50));
            next(&w);
            next(&w);
            QCOMPARE(in<QDateEdit>(&w, "DateTimePicker1")->date(),
                     QDate(2026, 1, 6)); // starts on the start date
            choose(&w, "rbEndDate");
            in<QDateEdit>(&w, "DateTimePicker1")->setDate(QDate(2026, 1, 20));
            next(&w);
            next(&w);
            choose(&w, "rbNotifAt");
            next(&w);
            in<QPlainTextEdit>(&w, "Memo2")->setPlainText(text);
            next(&w);
            next(&w);
            const QVariantMap plan = row(f.ctx.db, "SELECT * FROM planlist");
            QCOMPARE(plan["STARTTIME"].toDouble(), at(9, 23, 50));
            QCOMPARE(plan["ENDTIME"].toDouble(), at(10, 0, 5));
            QCOMPARE(plan["REPEND"].toDouble(), at(20, 23, 59, 59));
            id = plan["APPTID"].toInt();
        }
        TfrmDosing w(f.ctx, Mode::Edit, 1, id, f.window.get());
        QVERIFY(in<QRadioButton>(&w, "rbselectdate")->isChecked());
        QCOMPARE(in<QDateEdit>(&w, "DateTimePicker1")->date(), QDate(2026, 1, 20));
        QCOMPARE(in<QPlainTextEdit>(&w, "Memo2")->toPlainText(), text);
        QVERIFY(in<QRadioButton>(&w, "rbNotifAt")->isChecked());
        QCOMPARE(in<QLabel>(&w, "Label15")->text(),
                 QStringLiteral(
                     "The dose and notification have been configured.  Click the finish button to update "
                     "the record"));
    }

    // An every-third-day dosing that began on the 1st, edited on the 5th with "Today", keeps its
    // days: the next dose stays on the 7th, not the 8th.
    void editingAnEveryXDaysDosingKeepsItsRhythm() {
        MainWindowFixture f({}, household);
        test::PlanSpec p;
        p.start = at(1, 8);
        p.repeat = "X";
        p.days = "3";
        const int id = test::addPlan(f.ctx.db, p);
        TfrmDosing w(f.ctx, Mode::Edit, 1, id, f.window.get());
        QVERIFY(in<QRadioButton>(&w, "rbtoday")->isChecked());
        QCOMPARE(in<QLineEdit>(&w, "teXDays")->text(), QStringLiteral("3"));
        walkToFinish(&w);
        next(&w);
        QCOMPARE(row(f.ctx.db, "SELECT STARTTIME FROM planlist")["STARTTIME"].toDouble(), at(4, 8));
    }

    // The start-date picker of a dosing that has begun shows its start, not a day of its own,
    // and choosing "On the selected date below:" offers that day.
    void editingADosingThatHasBegunShowsItsStartDate() {
        MainWindowFixture f({}, household);
        test::PlanSpec p;
        p.start = at(1, 8);
        p.repeat = "D";
        TfrmDosing w(f.ctx, Mode::Edit, 1, test::addPlan(f.ctx.db, p), f.window.get());
        QVERIFY(in<QRadioButton>(&w, "rbtoday")->isChecked());
        QCOMPARE(in<QDateEdit>(&w, "DateTimePicker2")->date(), QDate(2026, 1, 1));
        choose(&w, "rbselectdate");
        QVERIFY(in<QDateEdit>(&w, "DateTimePicker2")->isEnabled());
        QCOMPARE(in<QDateEdit>(&w, "DateTimePicker2")->date(), QDate(2026, 1, 1));
    }

    // The arrows, and the Up and Down keys, step from what was typed into the box.
    void theArrowsStepFromTheTypedNumber() {
        MainWindowFixture f({}, household);
        TfrmDosing w(f.ctx, Mode::Add, 1, -1, f.window.get());
        w.show();
        next(&w);
        choose(&w, "rbXDays");
        auto* days = in<QLineEdit>(&w, "teXDays");
        days->selectAll();
        QTest::keyClicks(days, "9");
        in<QSpinBox>(&w, "UpDown1")->stepUp();
        QCOMPARE(days->text(), QStringLiteral("10"));
        QTest::keyClick(days, Qt::Key_Up);
        QCOMPARE(days->text(), QStringLiteral("11"));
        QTest::keyClick(days, Qt::Key_Down);
        QTest::keyClick(days, Qt::Key_Down);
        QCOMPARE(days->text(), QStringLiteral("9"));
        days->setText("two"); // what is no number stays for the check on Next to answer
        QCOMPARE(days->text(), QStringLiteral("two"));
        auto* minutes = in<QLineEdit>(&w, "teNotifXMinutes");
        minutes->selectAll();
        QTest::keyClicks(minutes, "30");
        QTest::keyClick(minutes, Qt::Key_Up);
        QCOMPARE(minutes->text(), QStringLiteral("31"));
        in<QSpinBox>(&w, "udNotifXMinutes")->stepUp();
        QCOMPARE(minutes->text(), QStringLiteral("32"));
    }

    // A time typed over the whole time box is read whole; what is no time is refused where it is
    // seen, and the box keeps its time.
    void aTimeTypedWholeIsReadWhole() {
        MainWindowFixture f({}, household);
        TfrmDosing w(f.ctx, Mode::Add, 1, -1, f.window.get());
        w.show();
        auto* box = qobject_cast<TimeBox*>(in<QTimeEdit>(&w, "DateTimePicker3"));
        QVERIFY(box);
        auto* text = box->findChild<QLineEdit*>();
        const auto typeWhole = [&](const char* typed) {
            box->setFocus();
            text->selectAll();
            QTest::keyClicks(box, QString::fromLatin1(typed));
            QTest::keyClick(box, Qt::Key_Return);
        };
        typeWhole("9:30 AM");
        QCOMPARE(box->time(), QTime(9, 30));
        typeWhole("4:05 pm");
        QCOMPARE(box->time(), QTime(16, 5));
        typeWhole("14:45");
        QCOMPARE(box->time(), QTime(14, 45));
        QVERIFY(box->refusal().isEmpty());
        typeWhole("25:99");
        QCOMPARE(box->time(), QTime(14, 45));
        QCOMPARE(box->refusal(), QStringLiteral("\"25:99\" is not a time. Type a time such as 9:30 AM."));
        QCOMPARE(text->text(), QStringLiteral("02:45:00 PM"));
        // Typing into one part of the time works as before: the hour alone.
        text->setCursorPosition(0);
        QTest::keyClick(box, Qt::Key_Up);
        QCOMPARE(box->time(), QTime(15, 45));
    }

    // The dosing list sorts by the time of day whatever the day a dosing starts, and says each
    // dosing's schedule in words.
    void theDosingListSortsByTimeOfDayAndSaysTheSchedule() {
        MainWindowFixture f({}, household);
        const auto dose = [&](double start, const char* kind, const char* days = "", double end = 0) {
            test::PlanSpec p;
            p.start = start;
            p.repeat = QString::fromLatin1(kind);
            p.days = QString::fromLatin1(days);
            p.end = end;
            test::addPlan(f.ctx.db, p);
        };
        dose(at(5, 23, 50), "D");
        dose(at(6, 8), "X", "3", at(31, 23, 59, 59)); // starts tomorrow
        dose(at(1, 12), "W", "246");
        dose(at(7, 7, 30), "N");
        f.window->dxSideBar1ItemClick(1);
        f.window->medicinesPage()->rowChanging(1);
        auto* grid = f.find<DataGrid>("DBAdvStringGrid4");
        QCOMPARE(grid->shownRows(), 4);
        QStringList shown;
        for (int r = 1; r <= 4; ++r)
            shown << grid->cell(r, 0) + " | " + grid->cell(r, 1);
        QCOMPARE(shown, QStringList({"07:30:00 AM | Once on 1/7/2026",
                                     "08:00:00 AM | Every 3 days from 1/6/2026 until 1/31/2026",
                                     "12:00:00 PM | Mon, Wed, Fri", "11:50:00 PM | Daily"}));
    }

    // A plan whose reminder row is gone opens with the pages' defaults and gets a new row.
    void aPlanWithoutItsReminderRowOpensWithDefaults() {
        MainWindowFixture f({}, household);
        test::PlanSpec p;
        p.start = at(8, 8);
        p.notifType = "E";
        const int id = test::addPlan(f.ctx.db, p);
        f.ctx.db.run("DELETE FROM notif");
        TfrmDosing w(f.ctx, Mode::Edit, 1, id, f.window.get());
        QVERIFY(in<QRadioButton>(&w, "rbpopup")->isChecked());
        walkToFinish(&w);
        next(&w);
        QCOMPARE(test::count(f.ctx.db, "notif"), 1);
        QVERIFY(test::orphanRows(f.ctx.db).isEmpty());
    }

    // Finish is one transaction: when the plan cannot be written, the old reminder row stays.
    void aFailingFinishLeavesThePlanAndItsReminderAsTheyWere() {
        MainWindowFixture f({}, household);
        test::PlanSpec p;
        p.start = at(8, 8);
        const int id = test::addPlan(f.ctx.db, p);
        const QVariantMap notif = row(f.ctx.db, "SELECT * FROM notif");
        f.ctx.db.run(
            "CREATE TRIGGER planlist.no_change BEFORE UPDATE ON planlist BEGIN SELECT RAISE(ABORT, 'locked "
            "for the test'); END");
        TfrmDosing w(f.ctx, Mode::Edit, 1, id, f.window.get());
        walkToFinish(&w);
        Messages::clearShown();
        next(&w);
        QVERIFY(Messages::shown().value(0).contains("locked for the test"));
        QVERIFY(w.isVisible() || w.result() != QDialog::Accepted);
        QCOMPARE(row(f.ctx.db, "SELECT * FROM notif"), notif);
        QCOMPARE(test::count(f.ctx.db, "notif"), 1);
    }

    // Through the page: the sorted list edits the row shown as selected; removal asks first.
    void theListsAddEditAndRemove() {
        MainWindowFixture f({}, household);
        f.window->dxSideBar1ItemClick(0);
        for (int day : {7, 9}) {
            test::PlanSpec p;
            p.type = "D";
            p.doctor = 1;
            p.start = at(day, 10);
            test::addPlan(f.ctx.db, p);
        }
        f.window->doctorsPage()->rowChanging(1);
        auto* grid = f.find<DataGrid>("DBAdvStringGrid2");
        QCOMPARE(grid->shownRows(), 2);
        grid->clickHeader(1);
        grid->clickHeader(1); // "End Time" descending: the 9th on top
        grid->selectShownRow(1);
        auto edited = test::whenModal<TfrmAppointment>([](TfrmAppointment* w) {
            QCOMPARE(in<QCalendarWidget>(w, "MonthCalendar1")->selectedDate(), QDate(2026, 1, 9));
            w->reject();
        });
        QTest::mouseClick(f.find<QPushButton>("btnEditDrAppt"), Qt::LeftButton);
        QVERIFY(edited->ran);

        auto added = test::whenModal<TfrmAppointment>([](TfrmAppointment* w) {
            walkToFinish(w);
            next(w);
        });
        QTest::mouseClick(f.find<QPushButton>("BitBtn1"), Qt::LeftButton);
        QVERIFY(added->ran);
        QCOMPARE(grid->shownRows(), 3);
        QVERIFY(!f.ctx.NotifsLoaded);

        Messages::setNextAnswer(QMessageBox::No);
        QTest::mouseClick(f.find<QPushButton>("btnRemoveDrAppt"), Qt::LeftButton);
        QCOMPARE(Messages::shown().last(),
                 QStringLiteral("Are you sure you want to remove the selected appointment?"));
        QCOMPARE(test::count(f.ctx.db, "planlist"), 3);
        Messages::setNextAnswer(QMessageBox::Yes);
        QTest::mouseClick(f.find<QPushButton>("btnRemoveDrAppt"), Qt::LeftButton);
        QCOMPARE(test::count(f.ctx.db, "planlist"), 2);
        QCOMPARE(test::count(f.ctx.db, "notif"), 2);
        QVERIFY(test::orphanRows(f.ctx.db).isEmpty());
        QCOMPARE(grid->shownRows(), 2);
    }

    // The real scheduler: a dosing entered for a few minutes ahead is pending at the next tick,
    // and gone from the list once removed.
    void aDosingEnteredIsPendingAtTheNextTickAndGoneAfterRemoval() {
        MainWindowFixture f({}, household);
        f.window->dxSideBar1ItemClick(1);
        f.window->notiftimerTimer();
        QCOMPARE(f.window->scheduler()->list().NotifCount(), 0);
        auto added = test::whenModal<TfrmDosing>([](TfrmDosing* w) {
            in<QTimeEdit>(w, "DateTimePicker3")->setTime(QTime(9, 20));
            choose(w, "rbNever");
            walkToFinish(w);
            next(w);
        });
        QTest::mouseClick(f.find<QPushButton>("btnAddMedicine"), Qt::LeftButton);
        QVERIFY(added->ran);
        QCOMPARE(f.find<DataGrid>("DBAdvStringGrid4")->cell(1, 0), QStringLiteral("09:20:00 AM"));
        f.window->notiftimerTimer();
        QCOMPARE(f.window->scheduler()->list().NotifCount(), 1);
        QCOMPARE(f.window->scheduler()->list()[0].NotifTime, at(5, 9, 5));
        Messages::setNextAnswer(QMessageBox::Yes);
        QTest::mouseClick(f.find<QPushButton>("btnMedicineRemove"), Qt::LeftButton);
        QCOMPARE(Messages::shown().last(),
                 QStringLiteral("Are you sure you want to remove the selected dose?"));
        f.window->notiftimerTimer();
        QCOMPARE(f.window->scheduler()->list().NotifCount(), 0);
        QCOMPARE(test::count(f.ctx.db, "notif"), 0);
    }

    // Browse goes through the file-dialog wrapper; test playback through the audio player.
    void browseAndTestPlayback() {
        MainWindowFixture f({}, household);
        struct Player : platform::AudioPlayer {
            bool on = false;
            void play(const std::string& file) override {
                if (file.find("bad") != std::string::npos && onError)
                    onError("The file cannot be played.");
                else
                    on = true;
            }
            void stop() override {
                on = false;
                if (onFinished) onFinished();
            }
            bool playing() const override { return on; }
        };
        static Player* last = nullptr;
        f.ctx.hooks.playerFactory = [] {
            auto p = std::make_unique<Player>();
            last = p.get();
            return std::unique_ptr<platform::AudioPlayer>(std::move(p));
        };
        auto w = std::make_unique<TfrmAppointment>(f.ctx, Mode::Add, 1, -1, f.window.get());
        QVERIFY(!in<QLineEdit>(w.get(), "teAudioFile")->isEnabled());
        in<QCheckBox>(w.get(), "chkPlayAudio")->setChecked(true);
        QVERIFY(in<QLineEdit>(w.get(), "teAudioFile")->isEnabled());
        auto* play = in<QPushButton>(w.get(), "btnPlay");
        auto* stop = in<QPushButton>(w.get(), "btnStop");
        play->click();
        QCOMPARE(Messages::shown().last(), QStringLiteral("Please select an audio file"));
        f.ctx.hooks.nextFileNames << "/usr/share/sounds/chime.wav";
        in<QPushButton>(w.get(), "Button4")->click();
        QCOMPARE(in<QLineEdit>(w.get(), "teAudioFile")->text(),
                 QStringLiteral("/usr/share/sounds/chime.wav"));
        play->click();
        QVERIFY(!play->isEnabled());
        QVERIFY(stop->isEnabled());
        QVERIFY(last->on);
        stop->click();
        QVERIFY(play->isEnabled());
        QVERIFY(!stop->isEnabled());
        in<QLineEdit>(w.get(), "teAudioFile")->setText("/tmp/bad.wav");
        play->click();
        QCOMPARE(Messages::shown().last(), QStringLiteral("The file cannot be played."));
        QVERIFY(play->isEnabled());
        // Closing the wizard stops the sound.
        in<QLineEdit>(w.get(), "teAudioFile")->setText("/usr/share/sounds/chime.wav");
        play->click();
        Player* playing = last;
        QVERIFY(playing->on);
        w->reject();
        w.reset();
    }
};

QTEST_MAIN(TestWizards)
#include "test_wizards.moc"
