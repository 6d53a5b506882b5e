// Names that look like markup are shown as typed, everywhere a person's text appears.
#include "core/datetime.h"
#include "core/shared.h"
#include "notify/activenotif.h"
#include "schedule/dosingwizard.h"
#include "support/guifixture.h"
#include "support/plans.h"
#include "widgets/datagrid.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
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
        test::Popup r;
        r.APPTTYPE = "M";
        r.MEDREF = 1;
        r.NOTIFMIN = 5;
        r.NOTIFTEXT = kImage;
        r.PLAYAUDIO = true;
        r.AUDIOFILE = kBold;
        r.eventTime = f.ctx.clock->nowValue() + 5 * dt::kMinute;
        auto* w = TfrmActiveNotif::open(f.ctx, test::occurrenceOf(f.ctx.db, r));
        int inReminder = 0;
        checkLabels(w, inReminder);
        QVERIFY(inReminder >= 2);
        QCOMPARE(w->findChild<QLabel*>("notifname")->text(),
                 QStringLiteral("Notification: Medicine - ") + kImage);
        QCOMPARE(w->findChild<QPlainTextEdit*>("notifmsg")->toPlainText(), kImage);
        w->close();
    }

    // A megabyte on one line, in a name and in a reminder's message: the windows show a cut text
    // at once, while the table keeps it whole.
    void aHugeTextIsCutForTheWindowsNotInTheTable() {
        const QString huge(1024 * 1024, QLatin1Char('m'));
        MainWindowFixture f({}, [&](MainWindowFixture& g) {
            g.seed([&](data::Database& db) {
                test::addLink(db, "mlref", 1, test::addMedicine(db, huge));
                test::addLink(db, "dlref", 1, test::addDoctor(db, huge, huge));
                test::PlanSpec dose;
                dose.start = dt::encode(2026, 1, 5, 10, 0);
                dose.text = huge;
                test::addPlan(db, dose);
            });
        });
        QElapsedTimer clock;
        clock.start();
        f.window->show();
        for (int page : {0, 1, 2})
            f.window->dxSideBar1ItemClick(page);
        QVERIFY(f.find<DataGrid>("DBAdvStringGrid3")->cell(1, 0).size() <= kShortDisplay + 1);
        QVERIFY(f.find<QLabel>("lblDrName")->text().size() <= kShortDisplay + 1);
        test::Popup r;
        r.APPTTYPE = "M";
        r.MEDREF = 1;
        r.NOTIFTEXT = huge;
        r.eventTime = f.ctx.clock->nowValue() + dt::kMinute;
        auto* w = TfrmActiveNotif::open(f.ctx, test::occurrenceOf(f.ctx.db, r));
        QVERIFY(w->findChild<QPlainTextEdit*>("notifmsg")->toPlainText().size() <= kLongDisplay + 1);
        QVERIFY(w->findChild<QLabel*>("notifname")->text().size() <= kShortDisplay + 40);
        QVERIFY(w->findChild<QPlainTextEdit*>("notifmsg")->toPlainText().endsWith(QChar(0x2026)));
        w->close();
        qInfo("shown in %lld ms", static_cast<long long>(clock.elapsed()));
        QSqlQuery& q = f.ctx.db.run("SELECT length(NOTIFTEXT) FROM notif");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), huge.size());
        q.finish();
    }

    // The wizards take up to 4000 characters of a message and 1000 of a line, and say so beyond.
    void theWizardsRefuseTextsBeyondTheirLength() {
        MainWindowFixture f({}, [](MainWindowFixture& g) {
            g.seed(
                [](data::Database& db) { test::addLink(db, "mlref", 1, test::addMedicine(db, "Aspirin")); });
        });
        TfrmDosing w(f.ctx, PlanWizard::Mode::Add, 1, -1, f.window.get());
        auto next = [&] { QTest::mouseClick(w.findChild<QPushButton*>("btnnext"), Qt::LeftButton); };
        next(); // Dose Repeat
        next(); // Dose End
        next(); // Notification Type
        w.findChild<QRadioButton*>("rbemailpop")->click();
        next(); // Notification Time
        next(); // Pop Up Window and Audio Settings
        auto* text = w.findChild<QPlainTextEdit*>("Memo2");
        text->setPlainText(QString(4001, QLatin1Char('x')));
        next();
        QCOMPARE(Messages::shown().last(),
                 QStringLiteral("The pop-up text is too long: it may hold at most 4000 characters."));
        text->setPlainText(QString(4000, QLatin1Char('x')));
        next();
        w.findChild<QLineEdit*>("teFrom")->setText("me@example.org");
        w.findChild<QLineEdit*>("teTo")->setText("you@example.org");
        w.findChild<QLineEdit*>("teSubject")->setText(QString(1001, QLatin1Char('s')));
        w.findChild<QPlainTextEdit*>("memMsg")->setPlainText("Take it");
        next();
        QCOMPARE(Messages::shown().last(),
                 QStringLiteral("The From, To and Subject boxes may hold at most 1000 characters each."));
        w.findChild<QLineEdit*>("teSubject")->setText("Dose");
        w.findChild<QPlainTextEdit*>("memMsg")->setPlainText(QString(4001, QLatin1Char('y')));
        next();
        QCOMPARE(Messages::shown().last(),
                 QStringLiteral("The message text is too long: it may hold at most 4000 characters."));
        QCOMPARE(test::count(f.ctx.db, "notif"), 0);
    }
};

QTEST_MAIN(TestHostile)
#include "test_hostile.moc"
