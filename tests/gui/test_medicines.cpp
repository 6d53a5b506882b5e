#include "records/medicinedialog.h"
#include "records/medicinespage.h"
#include "support/guifixture.h"
#include "support/plans.h"
#include "widgets/datagrid.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace vantrel;
using test::child;
using test::clickOk;
using test::MainWindowFixture;

namespace {

// Ann (1) takes two medicines called "Aspirin" and Insulin; Ben (2) takes the first Aspirin
// and Metformin. Each profile has a dosing of the first Aspirin.
void household(MainWindowFixture& f) {
    f.seed([](data::Database& db) {
        db.run("INSERT INTO patient (NAME) VALUES ('Ben')");
        const int aspirin = test::addMedicine(db, "Aspirin");
        const int aspirin2 = test::addMedicine(db, "Aspirin");
        const int insulin = test::addMedicine(db, "Insulin");
        const int metformin = test::addMedicine(db, "Metformin");
        test::addLink(db, "mlref", 1, aspirin, "RX-ANN");
        test::addLink(db, "mlref", 1, aspirin2);
        test::addLink(db, "mlref", 1, insulin);
        test::addLink(db, "mlref", 2, aspirin, "RX-BEN");
        test::addLink(db, "mlref", 2, metformin);
        for (int patient : {1, 2}) {
            test::PlanSpec dose;
            dose.patient = patient;
            dose.medicine = aspirin;
            test::addPlan(db, dose);
        }
    });
}

DataGrid* medicineGrid(MainWindowFixture& f) {
    return f.find<DataGrid>("DBAdvStringGrid3");
}

QString details(MainWindowFixture& f, const char* name) {
    return f.find<QLabel>(QString::fromLatin1(name))->text();
}

} // namespace

class TestMedicines : public QObject {
    Q_OBJECT
private slots:
    void anEmptyListDisablesEverythingButAdd() {
        MainWindowFixture f;
        for (const char* b :
             {"btnEditMedicine", "BitBtn12", "btnAddMedicine", "btnMedicineEdit", "btnMedicineRemove"})
            QVERIFY2(!f.find<QPushButton>(QString::fromLatin1(b))->isEnabled(), b);
        QVERIFY(f.find<QPushButton>("BitBtn10")->isEnabled());
        QCOMPARE(details(f, "NAME"), QString());
    }

    // Tab goes from the name through the upper group in its order, then to "Prescription #:".
    void tabGoesThroughTheUpperGroupInItsOrder() {
        MainWindowFixture f({}, household);
        TfrmMedicine d(f.ctx, TfrmMedicine::Mode::Add, -1, f.window.get());
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        auto* name = d.findChild<QLineEdit*>("dbMedName");
        name->setFocus(Qt::TabFocusReason);
        QStringList order;
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        // The list waits for its radio button, so Tab passes it by.
        QCOMPARE(order, QStringList({"rbSelectMedicine", "rbAddMedicine", "DBEdit2"}));
        QTest::mouseClick(d.findChild<QRadioButton*>("rbSelectMedicine"), Qt::LeftButton);
        QVERIFY(!d.findChild<QRadioButton*>("rbAddMedicine")->isChecked());
        // The name now waits for its own radio button; from the first one Tab goes on in order.
        d.findChild<QRadioButton*>("rbSelectMedicine")->setFocus(Qt::TabFocusReason);
        order.clear();
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order, QStringList({"cbMedicine", "rbAddMedicine", "DBEdit2"}));
        QTest::mouseClick(d.findChild<QRadioButton*>("rbAddMedicine"), Qt::LeftButton);
        QVERIFY(!d.findChild<QRadioButton*>("rbSelectMedicine")->isChecked());
    }

    void addingANewMedicineStoresThePrescriptionOnTheLink() {
        MainWindowFixture f({}, household);
        QCOMPARE(medicineGrid(f)->shownRows(), 3);
        QVERIFY(f.find<QPushButton>("btnAddMedicine")->isEnabled());
        QVERIFY(f.find<QPushButton>("btnMedicineEdit")->isEnabled()); // Ann's Aspirin dosing
        test::whenModal<TfrmMedicine>([](TfrmMedicine* d) {
            Messages::clearShown();
            clickOk(d);
            QCOMPARE(Messages::shown(), QStringList({"Warning: Medicine name is required"}));
            child<QLineEdit>(d, "dbMedName")->setText(QStringLiteral("Ibuprof\u00e8ne 400; \"forte\""));
            child<QLineEdit>(d, "DBEdit2")->setText(QStringLiteral("RX-77"));
            child<QLineEdit>(d, "DBEdit3")->setText(QStringLiteral("Ibuprofen"));
            child<QPlainTextEdit>(d, "DBMemo2")->setPlainText(QStringLiteral("Not on an empty stomach."));
            clickOk(d);
        });
        f.find<QPushButton>("BitBtn10")->click();
        QCOMPARE(test::count(f.ctx.db, "medicine"), 5);
        QCOMPARE(test::count(f.ctx.db, "mlref WHERE PATIENTREF = 1 AND rxnum = 'RX-77'"), 1);
        QCOMPARE(medicineGrid(f)->cell(3, 0), QStringLiteral("Ibuprof\u00e8ne 400; \"forte\""));
        medicineGrid(f)->setCurrentCell(2, 0);
        QCOMPARE(details(f, "ACTIVEIN"), QStringLiteral("Ibuprofen"));
        QCOMPARE(f.find<QPlainTextEdit>("WARNINGS")->toPlainText(),
                 QStringLiteral("Not on an empty stomach."));
    }

    void takingAMedicineOverKeepsEachProfilesOwnPrescription() {
        MainWindowFixture f({}, household);
        f.find<QComboBox>("cbPatient")->setCurrentIndex(1);
        f.window->cbPatientChange(); // Ben
        test::whenModal<TfrmMedicine>([](TfrmMedicine* d) {
            auto* list = child<QComboBox>(d, "cbMedicine");
            QVERIFY(!list->isEditable()); // pick-only
            QStringList entries;
            for (int i = 0; i < list->count(); ++i)
                entries << list->itemText(i);
            QCOMPARE(entries,
                     QStringList({"Aspirin", "Insulin"})); // the second Aspirin and Insulin, in table order
            child<QLineEdit>(d, "dbMedName")->setText("Typed but dropped");
            child<QRadioButton>(d, "rbSelectMedicine")->click();
            list->setCurrentIndex(1);
            emit list->activated(1);
            QCOMPARE(child<QLineEdit>(d, "dbMedName")->text(), QStringLiteral("Insulin"));
            child<QLineEdit>(d, "DBEdit2")->setText("RX-BEN-INS");
            clickOk(d);
        });
        f.find<QPushButton>("BitBtn10")->click();
        QCOMPARE(test::count(f.ctx.db, "medicine"), 4);
        QCOMPARE(test::count(f.ctx.db, "medicine WHERE NAME = 'Typed but dropped'"), 0);
        QCOMPARE(test::count(f.ctx.db, "mlref WHERE MEDREF = 3 AND PATIENTREF = 2 AND rxnum = 'RX-BEN-INS'"),
                 1);
        QCOMPARE(test::count(f.ctx.db, "mlref WHERE MEDREF = 3 AND PATIENTREF = 1 AND rxnum IS NULL"), 1);
    }

    void editingOneOfTwoMedicinesOfTheSameNameChangesOnlyThatOne() {
        MainWindowFixture f({}, household);
        // Rows sort by name; the second "Aspirin" row is the second medicine.
        medicineGrid(f)->setCurrentCell(1, 0);
        QCOMPARE(medicineGrid(f)->dataRowOf(2), 2);
        test::whenModal<TfrmMedicine>([](TfrmMedicine* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Edit Medicine"));
            QVERIFY(child<QLineEdit>(d, "dbMedName")->isReadOnly());
            QVERIFY(!child<QComboBox>(d, "cbMedicine")->isVisibleTo(d));
            QCOMPARE(child<QLineEdit>(d, "DBEdit2")->text(), QString());
            child<QLineEdit>(d, "DBEdit3")->setText("Acetylsalicylic acid");
            child<QLineEdit>(d, "DBEdit2")->setText("RX-SECOND");
            clickOk(d);
        });
        f.find<QPushButton>("btnEditMedicine")->click();
        QCOMPARE(test::count(f.ctx.db, "medicine WHERE MEDREF = 2 AND ACTIVEIN = 'Acetylsalicylic acid'"), 1);
        QCOMPARE(test::count(f.ctx.db, "medicine WHERE MEDREF = 1 AND ACTIVEIN IS NULL"), 1);
        QCOMPARE(test::count(f.ctx.db, "mlref WHERE MEDREF = 2 AND rxnum = 'RX-SECOND'"), 1);
        QCOMPARE(test::count(f.ctx.db, "mlref WHERE MEDREF = 1 AND PATIENTREF = 1 AND rxnum = 'RX-ANN'"), 1);
        QCOMPARE(medicineGrid(f)->selectedRow(), 2);
        QCOMPARE(details(f, "ACTIVEIN"), QStringLiteral("Acetylsalicylic acid"));
    }

    void removingASharedMedicineTakesOnlyThisProfilesLinkAndDosings() {
        MainWindowFixture f({}, household);
        medicineGrid(f)->setCurrentCell(0, 0); // the first Aspirin, shared with Ben
        QCOMPARE(medicineGrid(f)->dataRowOf(1), 1);
        Messages::clearShown();
        Messages::setNextAnswer(QMessageBox::Yes);
        f.find<QPushButton>("BitBtn12")->click();
        QCOMPARE(Messages::shown(), QStringList({"Are you sure you want to remove the selected medicine?"}));
        QCOMPARE(medicineGrid(f)->shownRows(), 2);
        QCOMPARE(test::count(f.ctx.db, "medicine WHERE MEDREF = 1"), 1);
        QCOMPARE(test::count(f.ctx.db, "planlist WHERE PATIENTREF = 1"), 0);
        QCOMPARE(test::count(f.ctx.db, "planlist WHERE PATIENTREF = 2"), 1);
        QCOMPARE(test::count(f.ctx.db, "notif"), 1);
        QVERIFY(!f.ctx.NotifsLoaded);
        // The second Aspirin has no other link: it goes.
        Messages::setNextAnswer(QMessageBox::Yes);
        f.find<QPushButton>("BitBtn12")->click();
        QCOMPARE(test::count(f.ctx.db, "medicine WHERE MEDREF = 2"), 0);
        QVERIFY2(test::orphanRows(f.ctx.db).isEmpty(), qPrintable(test::orphanRows(f.ctx.db).join('\n')));
    }
};

QTEST_MAIN(TestMedicines)
#include "test_medicines.moc"
