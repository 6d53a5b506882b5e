#include "core/datetime.h"
#include "records/adddoctor.h"
#include "records/doctorspage.h"
#include "support/guifixture.h"
#include "support/plans.h"
#include "widgets/datagrid.h"
#include "widgets/phoneedit.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QtTest>

using namespace vantrel;
using test::child;
using test::clickOk;
using test::MainWindowFixture;

namespace {

// Ann (1) links Berger and Okafor; Ben (2) links Berger and Lindqvist; Nobody links Zed.
void household(MainWindowFixture& f) {
    f.seed([](data::Database& db) {
        db.run("INSERT INTO patient (NAME) VALUES ('Ben')");
        const int berger = test::addDoctor(db, "Anna", "Berger");
        const int okafor = test::addDoctor(db, "Chidi", "Okafor");
        const int lind = test::addDoctor(db, "Maja", "Lindqvist");
        test::addDoctor(db, "Zed", "Zed");
        test::addLink(db, "dlref", 1, berger);
        test::addLink(db, "dlref", 1, okafor);
        test::addLink(db, "dlref", 2, berger);
        test::addLink(db, "dlref", 2, lind);
        for (int patient : {1, 2}) {
            test::PlanSpec appt;
            appt.patient = patient;
            appt.type = "D";
            appt.doctor = berger;
            appt.start = dt::encode(2026, 1, 5, 9);
            test::addPlan(db, appt);
        }
    });
}

MainWindowFixture* makeHousehold(bool usPhones = false) {
    return new MainWindowFixture([usPhones](Settings& s) { s.PhoneFormat = usPhones ? 0 : 1; }, household);
}

DataGrid* doctorGrid(MainWindowFixture& f) {
    return f.find<DataGrid>("DBAdvStringGrid1");
}

QStringList lastNames(MainWindowFixture& f) {
    QStringList out;
    for (int r = 1; r <= doctorGrid(f)->shownRows(); ++r)
        out << doctorGrid(f)->cell(r, 0);
    return out;
}

} // namespace

class TestDoctors : public QObject {
    Q_OBJECT
private slots:
    void anEmptyListDisablesEditingAndShowsNoDetails() {
        MainWindowFixture f;
        auto* grid = doctorGrid(f);
        QCOMPARE(grid->shownRows(), 1);
        QVERIFY(!f.find<QPushButton>("btnEditDoctor")->isEnabled());
        QVERIFY(!f.find<QPushButton>("BitBtn7")->isEnabled());
        QVERIFY(!f.find<QPushButton>("BitBtn1")->isEnabled()); // Add Appointment
        QVERIFY(f.find<QPushButton>("BitBtn5")->isEnabled());
        QCOMPARE(f.find<QLabel>("lblDrName")->text(), QString());
        // The check is bound to the window, so it can never run after this test has ended.
        bool opened = false;
        QTimer::singleShot(0, f.window.get(), [&] { opened = QApplication::activeModalWidget() != nullptr; });
        emit grid->dblClickCell(1, 1);
        QCoreApplication::processEvents();
        QVERIFY(!opened);
    }

    void theListIsSortedAndTheDetailsFollowTheShownRow() {
        std::unique_ptr<MainWindowFixture> f(makeHousehold());
        QCOMPARE(lastNames(*f), QStringList({"Berger", "Okafor"}));
        QCOMPARE(f->find<QLabel>("lblDrName")->text(), QStringLiteral("Dr. Anna Berger"));
        QCOMPARE(f->find<DataGrid>("DBAdvStringGrid2")->cell(1, 0), QStringLiteral("1/5/2026 09:00:00 AM"));
        QVERIFY(f->find<QPushButton>("btnEditDrAppt")->isEnabled());
        doctorGrid(*f)->clickHeader(0); // descending now
        QCOMPARE(lastNames(*f), QStringList({"Okafor", "Berger"}));
        QCOMPARE(f->find<QLabel>("lblDrName")->text(), QStringLiteral("Dr. Chidi Okafor"));
        QVERIFY(!f->find<QPushButton>("btnEditDrAppt")->isEnabled()); // no appointment with Okafor
        doctorGrid(*f)->setCurrentCell(1, 0);
        QCOMPARE(f->find<QLabel>("lblDrName")->text(), QStringLiteral("Dr. Anna Berger"));
    }

    // "Office Fax:" stands on the line of "Office Phone:".
    void theFaxStandsBesideTheOfficePhone() {
        std::unique_ptr<MainWindowFixture> f(makeHousehold());
        f->window->show();
        f->window->dxSideBar1ItemClick(0);
        auto* phone = f->find<QLabel>("POFFICE");
        auto* fax = f->find<QLabel>("PFAX");
        QTRY_VERIFY(phone->isVisible());
        QCOMPARE(fax->mapTo(f->window.get(), QPoint()).y(), phone->mapTo(f->window.get(), QPoint()).y());
        QVERIFY(fax->mapTo(f->window.get(), QPoint()).x() > phone->mapTo(f->window.get(), QPoint()).x());
        QVERIFY(f->find<QLabel>("PMOBILE")->y() > phone->y());
    }

    // OK without a change writes every field back as it was stored, even where it is longer
    // than the dialog's fields allow today.
    void anUntouchedFieldIsWrittenBackToTheLetter_data() {
        QTest::addColumn<bool>("usPhones");
        QTest::newRow("free phone format") << false;
        QTest::newRow("U.S. phone format") << true;
    }
    void anUntouchedFieldIsWrittenBackToTheLetter() {
        QFETCH(bool, usPhones);
        std::unique_ptr<MainWindowFixture> f(makeHousehold(usPhones));
        const QString longPhone = "(555) 123-4567 ext. 89";
        const QString longSpecialty = "Cardiology and internal medicine, senior consultant";
        f->ctx.db.run("UPDATE doctor SET POFFICE = ?, PHOME = ?, SPECIALTY = ? WHERE LASTNAME = 'Berger'",
                      {longPhone, "+44 20 7946 0958 1234", longSpecialty});
        QSqlQuery& q = f->ctx.db.run("SELECT DRREF FROM doctor WHERE LASTNAME = 'Berger'");
        QVERIFY(q.next());
        const int berger = q.value(0).toInt();
        q.finish();
        TfrmAddDoctor d(f->ctx, TfrmAddDoctor::Mode::Edit, berger, f->window.get());
        clickOk(&d);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(test::count(f->ctx.db, QStringLiteral("doctor WHERE POFFICE = '%1'").arg(longPhone)), 1);
        QCOMPARE(test::count(f->ctx.db, "doctor WHERE PHOME = '+44 20 7946 0958 1234'"), 1);
        QCOMPARE(test::count(f->ctx.db, QStringLiteral("doctor WHERE SPECIALTY = '%1'").arg(longSpecialty)),
                 1);
    }

    void addingANewDoctorWritesTheDoctorAndItsLink() {
        std::unique_ptr<MainWindowFixture> f(makeHousehold());
        const int doctors = test::count(f->ctx.db, "doctor");
        test::whenModal<TfrmAddDoctor>([](TfrmAddDoctor* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Add Doctor"));
            auto* specialty = child<QComboBox>(d, "DBComboBox1");
            QCOMPARE(specialty->count(), 23);
            QCOMPARE(specialty->itemText(0), QStringLiteral("General Practitioner"));
            QCOMPARE(specialty->itemText(22), QStringLiteral("Urologist"));
            QVERIFY(specialty->isEditable()); // free text too
            Messages::clearShown();
            clickOk(d);
            QCOMPARE(Messages::shown(), QStringList({"Warning: Last name is required"}));
            child<QLineEdit>(d, "dbLastName")->setText(QStringLiteral("M\u00fcller-O'Hara"));
            clickOk(d);
            QCOMPARE(Messages::shown().last(), QStringLiteral("Warning: First name is required"));
            child<QLineEdit>(d, "dbFirstName")->setText(QStringLiteral("Ren\u00e9e"));
            child<QComboBox>(d, "DBComboBox1")->setCurrentText(QStringLiteral("Ear, Nose, and Throat"));
            child<QPlainTextEdit>(d, "DBMemo1")
                ->setPlainText(QStringLiteral("line one\nline \"two\"; three"));
            clickOk(d);
        });
        f->find<QPushButton>("BitBtn5")->click();
        QCOMPARE(test::count(f->ctx.db, "doctor"), doctors + 1);
        QCOMPARE(lastNames(*f), QStringList({"Berger", "M\u00fcller-O'Hara", "Okafor"}));
        // After adding, the first row of the sorted list is selected.
        QCOMPARE(doctorGrid(*f)->selectedRow(), 1);
        QCOMPARE(f->find<QLabel>("lblDrName")->text(), QStringLiteral("Dr. Anna Berger"));
        doctorGrid(*f)->setCurrentCell(1, 0);
        QCOMPARE(f->find<QPlainTextEdit>("COMMENTS")->toPlainText(),
                 QStringLiteral("line one\nline \"two\"; three"));
        QCOMPARE(test::orphanRows(f->ctx.db), QStringList({"doctor nobody links: 4"})); // Zed, as seeded
    }

    void takingADoctorOverAddsOnlyALink() {
        std::unique_ptr<MainWindowFixture> f(makeHousehold());
        const int doctors = test::count(f->ctx.db, "doctor");
        test::whenModal<TfrmAddDoctor>([](TfrmAddDoctor* d) {
            auto* list = child<QComboBox>(d, "cbDoctor");
            QVERIFY(!list->isEnabled());
            QStringList entries;
            for (int i = 0; i < list->count(); ++i)
                entries << list->itemText(i);
            QCOMPARE(entries, QStringList({"Lindqvist, Maja", "Zed, Zed"})); // not linked to Ann, sorted
            // Typed for a new doctor, then chose one of the list: what was typed is dropped.
            child<QLineEdit>(d, "dbLastName")->setText("Typed");
            child<QLineEdit>(d, "dbFirstName")->setText("Half");
            child<QRadioButton>(d, "rbSelectDoctor")->click();
            QVERIFY(list->isEnabled());
            QVERIFY(!child<QLineEdit>(d, "dbLastName")->isEnabled());
            list->setCurrentIndex(0);
            emit list->activated(0);
            QCOMPARE(child<QLineEdit>(d, "dbLastName")->text(), QStringLiteral("Lindqvist"));
            child<QComboBox>(d, "DBComboBox1")->setCurrentText(QStringLiteral("Pediatrician"));
            clickOk(d);
        });
        f->find<QPushButton>("BitBtn5")->click();
        QCOMPARE(test::count(f->ctx.db, "doctor"), doctors);
        QCOMPARE(test::count(f->ctx.db, "doctor WHERE LASTNAME = 'Typed'"), 0);
        QCOMPARE(test::count(f->ctx.db, "dlref WHERE PATIENTREF = 1"), 3);
        QCOMPARE(lastNames(*f), QStringList({"Berger", "Lindqvist", "Okafor"}));
    }

    void anEditShowsInEveryProfileThatSharesTheDoctor() {
        std::unique_ptr<MainWindowFixture> f(makeHousehold());
        doctorGrid(*f)->setCurrentCell(1, 0); // Okafor
        test::whenModal<TfrmAddDoctor>([](TfrmAddDoctor* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Edit Doctor"));
            QVERIFY(child<QLineEdit>(d, "dbLastName")->isReadOnly());
            QVERIFY(!child<QRadioButton>(d, "rbSelectDoctor")->isVisibleTo(d));
            QCOMPARE(child<QLineEdit>(d, "dbLastName")->text(), QStringLiteral("Okafor"));
            child<QComboBox>(d, "DBComboBox1")->setCurrentText(QStringLiteral("Neurologist"));
            clickOk(d);
        });
        emit doctorGrid(*f)->dblClickCell(2, 1);
        QCOMPARE(doctorGrid(*f)->selectedRow(), 2); // the same row stays selected
        QCOMPARE(f->find<QLabel>("SPECIALTY")->text(), QStringLiteral("Neurologist"));
        QCOMPARE(test::count(f->ctx.db, "doctor WHERE SPECIALTY = 'Neurologist'"), 1);

        // Berger is shared: Ben sees Ann's change.
        doctorGrid(*f)->setCurrentCell(0, 0);
        test::whenModal<TfrmAddDoctor>([](TfrmAddDoctor* d) {
            child<QComboBox>(d, "DBComboBox1")->setCurrentText(QStringLiteral("Cardiologist"));
            clickOk(d);
        });
        f->find<QPushButton>("btnEditDoctor")->click();
        auto* cb = f->find<QComboBox>("cbPatient");
        cb->setCurrentIndex(1);
        f->window->cbPatientChange();
        QCOMPARE(f->find<QLabel>("lblDrName")->text(), QStringLiteral("Dr. Anna Berger"));
        QCOMPARE(f->find<QLabel>("SPECIALTY")->text(), QStringLiteral("Cardiologist"));
    }

    void cancelWritesNothing() {
        std::unique_ptr<MainWindowFixture> f(makeHousehold());
        const int doctors = test::count(f->ctx.db, "doctor");
        test::whenModal<TfrmAddDoctor>([](TfrmAddDoctor* d) {
            child<QLineEdit>(d, "dbLastName")->setText("Never");
            child<QLineEdit>(d, "dbFirstName")->setText("Saved");
            QTest::mouseClick(child<QPushButton>(d, "BitBtn2"), Qt::LeftButton);
        });
        f->find<QPushButton>("BitBtn5")->click();
        QCOMPARE(test::count(f->ctx.db, "doctor"), doctors);
    }

    void theUsPhoneFormatRefusesAnIncompleteNumber() {
        std::unique_ptr<MainWindowFixture> f(makeHousehold(true));
        f->window->show();
        test::whenModal<TfrmAddDoctor>([](TfrmAddDoctor* d) {
            auto* office = child<PhoneEdit>(d, "dbOfficePhone");
            QVERIFY(office->usFormat());
            child<QLineEdit>(d, "dbLastName")->setText("Pham");
            child<QLineEdit>(d, "dbFirstName")->setText("Linh");
            office->setStoredText("(555) 12");
            Messages::clearShown();
            clickOk(d);
            QCOMPARE(Messages::shown(),
                     QStringList({"Invalid input value.  Use escape key to abandon changes"}));
            QVERIFY(d->isVisible());
            office->setStoredText("(555) 123-4567");
            child<PhoneEdit>(d, "dbMobilePhone")->setStoredText("(   ) 765-4321");
            clickOk(d);
        });
        f->find<QPushButton>("BitBtn5")->click();
        QCOMPARE(
            test::count(f->ctx.db, "doctor WHERE POFFICE = '(555) 123-4567' AND PMOBILE = '(   ) 765-4321'"),
            1);
    }

    void theWarningForAnIncompleteNumberComesOnceAndTheFieldKeepsTheFocus() {
        std::unique_ptr<MainWindowFixture> f(makeHousehold(true));
        TfrmAddDoctor d(f->ctx, TfrmAddDoctor::Mode::Add, -1, f->window.get());
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        auto* office = child<PhoneEdit>(&d, "dbOfficePhone");
        office->setFocus();
        office->setStoredText("(555) 12");
        // Real message boxes this time, closed as a person would close them.
        Messages::setTestMode(false);
        int boxes = 0;
        QTimer closer;
        int rounds = 0;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            ++rounds;
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ++boxes;
                box->accept();
            }
        });
        closer.start(30);
        child<QLineEdit>(&d, "dbLastName")->setFocus(Qt::TabFocusReason);
        // The box came, was closed, and the field has the focus back; a repeated warning would
        // come as soon as the focus returned, so the closer gets a few more rounds to find one.
        QTRY_COMPARE(boxes, 1);
        QTRY_COMPARE(d.focusWidget(), office);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        const int looked = rounds;
        QTRY_VERIFY(rounds >= looked + 3);
        Messages::setTestMode(true);
        QCOMPARE(boxes, 1);
        QCOMPARE(d.focusWidget(), office);
    }

    void removingASharedDoctorKeepsItForTheOtherProfile() {
        std::unique_ptr<MainWindowFixture> f(makeHousehold());
        doctorGrid(*f)->setCurrentCell(0, 0); // Berger, shared with Ben
        Messages::setNextAnswer(QMessageBox::No);
        f->find<QPushButton>("BitBtn7")->click();
        QCOMPARE(lastNames(*f).size(), 2);
        Messages::setNextAnswer(QMessageBox::Yes);
        f->find<QPushButton>("BitBtn7")->click();
        QCOMPARE(lastNames(*f), QStringList({"Okafor"}));
        QCOMPARE(test::count(f->ctx.db, "doctor WHERE LASTNAME = 'Berger'"), 1);
        QCOMPARE(test::count(f->ctx.db, "planlist WHERE PATIENTREF = 2"), 1); // Ben's appointment stays
        QCOMPARE(test::count(f->ctx.db, "planlist WHERE PATIENTREF = 1"), 0);
        QVERIFY(!f->ctx.NotifsLoaded);
        // Okafor's only link: the doctor goes too.
        Messages::setNextAnswer(QMessageBox::Yes);
        f->find<QPushButton>("BitBtn7")->click();
        QCOMPARE(test::count(f->ctx.db, "doctor WHERE LASTNAME = 'Okafor'"), 0);
        QCOMPARE(doctorGrid(*f)->shownRows(), 1);
        QVERIFY(!f->find<QPushButton>("BitBtn7")->isEnabled());
        const QStringList orphans = test::orphanRows(f->ctx.db);
        QCOMPARE(orphans, QStringList({"doctor nobody links: 4"})); // Zed was never linked
    }
};

QTEST_MAIN(TestDoctors)
#include "test_doctors.moc"
