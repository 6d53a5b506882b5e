#include "base/errors.h"
#include "data/database.h"
#include "data/removal.h"
#include "support/plans.h"
#include "support/testsupport.h"

#include <QtTest>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// Two profiles sharing Dr. Shared and Aspirin; each has a doctor and a medicine of its own, an
// appointment with the shared doctor and a dosing of the shared medicine.
struct Household {
    Sandbox box;
    data::Database db;
    int shared, ownDoctor, aspirin, ownMedicine;
    QMap<QString, int> links;

    Household() {
        db.open(box.dataDir());
        db.run("INSERT INTO patient (NAME) VALUES ('Ann')");
        db.run("INSERT INTO patient (NAME) VALUES ('Ben')");
        shared = addDoctor(db, "Sam", "Shared");
        ownDoctor = addDoctor(db, "Olga", "Own");
        aspirin = addMedicine(db, "Aspirin");
        ownMedicine = addMedicine(db, "Own pill");
        links["ann-shared"] = addLink(db, "dlref", 1, shared);
        links["ben-shared"] = addLink(db, "dlref", 2, shared);
        links["ann-own"] = addLink(db, "dlref", 1, ownDoctor);
        links["ann-aspirin"] = addLink(db, "mlref", 1, aspirin, "RX-A");
        links["ben-aspirin"] = addLink(db, "mlref", 2, aspirin, "RX-B");
        links["ann-ownpill"] = addLink(db, "mlref", 1, ownMedicine);
        for (int patient : {1, 2}) {
            PlanSpec appt;
            appt.patient = patient;
            appt.type = "D";
            appt.doctor = shared;
            addPlan(db, appt);
            PlanSpec dose;
            dose.patient = patient;
            dose.medicine = aspirin;
            addPlan(db, dose);
        }
        PlanSpec own;
        own.type = "D";
        own.doctor = ownDoctor;
        addPlan(db, own);
    }
    int plansOf(int patient) {
        return count(db, QStringLiteral("planlist WHERE PATIENTREF = %1").arg(patient));
    }
};

} // namespace

class TestRemoval : public QObject {
    Q_OBJECT
private slots:
    void removingASharedDoctorTakesOnlyThisProfilesLinkAndAppointments() {
        Household h;
        QVERIFY(orphanRows(h.db).isEmpty());
        QCOMPARE(data::removeDoctorLink(h.db, 1, h.links["ann-shared"]), h.shared);
        QCOMPARE(count(h.db, QStringLiteral("doctor WHERE DRREF = %1").arg(h.shared)), 1);
        QCOMPARE(count(h.db, QStringLiteral("dlref WHERE DRREF = %1").arg(h.shared)), 1);
        QCOMPARE(h.plansOf(1), 2); // the dosing and the appointment with the own doctor
        QCOMPARE(h.plansOf(2), 2);
        QVERIFY2(orphanRows(h.db).isEmpty(), qPrintable(orphanRows(h.db).join('\n')));
    }

    void removingTheLastLinkRemovesTheDoctor() {
        Household h;
        data::removeDoctorLink(h.db, 1, h.links["ann-own"]);
        QCOMPARE(count(h.db, QStringLiteral("doctor WHERE DRREF = %1").arg(h.ownDoctor)), 0);
        QCOMPARE(count(h.db, "doctor"), 1);
        QCOMPARE(h.plansOf(1), 2);
        QVERIFY(orphanRows(h.db).isEmpty());
    }

    void removingAMedicineKeepsTheOtherProfilesPrescription() {
        Household h;
        QCOMPARE(data::removeMedicineLink(h.db, 1, h.links["ann-aspirin"]), h.aspirin);
        QCOMPARE(count(h.db, "medicine"), 2);
        QCOMPARE(count(h.db, "mlref WHERE rxnum = 'RX-B'"), 1);
        QCOMPARE(h.plansOf(1), 2); // both appointments stay
        QCOMPARE(h.plansOf(2), 2);
        data::removeMedicineLink(h.db, 1, h.links["ann-ownpill"]);
        QCOMPARE(count(h.db, "medicine"), 1);
        QVERIFY(orphanRows(h.db).isEmpty());
    }

    void removingAProfileLeavesNothingOfItBehind() {
        Household h;
        data::removeProfile(h.db, 1);
        QCOMPARE(count(h.db, "patient"), 1);
        QCOMPARE(count(h.db, "doctor"), 1);   // the shared one
        QCOMPARE(count(h.db, "medicine"), 1); // aspirin
        QCOMPARE(h.plansOf(1), 0);
        QCOMPARE(h.plansOf(2), 2);
        QCOMPARE(count(h.db, "notif"), 2);
        QVERIFY2(orphanRows(h.db).isEmpty(), qPrintable(orphanRows(h.db).join('\n')));
    }

    void aFailureHalfWayLeavesEverythingAsItWas() {
        Household h;
        h.db.run(
            "CREATE TEMP TRIGGER refuse BEFORE DELETE ON doctor BEGIN SELECT RAISE(ABORT, 'disk full'); END");
        QVERIFY_THROWS_EXCEPTION(DataError, data::removeDoctorLink(h.db, 1, h.links["ann-own"]));
        QVERIFY_THROWS_EXCEPTION(DataError, data::removeProfile(h.db, 1));
        QCOMPARE(count(h.db, "patient"), 2);
        QCOMPARE(count(h.db, "dlref"), 3);
        QCOMPARE(count(h.db, "mlref"), 3);
        QCOMPARE(count(h.db, "planlist"), 5);
        QCOMPARE(count(h.db, "notif"), 5);
    }

    void aLinkOfAnotherProfileIsRefused() {
        Household h;
        QVERIFY_THROWS_EXCEPTION(DataError, data::removeDoctorLink(h.db, 1, h.links["ben-shared"]));
        QCOMPARE(count(h.db, "dlref"), 3);
    }
};

QTEST_GUILESS_MAIN(TestRemoval)
#include "test_removal.moc"
