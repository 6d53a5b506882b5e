// The File menu's calendar and medicine list, driven as a person would: the export asks whose
// calendar when the household has several people, the import shows what it took and what it
// refused and the pages follow, a file that is no calendar writes nothing, the print preview
// opens, and the PDF lands private to the user.
#include "app/calendartransfer.h"
#include "core/datetime.h"
#include "plans/planstore.h"
#include "support/guifixture.h"
#include "support/plans.h"

#include <QAction>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest>

using namespace vantrel;
using test::MainWindowFixture;

namespace {

const QByteArray kCalendar =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n"
    "BEGIN:VEVENT\r\nUID:a@test\r\nDTSTAMP:20260101T000000Z\r\nSUMMARY:Vitamin D\r\nX-VANTREL-KIND:dose\r\n"
    "X-VANTREL-ITEM:Vitamin D\r\nDTSTART;TZID=America/New_York:20260105T083000\r\nRRULE:FREQ=DAILY\r\n"
    "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:One capsule\r\nTRIGGER:-PT5M\r\nEND:VALARM\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:b@test\r\nDTSTAMP:20260101T000000Z\r\nSUMMARY:Dentist Miller\r\n"
    "DTSTART;TZID=America/New_York:20260107T140000\r\nDTEND;TZID=America/New_York:20260107T150000\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:c@test\r\nDTSTAMP:20260101T000000Z\r\nSUMMARY:Book club\r\n"
    "DTSTART;TZID=America/New_York:20260107T190000\r\nRRULE:FREQ=MONTHLY\r\nEND:VEVENT\r\n"
    "END:VCALENDAR\r\n";

void trigger(MainWindowFixture& f, const char* action) {
    f.find<QAction>(QString::fromLatin1(action))->trigger();
}

bool privateFile(const QString& file) {
    return QFile::exists(file) &&
           (QFile(file).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther)) == QFileDevice::Permissions();
}

} // namespace

class TestCalendarFiles : public QObject {
    Q_OBJECT

private slots:
    void exportAsksWhoseCalendar() {
        MainWindowFixture f({}, {}, {"Ann", "Ben"});
        f.seed([](data::Database& db) {
            const int med = test::addMedicine(db, "Aspirin");
            test::PlanSpec ann;
            ann.patient = 1;
            ann.medicine = med;
            ann.start = dt::encode(2026, 1, 6, 8, 0);
            ann.repeat = "D";
            test::addPlan(db, ann);
            test::PlanSpec ben = ann;
            ben.patient = 2;
            test::addPlan(db, ben);
        });
        // The current profile alone.
        const QString mine = f.box.path("ann.ics");
        f.ctx.hooks.nextFileNames = {mine};
        Messages::clearShown();
        auto asked = test::whenModal<TfrmExportCalendar>([](TfrmExportCalendar* d) {
            QVERIFY(test::child<QRadioButton>(d, "rbProfileOnly")->isChecked());
            QCOMPARE(test::child<QRadioButton>(d, "rbProfileOnly")->text(), QString("Only Ann"));
            test::child<QPushButton>(d, "btnOK")->click();
        });
        trigger(f, "ExportCalendar1");
        QVERIFY(asked->ran);
        QCOMPARE(Messages::shown(), QStringList({QStringLiteral("1 plan was written to %1.").arg(mine)}));
        QVERIFY(privateFile(mine));
        QVERIFY(test::readAll(mine).contains("X-VANTREL-PERSON:Ann"));
        QVERIFY(!test::readAll(mine).contains("X-VANTREL-PERSON:Ben"));
        // The whole household.
        const QString all = f.box.path("all.ics");
        f.ctx.hooks.nextFileNames = {all};
        test::whenModal<TfrmExportCalendar>([](TfrmExportCalendar* d) {
            test::child<QRadioButton>(d, "rbHousehold")->setChecked(true);
            test::child<QPushButton>(d, "btnOK")->click();
        });
        trigger(f, "ExportCalendar1");
        QVERIFY(test::readAll(all).contains("X-VANTREL-PERSON:Ben"));
        // Cancel writes nothing.
        test::whenModal<TfrmExportCalendar>([](TfrmExportCalendar* d) { test::child<QPushButton>(d, "btnCancel")->click(); });
        f.ctx.hooks.nextFileNames = {f.box.path("none.ics")};
        trigger(f, "ExportCalendar1");
        QVERIFY(!QFile::exists(f.box.path("none.ics")));
    }

    // The events that map land in the current profile and the pages show them; the rest is
    // listed with the reason.
    void importShowsWhatItTookAndRefused() {
        MainWindowFixture f;
        const QString file = f.box.path("in.ics");
        test::writeAll(file, kCalendar);
        f.ctx.hooks.nextFileNames = {file};
        f.ctx.NotifsLoaded = true;
        auto shown = test::whenModal<TfrmImportResult>([](TfrmImportResult* d) {
            QCOMPARE(test::child<QLabel>(d, "lblImported")->text(),
                     QString("2 plans were imported into the schedule of Ann.\n"
                             "Added to the profile: 1 doctor(s), 1 medicine(s)."));
            auto* refused = test::child<QTableWidget>(d, "grdRefused");
            QCOMPARE(refused->rowCount(), 1);
            QCOMPARE(refused->item(0, 0)->text(), QString("Book club"));
            QCOMPARE(refused->item(0, 1)->text(), QString("it repeats monthly"));
            test::child<QPushButton>(d, "btnOK")->click();
        });
        trigger(f, "ImportCalendar1");
        QVERIFY(shown->ran);
        const QList<plans::Plan> all = plans::PlanStore(f.ctx.db).loadAll(1);
        QCOMPARE(all.size(), 2);
        QCOMPARE(all[0].itemName, QString("Vitamin D"));
        QCOMPARE(all[0].reminder->NOTIFMIN, 5);
        QCOMPARE(all[1].itemName, QString("Dentist Miller"));
        // The reminders and the lists follow the new plans.
        QVERIFY(!f.ctx.NotifsLoaded);
        QCOMPARE(test::count(f.ctx.db, "dlref"), 1);
        QCOMPARE(test::count(f.ctx.db, "mlref"), 1);
    }

    void importOfNoCalendarWritesNothing() {
        MainWindowFixture f;
        const QString file = f.box.path("cut.ics");
        test::writeAll(file, kCalendar.left(kCalendar.size() / 2));
        f.ctx.hooks.nextFileNames = {file};
        Messages::clearShown();
        trigger(f, "ImportCalendar1");
        QCOMPARE(Messages::shown().size(), 1);
        QVERIFY2(Messages::shown()[0].contains("cut short") && Messages::shown()[0].endsWith("Nothing was imported."),
                 qPrintable(Messages::shown()[0]));
        QCOMPARE(test::count(f.ctx.db, "planlist"), 0);
        QCOMPARE(test::count(f.ctx.db, "doctor"), 0);
    }

    void printPreviewAndPdf() {
        MainWindowFixture f;
        f.seed([](data::Database& db) { test::addLink(db, "mlref", 1, test::addMedicine(db, "Aspirin"), "RX-1"); });
        auto previewed = test::whenModal<QPrintPreviewDialog>([](QPrintPreviewDialog* d) {
            QCOMPARE(d->windowTitle(), QString("Print Medicine List"));
            d->reject();
        });
        trigger(f, "PrintMedicineList1");
        QVERIFY(previewed->ran);

        const QString pdf = f.box.path("list.pdf");
        f.ctx.hooks.nextFileNames = {pdf};
        Messages::clearShown();
        trigger(f, "SaveAsPdf1");
        QCOMPARE(Messages::shown(), QStringList({QStringLiteral("The medicine list was written to %1.").arg(pdf)}));
        QVERIFY(privateFile(pdf));
        QVERIFY(test::readAll(pdf).startsWith("%PDF"));
        // A folder that cannot be written is named, and the person told.
        f.ctx.hooks.nextFileNames = {QStringLiteral("/proc/list.pdf")};
        Messages::clearShown();
        trigger(f, "SaveAsPdf1");
        QCOMPARE(Messages::shown().size(), 1);
        QVERIFY2(Messages::shown()[0].contains("medicine list"), qPrintable(Messages::shown()[0]));
    }
};

QTEST_MAIN(TestCalendarFiles)
#include "test_calendarfiles.moc"
