#include "app/profiledialogs.h"
#include "core/datetime.h"
#include "notify/activenotif.h"
#include "notify/scheduler.h"
#include "records/doctorspage.h"
#include "support/guifixture.h"
#include "support/plans.h"
#include "widgets/datagrid.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace vantrel;
using test::MainWindowFixture;

namespace {

QStringList profileList(MainWindowFixture& f) {
    QStringList out;
    auto* cb = f.find<QComboBox>("cbPatient");
    for (int i = 0; i < cb->count(); ++i)
        out << cb->itemText(i);
    return out;
}

void addProfile(MainWindowFixture& f, const QString& name, int expectedWarnings = 0) {
    test::whenModal<TfrmAddProfile>([name, expectedWarnings](TfrmAddProfile* d) {
        d->findChild<QLineEdit*>("teProfileName")->setText(name);
        const int before = Messages::shown().size();
        QTest::mouseClick(d->findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
        if (Messages::shown().size() > before) {
            QCOMPARE(expectedWarnings, 1);
            d->reject();
        }
    });
    f.find<QPushButton>("btnAddProfile")->click();
}

} // namespace

class TestProfiles : public QObject {
    Q_OBJECT
private slots:
    void anEmptyStoreAsksForTheFirstProfileOnceTheWindowIsShown() {
        MainWindowFixture f({}, {}, {});
        QVERIFY(profileList(f).isEmpty());
        // The timer fires while the window has not been shown: it waits and asks nothing.
        auto* timer = f.find<QTimer>("TimerConfig");
        QVERIFY(timer->isActive());
        for (int i = 0; i < 3; ++i)
            f.window->TimerConfigTimer();
        QVERIFY(!QApplication::activeModalWidget()); // not before the window has been shown
        QVERIFY(timer->isActive());
        bool asked = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* d = qobject_cast<TfrmFirstProfile*>(QApplication::activeModalWidget());
            if (!d || asked) return;
            asked = true;
            QCOMPARE(d->windowTitle(), QStringLiteral("Vantrel Planner Configuration"));
            d->close();  // the close box does nothing
            d->reject(); // nor does Escape
            QVERIFY(d->isVisible());
            Messages::clearShown();
            QTest::mouseClick(d->findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
            QCOMPARE(Messages::shown(), QStringList({"Please enter your name to create the first profile"}));
            QVERIFY(d->isVisible());
            d->findChild<QLineEdit*>("teName")->setText(QStringLiteral("Zo\u00eb \"Z\" O'Neil; sr."));
            QTest::mouseClick(d->findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
        });
        poll.start(20);
        f.window->startShown(true);
        QTRY_VERIFY(asked);
        QTRY_COMPARE(profileList(f), QStringList({"Zo\u00eb \"Z\" O'Neil; sr."}));
        QVERIFY(f.ctx.CurrentPatientRef > 0);
        QCOMPARE(test::count(f.ctx.db, "patient"), 1);
    }

    void addingAProfileMakesItCurrentAndRefusesExactDuplicates() {
        MainWindowFixture f;
        f.window->show();
        addProfile(f, "Ben");
        QCOMPARE(profileList(f), QStringList({"Ann", "Ben"}));
        QCOMPARE(f.find<QComboBox>("cbPatient")->currentText(), QStringLiteral("Ben"));
        QCOMPARE(f.ctx.CurrentPatientRef, 2);
        Messages::clearShown();
        addProfile(f, "Ben", 1);
        QCOMPARE(Messages::shown(), QStringList({"Profile name already exists"}));
        addProfile(f, "ben"); // letter case counts
        QCOMPARE(profileList(f), QStringList({"Ann", "Ben", "ben"}));
        Messages::clearShown();
        addProfile(f, "", 1);
        QCOMPARE(Messages::shown(), QStringList({"Please enter a name for the profile"}));
        addProfile(f, "   "); // blanks only are a name
        QCOMPARE(profileList(f).size(), 4);
    }

    void switchingFollowsTheProfileEverywhere() {
        MainWindowFixture f({}, [](MainWindowFixture& fx) {
            fx.seed([](data::Database& db) {
                db.run("INSERT INTO patient (NAME) VALUES ('Ben')");
                const int a = test::addDoctor(db, "Anna", "Berger");
                const int b = test::addDoctor(db, "Chidi", "Okafor");
                test::addLink(db, "dlref", 1, a);
                test::addLink(db, "dlref", 2, b);
            });
        });
        auto* grid = f.find<DataGrid>("DBAdvStringGrid1");
        QCOMPARE(grid->cell(1, 0), QStringLiteral("Berger"));
        auto* cb = f.find<QComboBox>("cbPatient");
        cb->setCurrentIndex(1);
        f.window->cbPatientChange();
        QCOMPARE(f.ctx.CurrentPatientRef, 2);
        QCOMPARE(grid->cell(1, 0), QStringLiteral("Okafor"));
        QCOMPARE(f.window->cursors().tbdlref.rowCount(), 1);
        QCOMPARE(f.window->cursors().tbdlref.filter(), QStringLiteral("patientref = 2"));
        QCOMPARE(f.window->cursors().tbplanlist2.filter(), QStringLiteral("patientref = 2"));
    }

    void removingAProfileTakesEverythingOfItAndNoReminderOfItIsRaised() {
        MainWindowFixture f({}, [](MainWindowFixture& fx) {
            fx.seed([](data::Database& db) {
                db.run("INSERT INTO patient (NAME) VALUES ('Ben')");
                const int shared = test::addDoctor(db, "Sam", "Shared");
                const int med = test::addMedicine(db, "Only Ann's");
                test::addLink(db, "dlref", 1, shared);
                test::addLink(db, "dlref", 2, shared);
                test::addLink(db, "mlref", 1, med);
                test::PlanSpec dose;
                dose.medicine = med;
                dose.start = dt::encode(2026, 1, 5, 9, 50);
                test::addPlan(db, dose);
                test::PlanSpec appt;
                appt.patient = 2;
                appt.type = "D";
                appt.doctor = shared;
                appt.start = dt::encode(2026, 1, 5, 9, 40);
                test::addPlan(db, appt);
            });
        });
        f.window->notiftimerTimer(); // the list holds Ann's dose and Ben's appointment
        QCOMPARE(f.window->scheduler()->list().NotifCount(), 2);

        Messages::setNextAnswer(QMessageBox::No);
        f.window->btnRemoveProfileClick();
        QCOMPARE(test::count(f.ctx.db, "patient"), 2);

        Messages::clearShown();
        Messages::setNextAnswer(QMessageBox::Yes);
        f.window->btnRemoveProfileClick(); // Ann, the current profile
        QCOMPARE(Messages::shown(), QStringList({"Are you sure you want to remove this profile?"}));
        QCOMPARE(profileList(f), QStringList({"Ben"}));
        QCOMPARE(f.ctx.CurrentPatientRef, 2);
        QCOMPARE(test::count(f.ctx.db, "doctor"), 1);
        QCOMPARE(test::count(f.ctx.db, "medicine"), 0);
        QVERIFY2(test::orphanRows(f.ctx.db).isEmpty(), qPrintable(test::orphanRows(f.ctx.db).join('\n')));
        QVERIFY(!f.ctx.NotifsLoaded);
        f.clock->setValue(dt::encode(2026, 1, 5, 9, 35));
        f.window->notiftimerTimer(); // rebuilt without Ann's dose
        QCOMPARE(f.window->scheduler()->list().NotifCount(), 1);
        for (int minute : {41, 51, 55}) {
            f.clock->setValue(dt::encode(2026, 1, 5, 9, minute));
            f.window->notiftimerTimer();
        }
        QCOMPARE(f.window->openReminders().size(), 1); // Ben's appointment only
        f.window->openReminders()[0]->close();

        Messages::clearShown();
        f.window->btnRemoveProfileClick();
        QCOMPARE(Messages::shown(), QStringList({"At least one profile must be entered"}));
        QCOMPARE(profileList(f), QStringList({"Ben"}));
    }

    // A profile with a dose history: the question says the history goes too, and only its own.
    void removingAProfileSaysItsHistoryGoesWithIt() {
        MainWindowFixture f({}, {}, {"Ann", "Ben"});
        f.seed([](data::Database& db) {
            const int patients[] = {1, 1, 2};
            for (int day = 0; day < 3; ++day)
                db.run(QStringLiteral("INSERT INTO doselog (PATIENTREF, APPTID, APPTTYPE, ITEMNAME, EVENTTIME, "
                                      "RAISEDAT, STATE) VALUES (?, 7, 'M', 'Aspirin', ?, 0, 'T')"),
                       {patients[day], 46000.0 + day});
        });
        Messages::clearShown();
        Messages::setNextAnswer(QMessageBox::Yes);
        f.window->btnRemoveProfileClick();
        QCOMPARE(Messages::shown(),
                 QStringList({"Are you sure you want to remove this profile? Its dose history (2 entries) is "
                              "removed with it."}));
        QCOMPARE(test::count(f.ctx.db, "doselog"), 1);
    }
};

QTEST_MAIN(TestProfiles)
#include "test_profiles.moc"
