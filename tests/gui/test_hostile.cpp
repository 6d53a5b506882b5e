// Names that look like markup are shown as typed, everywhere a person's text appears.
#include "core/datetime.h"
#include "notify/activenotif.h"
#include "support/guifixture.h"
#include "support/plans.h"
#include "widgets/datagrid.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QtTest>

using namespace vantrel;
using test::MainWindowFixture;

namespace {

const QString kImage = QStringLiteral("<img src=\"/dev/zero\">");
const QString kBold = QStringLiteral("<b>Dr</b> &amp; <i>Co</i>");

// Every label under the widget that shows text a person typed: it must show it as plain text.
void checkLabels(QWidget* root, int& seen) {
    for (QLabel* l : root->findChildren<QLabel*>()) {
        if (!l->text().contains(QLatin1Char('<'))) continue;
        ++seen;
        QVERIFY2(l->textFormat() == Qt::PlainText, qPrintable(l->objectName() + ": " + l->text()));
    }
}

} // namespace

class TestHostile : public QObject {
    Q_OBJECT
private slots:
    void markupInNamesIsShownAsTyped() {
        MainWindowFixture f({},
                            [](MainWindowFixture& g) {
                                g.seed([](data::Database& db) {
                                    const int doc = test::addDoctor(db, kBold, kImage);
                                    db.run("UPDATE doctor SET SPECIALTY = ?, COMMENTS = ?, POFFICE = ?",
                                           {kImage, kBold, kImage});
                                    const int med = test::addMedicine(db, kImage);
                                    db.run("UPDATE medicine SET ACTIVEIN = ?, WARNINGS = ?", {kBold, kImage});
                                    test::addLink(db, "dlref", 1, doc);
                                    test::addLink(db, "mlref", 1, med, kImage);
                                });
                            },
                            {kImage});
        f.window->show();
        int seen = 0;
        for (int page : {0, 1}) {
            f.window->dxSideBar1ItemClick(page);
            checkLabels(f.window.get(), seen);
        }
        QVERIFY(seen >= 4); // the doctor's name, specialty and phone, the medicine's name and more
        QCOMPARE(f.find<QLabel>("lblDrName")->text(), QStringLiteral("Dr. ") + kBold + " " + kImage);
        QCOMPARE(f.find<QPlainTextEdit>("COMMENTS")->toPlainText(), kBold);
        QCOMPARE(f.find<DataGrid>("DBAdvStringGrid1")->cell(1, 0), kImage);
        QCOMPARE(f.find<DataGrid>("DBAdvStringGrid3")->cell(1, 0), kImage);
        QCOMPARE(f.find<QComboBox>("cbPatient")->itemText(0), kImage);

        // The reminder window: the name line and the message as typed.
        PopupRequest r;
        r.APPTTYPE = "M";
        r.MEDREF = 1;
        r.NOTIFMIN = 5;
        r.NOTIFTEXT = kImage;
        r.PLAYAUDIO = true;
        r.AUDIOFILE = kBold;
        r.eventTime = f.ctx.clock->nowValue() + 5 * dt::kMinute;
        auto* w = TfrmActiveNotif::open(f.ctx, r);
        int inReminder = 0;
        checkLabels(w, inReminder);
        QVERIFY(inReminder >= 2);
        QCOMPARE(w->findChild<QLabel*>("notifname")->text(),
                 QStringLiteral("Notification: Medicine - ") + kImage);
        QCOMPARE(w->findChild<QPlainTextEdit*>("notifmsg")->toPlainText(), kImage);
        w->close();
    }
};

QTEST_MAIN(TestHostile)
#include "test_hostile.moc"
