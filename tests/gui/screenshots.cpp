// Saves pictures of the main window's pages and colour schemes, for a person to look at:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/tests/vantrel_screenshots OUTDIR
#include "app/additionaloptions.h"
#include "app/calendartransfer.h"
#include "app/profiledialogs.h"
#include "core/datetime.h"
#include "notify/activenotif.h"
#include "notify/emaildialog.h"
#include "notify/missedreminders.h"
#include "plans/doselog.h"
#include "records/adddoctor.h"
#include "records/doctorspage.h"
#include "records/medicinedialog.h"
#include "records/medicinespage.h"
#include "schedule/appointmentwizard.h"
#include "schedule/calendarpage.h"
#include "schedule/dosingwizard.h"
#include "support/guifixture.h"
#include "support/plans.h"
#include "widgets/navbar.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QRandomGenerator>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <cmath>

using namespace vantrel;

namespace {

void settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

void save(QWidget* w, const QString& out, const QString& name) {
    settle();
    w->grab().save(out + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// The pages a run opens after an earlier one stored its lists as slivers.
void afterARestart(const QString& out) {
    test::MainWindowFixture f([](Settings& s) {
        s.Width = 820;
        s.Height = 620;
        s.medpan1h = s.medpan2h = s.docpan1h = s.docpan2h = 23;
    });
    f.window->startShown(true);
    f.window->dxSideBar1ItemClick(0);
    save(f.window.get(), out, QStringLiteral("restart-doctors"));
    f.window->dxSideBar1ItemClick(1);
    save(f.window.get(), out, QStringLiteral("restart-medicines"));
}

void allTheRest(const QString& out) {
    test::MainWindowFixture f(
        [](Settings& s) {
            s.Width = 820;
            s.Height = 620;
            s.PhoneFormat = 0;
        },
        [](test::MainWindowFixture& fx) {
            fx.seed([](data::Database& db) {
                db.run("INSERT INTO patient (NAME) VALUES ('Ben')");
                db.run("INSERT INTO doctor (LASTNAME, FIRSTNAME, MINITIAL, SPECIALTY, POFFICE, PFAX, "
                       "PMOBILE, COMMENTS) VALUES "
                       "('Berger', 'Anna', 'K', 'Cardiologist', '(555) 201-3344', '(555) 201-3345', '(555) "
                       "877-1200', "
                       "'Parking behind the clinic.')");
                db.run("INSERT INTO doctor (LASTNAME, FIRSTNAME, SPECIALTY, POFFICE) VALUES "
                       "('Okafor', 'Chidi', 'General Practitioner', '(555) 300-1000')");
                db.run("INSERT INTO doctor (LASTNAME, FIRSTNAME, SPECIALTY) VALUES ('Lindqvist', 'Maja', "
                       "'Pediatrician')");
                for (int d : {1, 2})
                    db.run("INSERT INTO dlref (PATIENTREF, DRREF) VALUES (1, ?)", {d});
                db.run("INSERT INTO dlref (PATIENTREF, DRREF) VALUES (2, 3)");
                db.run("INSERT INTO medicine (NAME, ACTIVEIN, SIDEEFFECTS, WARNINGS, COMMENTS) VALUES "
                       "('Lisinopril 10 mg', "
                       "'Lisinopril', 'Dizziness, dry cough', 'Do not take with potassium supplements.', "
                       "'Morning dose.')");
                db.run("INSERT INTO medicine (NAME, ACTIVEIN) VALUES ('Atorvastatin 20 mg', 'Atorvastatin "
                       "calcium')");
                db.run("INSERT INTO medicine (NAME) VALUES ('Amoxicillin 250 mg')");
                for (int m : {1, 2})
                    db.run("INSERT INTO mlref (PATIENTREF, MEDREF, rxnum) VALUES (1, ?, 'RX-1001')", {m});
                db.run("INSERT INTO mlref (PATIENTREF, MEDREF) VALUES (2, 3)");
            });
        });
    f.window->startShown(true);
    const auto snap = [&](const QString& name) {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        f.window->grab().save(out + QLatin1Char('/') + name + QStringLiteral(".png"));
    };
    snap(QStringLiteral("welcome"));
    const char* pages[] = {"doctors", "medicines", "calendar"};
    for (int i = 0; i < 3; ++i) {
        f.window->dxSideBar1ItemClick(i);
        snap(QString::fromLatin1(pages[i]));
    }
    const char* schemes[] = {"PastelDefault1", "CoolBlue1", "GreenYellow1", "PlainGrey1"};
    for (const char* scheme : schemes) {
        f.find<QAction>(QString::fromLatin1(scheme))->trigger();
        f.window->dxSideBar1ItemClick(0);
        snap(QStringLiteral("scheme-%1-doctors").arg(QString::fromLatin1(scheme)));
        f.window->dxSideBar1ItemClick(1);
        snap(QStringLiteral("scheme-%1-medicines").arg(QString::fromLatin1(scheme)));
    }

    // The dialogs in each of their uses.
    const auto dialog = [&](QWidget* d, const QString& name) {
        d->show();
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        d->grab().save(out + QLatin1Char('/') + name + QStringLiteral(".png"));
        d->close();
    };
    f.window->dxSideBar1ItemClick(0);
    {
        TfrmAddDoctor d(f.ctx, TfrmAddDoctor::Mode::Add, -1, f.window.get());
        dialog(&d, QStringLiteral("dialog-doctor-add"));
    }
    {
        // Taking over a doctor that another profile entered.
        TfrmAddDoctor d(f.ctx, TfrmAddDoctor::Mode::Add, -1, f.window.get());
        d.rbSelectDoctorClick();
        d.findChild<QRadioButton*>(QStringLiteral("rbSelectDoctor"))->setChecked(true);
        d.cbDoctorChange(0);
        d.findChild<QComboBox*>(QStringLiteral("cbDoctor"))->setCurrentIndex(0);
        dialog(&d, QStringLiteral("dialog-doctor-takeover"));
    }
    {
        TfrmAddDoctor d(f.ctx, TfrmAddDoctor::Mode::Edit, 1, f.window.get());
        dialog(&d, QStringLiteral("dialog-doctor-edit"));
    }
    {
        TfrmMedicine d(f.ctx, TfrmMedicine::Mode::Add, -1, f.window.get());
        dialog(&d, QStringLiteral("dialog-medicine-add"));
    }
    {
        TfrmMedicine d(f.ctx, TfrmMedicine::Mode::Edit, 1, f.window.get());
        dialog(&d, QStringLiteral("dialog-medicine-edit"));
    }
    {
        TfrmFirstProfile d(f.ctx, f.window.get());
        dialog(&d, QStringLiteral("dialog-first-profile"));
    }
    {
        TfrmAddProfile d(f.ctx, f.window.get(), QPoint(300, 100));
        dialog(&d, QStringLiteral("dialog-add-profile"));
    }

    // Reminder windows: a dose with a message and a sound, an appointment without a message.
    const int med = test::addMedicine(f.ctx.db, QStringLiteral("Amoxicillin 500 mg"));
    const int doc = test::addDoctor(f.ctx.db, QStringLiteral("Anna"), QStringLiteral("Berger"));
    const double now = f.ctx.clock->nowValue();
    test::Popup dose;
    dose.APPTTYPE = QStringLiteral("M");
    dose.MEDREF = med;
    dose.NOTIFMIN = 10;
    dose.NOTIFTEXT = QStringLiteral("Take one capsule with a full glass of water.");
    dose.PLAYAUDIO = true;
    dose.AUDIOFILE = QStringLiteral("/usr/share/sounds/alsa/Front_Center.wav");
    dose.eventTime = now + 10 * dt::kMinute;
    auto* a = TfrmActiveNotif::open(f.ctx, test::occurrenceOf(f.ctx.db, dose));
    test::Popup appt;
    appt.APPTTYPE = QStringLiteral("D");
    appt.DRREF = doc;
    appt.NOTIFMIN = 30;
    appt.eventTime = now + 30 * dt::kMinute;
    auto* b = TfrmActiveNotif::open(f.ctx, test::occurrenceOf(f.ctx.db, appt));
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    a->grab().save(out + QStringLiteral("/reminder-dose.png"));
    b->grab().save(out + QStringLiteral("/reminder-appointment.png"));
    test::Popup longName = dose;
    longName.MEDREF = test::addMedicine(f.ctx.db, QStringLiteral("Hydrochlorothiazide Extended Release 25 mg "
                                                                 "tablets for the morning"));
    auto* c = TfrmActiveNotif::open(f.ctx, test::occurrenceOf(f.ctx.db, longName));
    save(c, out, QStringLiteral("reminder-long-name"));

    // The navigation bar: the current page's item marked, and an item pressed.
    f.window->dxSideBar1ItemClick(1);
    auto* nav = f.find<QWidget>(QStringLiteral("Panel1"));
    save(nav, out, QStringLiteral("navbar-current"));
    auto* item = f.find<NavBar>(QStringLiteral("dxSideBar1"))->item(2);
    item->setDown(true);
    save(nav, out, QStringLiteral("navbar-pressed"));
    item->setDown(false);

    // Both wizards, every page of each, with a plan of each kind in the lists behind them.
    {
        test::PlanSpec appt;
        appt.type = QStringLiteral("D");
        appt.doctor = 1;
        appt.start = now + 1;
        test::addPlan(f.ctx.db, appt);
        test::PlanSpec dose;
        dose.medicine = 2;
        dose.start = std::floor(now) + 8.0 / 24;
        dose.repeat = QStringLiteral("D");
        test::addPlan(f.ctx.db, dose);
        dose.start = std::floor(now) + 20.0 / 24;
        test::addPlan(f.ctx.db, dose);
    }
    f.window->dxSideBar1ItemClick(0);
    f.window->doctorsPage()->rowChanging(1);
    snap(QStringLiteral("list-appointments"));
    f.window->dxSideBar1ItemClick(1);
    f.window->medicinesPage()->rowChanging(1);
    snap(QStringLiteral("list-dosings"));
    const auto wizardPages = [&](PlanWizard* w, const QString& name) {
        w->show();
        for (int i = 0; i < w->pages()->count(); ++i) {
            w->pages()->setCurrentIndex(i);
            save(w, out, QStringLiteral("%1-%2").arg(name).arg(i));
        }
        w->close();
    };
    {
        TfrmAppointment w(f.ctx, PlanWizard::Mode::Add, 1, -1, f.window.get());
        w.findChild<QCheckBox*>(QStringLiteral("chkPlayAudio"))->setChecked(true);
        wizardPages(&w, QStringLiteral("wizard-appointment"));
    }
    {
        TfrmDosing w(f.ctx, PlanWizard::Mode::Add, 2, -1, f.window.get());
        wizardPages(&w, QStringLiteral("wizard-dosing"));
    }

    // The calendar with a week of mixed appointments and doses, at each precision and day count.
    {
        const double today = std::floor(now);
        const auto plan = [&](const char* type, double start, double end, const char* repeat,
                              const char* days) {
            test::PlanSpec p;
            p.type = QString::fromLatin1(type);
            p.doctor = p.type == QLatin1String("D") ? 1 : -1;
            p.medicine = p.type == QLatin1String("M") ? 1 : -1;
            p.start = start;
            p.repeat = QString::fromLatin1(repeat);
            p.days = QString::fromLatin1(days);
            const int id = test::addPlan(f.ctx.db, p);
            f.ctx.db.run("UPDATE planlist SET ENDTIME = ? WHERE APPTID = ?", {end, id});
        };
        plan("D", today + 9.5 / 24, today + 10.5 / 24, "N", "");
        plan("D", today + 1 + 14.0 / 24, today + 1 + 15.5 / 24, "N", "");
        plan("M", today + 8.0 / 24, today + 8.25 / 24, "D", "");
        plan("M", today + 9.75 / 24, today + 10.0 / 24, "W", "246");
        plan("M", today + 23.83 / 24, today + 1 + 0.08 / 24, "X", "2");
    }
    f.window->dxSideBar1ItemClick(2);
    f.window->calendarPage()->PopulateCalendar();
    for (const char* precision : {"rbprec15", "rbprec30", "rbprec60"})
        for (const char* days : {"rb1day", "rb3days", "rb5days"}) {
            f.find<QRadioButton>(QString::fromLatin1(precision))->click();
            f.find<QRadioButton>(QString::fromLatin1(days))->click();
            snap(QStringLiteral("calendar-%1-%2")
                     .arg(QString::fromLatin1(precision), QString::fromLatin1(days)));
        }
    f.find<QPushButton>(QStringLiteral("Button1"))->click();
    snap(QStringLiteral("calendar-hidden"));
    f.find<QPushButton>(QStringLiteral("Button1"))->click();
    // At the window's first size (600 by 680): shorter headers, a description that scrolls.
    f.window->resize(600, 680);
    f.find<QRadioButton>(QStringLiteral("rbprec30"))->click();
    snap(QStringLiteral("calendar-default-size"));
    f.window->resize(820, 620);
    // The dosing list with its schedule column.
    f.window->dxSideBar1ItemClick(1);
    snap(QStringLiteral("list-dosings-schedule"));

    // The e-mail settings, both pages.
    {
        Tfrmemail d(f.ctx, f.window.get());
        d.findChild<QRadioButton*>(QStringLiteral("rbSMTP"))->click();
        dialog(&d, QStringLiteral("dialog-email-smtp"));
    }
    {
        Tfrmemail d(f.ctx, f.window.get());
        d.findChild<QRadioButton*>(QStringLiteral("rbMAPI"))->click();
        dialog(&d, QStringLiteral("dialog-email-mapi"));
    }

    // Help in its own window.
    f.find<QAction>(QStringLiteral("Contents1"))->trigger();
    if (auto* help = f.find<QWidget>(QStringLiteral("TfrmHelp"))) save(help, out, QStringLiteral("help"));
}

// A dose reminder answered from its window, its snooze menu, and the History page over a month
// of doses taken, skipped and missed.
void answersAndHistory(const QString& out) {
    test::MainWindowFixture f(
        [](Settings& s) {
            s.Width = 820;
            s.Height = 620;
        },
        {}, {QStringLiteral("Alice Tester"), QStringLiteral("Bob Tester")});
    f.window->startShown(true);
    const double now = f.ctx.clock->nowValue();
    const double today = std::floor(now);
    int amox = -1, lisin = -1;
    f.seed([&](data::Database& db) {
        amox = test::addMedicine(db, QStringLiteral("Amoxicillin"));
        lisin = test::addMedicine(db, QStringLiteral("Lisinopril 10 mg"));
        test::addLink(db, "mlref", 1, amox);
        test::addLink(db, "mlref", 1, lisin);
        db.run("UPDATE mlref SET PILLSONHAND = 5, PILLSPERDOSE = 1 WHERE MEDREF = ?", {amox});
        plans::DoseLog log(db);
        QRandomGenerator r(7);
        for (const auto& [med, name, hour] : {std::tuple{amox, "Amoxicillin", 8.0}, std::tuple{amox, "Amoxicillin", 20.0},
                                              std::tuple{lisin, "Lisinopril 10 mg", 9.0}}) {
            test::PlanSpec p;
            p.medicine = med;
            p.start = today - 40 + hour / 24;
            p.repeat = QStringLiteral("D");
            const int plan = test::addPlan(db, p);
            for (int day = 30; day >= 1; --day) {
                ReminderOccurrence o;
                o.APPTID = plan;
                o.PATIENTREF = 1;
                o.APPTTYPE = QStringLiteral("M");
                o.itemName = QString::fromLatin1(name);
                o.eventTime = today - day + hour / 24;
                const auto row = log.raise(o, o.eventTime);
                const int roll = r.bounded(20);
                if (roll < 16)
                    log.setAnswer(row.LOGID, u'T', o.eventTime + r.bounded(40) * dt::kMinute);
                else if (roll < 18)
                    log.setAnswer(row.LOGID, u'S', o.eventTime + 5 * dt::kMinute);
                else
                    db.run("UPDATE doselog SET STATE = 'M' WHERE LOGID = ?", {row.LOGID});
                if (day == 3 && hour == 9.0) log.setNote(row.LOGID, QStringLiteral("Felt dizzy, took it after lunch"));
            }
        }
        db.run("UPDATE mlref SET PILLSONHAND = 5 WHERE MEDREF = ?", {amox});
    });
    f.window->dxSideBar1ItemClick(3);
    save(f.window.get(), out, QStringLiteral("history-month"));
    f.find<QComboBox>(QStringLiteral("cbHistoryPeriod"))->setCurrentIndex(0);
    save(f.window.get(), out, QStringLiteral("history-week"));
    f.find<QAction>(QStringLiteral("CoolBlue1"))->trigger();
    f.find<QComboBox>(QStringLiteral("cbHistoryPeriod"))->setCurrentIndex(2);
    save(f.window.get(), out, QStringLiteral("history-90-days-coolblue"));
    {
        test::Popup dose;
        dose.APPTTYPE = QStringLiteral("M");
        dose.MEDREF = amox;
        dose.NOTIFTEXT = QStringLiteral("Take one capsule with a full glass of water.");
        dose.eventTime = now;
        ReminderOccurrence o = test::occurrenceOf(f.ctx.db, dose);
        o.PATIENTREF = 1;
        o.personName = QStringLiteral("Alice Tester");
        o.showPerson = true;
        o.refillWarning = QStringLiteral("Amoxicillin: 5 left, about 2 days. Time to refill.");
        o.nextEventTime = now + 0.5;
        auto* w = TfrmActiveNotif::open(f.ctx, o);
        save(w, out, QStringLiteral("reminder-dose-answers"));
        auto* menu = w->findChild<QMenu*>(QStringLiteral("SnoozeMenu"));
        menu->popup(w->mapToGlobal(QPoint(0, w->height())));
        save(menu, out, QStringLiteral("reminder-snooze-menu"));
        menu->hide();
        w->close();
    }
    {
        test::Popup appt;
        appt.APPTTYPE = QStringLiteral("D");
        appt.DRREF = test::addDoctor(f.ctx.db, QStringLiteral("Anna"), QStringLiteral("Berger"));
        appt.NOTIFMIN = 30;
        appt.eventTime = now + 30 * dt::kMinute;
        auto* w = TfrmActiveNotif::open(f.ctx, test::occurrenceOf(f.ctx.db, appt));
        save(w, out, QStringLiteral("reminder-appointment-snooze"));
        w->close();
    }
    {
        // What came due over a morning while the computer was off.
        QList<ReminderOccurrence> missed;
        const std::tuple<const char*, const char*, double, const char*, const char*> rows[] = {
            {"D", "Anna Berger", 13.0, "Bring the blood test results", "Bob Tester"},
            {"M", "Amoxicillin", 12.0, "Take one capsule with a full glass of water.", "Alice Tester"},
            {"M", "Lisinopril 10 mg", 9.0, "", "Alice Tester"},
            {"M", "Amoxicillin", 8.0, "Take one capsule with a full glass of water.", "Alice Tester"}};
        for (const auto& [type, item, hour, text, person] : rows) {
            ReminderOccurrence o;
            o.APPTTYPE = QString::fromLatin1(type);
            o.itemName = QString::fromLatin1(item);
            o.eventTime = today + hour / 24;
            o.reminder.NOTIFTEXT = QString::fromLatin1(text);
            o.personName = QString::fromLatin1(person);
            missed << o;
        }
        auto* w = new TfrmMissedReminders(missed);
        w->show();
        save(w, out, QStringLiteral("missed-reminders"));
        w->answerRow(1, u'T');
        save(w, out, QStringLiteral("missed-reminders-answered"));
        w->close();
    }
    {
        TfrmMedicine d(f.ctx, TfrmMedicine::Mode::Edit, amox, f.window.get());
        d.show();
        save(&d, out, QStringLiteral("dialog-medicine-pills"));
    }
    {
        TfrmAdditionalOptions d(f.ctx, f.window.get());
        d.show();
        save(&d, out, QStringLiteral("dialog-additional-options"));
    }
}

// The File menu's calendar and medicine list: whose calendar to export, what an import took
// and refused, and the print preview of a medicine list.
void calendarFiles(const QString& out) {
    test::MainWindowFixture f({}, {}, {"Alice Tester", "Ben"});
    f.seed([](data::Database& db) {
        db.run("INSERT INTO doctor (LASTNAME, FIRSTNAME, SPECIALTY, POFFICE, PMOBILE) VALUES "
               "('House', 'Gregory', 'Diagnostics', '(555) 010-2000', '(555) 010-3000')");
        db.run("INSERT INTO dlref (PATIENTREF, DRREF) VALUES (1, 1)");
        const int amox = test::addMedicine(db, "Amoxicillin 250 mg");
        test::addLink(db, "mlref", 1, amox, "RX-4471");
        const int vit = test::addMedicine(db, "Vitamin D 1000 IU");
        test::addLink(db, "mlref", 1, vit);
        test::PlanSpec a;
        a.medicine = amox;
        a.start = dt::encode(2026, 1, 5, 8, 0);
        a.repeat = "X";
        a.days = "3";
        a.end = dt::encode(2026, 2, 28);
        test::addPlan(db, a);
        test::PlanSpec v = a;
        v.medicine = vit;
        v.start = dt::encode(2026, 1, 5, 21, 30);
        v.repeat = "W";
        v.days = "246";
        v.end = 0;
        test::addPlan(db, v);
        test::PlanSpec visit;
        visit.type = "D";
        visit.doctor = 1;
        visit.start = dt::encode(2026, 1, 14, 10, 30);
        test::addPlan(db, visit);
    });
    f.window->startShown(true);
    {
        TfrmExportCalendar d(QStringLiteral("Alice Tester"), f.window.get());
        d.show();
        save(&d, out, QStringLiteral("dialog-export-calendar"));
    }
    {
        plans::ImportReport report;
        report.written = 4;
        report.doctorsAdded = 1;
        report.medicinesAdded = 2;
        report.refused = {{QStringLiteral("Book club"), QStringLiteral("it repeats monthly")},
                          {QStringLiteral("Physiotherapy"), QStringLiteral("it repeats a number of times (COUNT) rather than until a day")},
                          {QStringLiteral("Holiday"), QStringLiteral("it lasts whole days, without a time of day")},
                          {QStringLiteral("Flight"), QStringLiteral("its time is floating, in no time zone")}};
        TfrmImportResult d(report, QStringLiteral("Alice Tester"), f.window.get());
        d.show();
        save(&d, out, QStringLiteral("dialog-import-result"));
    }
    test::whenModal<QPrintPreviewDialog>([&out](QPrintPreviewDialog* d) {
        save(d, out, QStringLiteral("print-preview"));
        d->reject();
    });
    f.find<QAction>(QStringLiteral("PrintMedicineList1"))->trigger();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screens");
    QDir().mkpath(out);
    allTheRest(out);
    afterARestart(out);
    answersAndHistory(out);
    calendarFiles(out);
    return 0;
}
