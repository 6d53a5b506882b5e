// The e-mail settings dialog, and reminders of type "E" and "B" through the main window.
#include "core/datetime.h"
#include "notify/activenotif.h"
#include "notify/emaildialog.h"
#include "notify/reminderdispatcher.h"
#include "support/guifixture.h"
#include "support/plans.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QtTest>

using namespace vantrel;
using test::MainWindowFixture;

namespace {
struct CountingMail : MailTransport {
    QStringList to;
    void sendReminder(const ReminderOccurrence& o) override { to << o.reminder.EMAILTO; }
};

template <class T> T* in(QWidget* w, const char* name) {
    return w->findChild<T*>(QString::fromLatin1(name));
}
} // namespace

class TestEmail : public QObject {
    Q_OBJECT
private slots:
    void theDialogStoresEitherMethod() {
        MainWindowFixture f;
        {
            Tfrmemail d(f.ctx, f.window.get());
            QVERIFY(in<QRadioButton>(&d, "rbMAPI")->isChecked()); // SMTP is off by default
            QCOMPARE(in<QStackedWidget>(&d, "")->currentWidget()->objectName(), QStringLiteral("MAPI"));
            in<QRadioButton>(&d, "rbSMTP")->click();
            QCOMPARE(in<QStackedWidget>(&d, "")->currentWidget()->objectName(), QStringLiteral("SMTP"));
            QCOMPARE(in<QLineEdit>(&d, "teSMTPPass")->echoMode(), QLineEdit::Password);
            test::clickOk(&d);
            QCOMPARE(Messages::shown(), QStringList({"Please enter the SMTP server"}));
            QVERIFY(d.result() != QDialog::Accepted);
            in<QLineEdit>(&d, "teHost")->setText("smtp.example.org:587");
            in<QLineEdit>(&d, "teReply")->setText("ann@example.org");
            in<QLineEdit>(&d, "teSMTPUser")->setText("ann");
            in<QLineEdit>(&d, "teSMTPPass")->setText("p\u00e4ss;\"word\"");
            test::clickOk(&d);
            QCOMPARE(d.result(), int(QDialog::Accepted));
        }
        Settings stored;
        LoadSettings(stored, f.reloadStore());
        QVERIFY(stored.UseSMTP);
        QCOMPARE(stored.SMTPServer, QStringLiteral("smtp.example.org:587"));
        QCOMPARE(stored.SMTPPass, QStringLiteral("p\u00e4ss;\"word\""));
        {
            // Switching to MAPI keeps the SMTP values; switching back shows them again.
            Tfrmemail d(f.ctx, f.window.get());
            in<QRadioButton>(&d, "rbMAPI")->click();
            in<QLineEdit>(&d, "teReplyToM")->setText("me@example.org");
            test::clickOk(&d);
        }
        LoadSettings(stored, f.reloadStore());
        QVERIFY(!stored.UseSMTP);
        QCOMPARE(stored.SMTPServer, QStringLiteral("smtp.example.org:587"));
        QCOMPARE(stored.ReplyToAddress, QStringLiteral("me@example.org"));
        Tfrmemail d(f.ctx, f.window.get());
        in<QRadioButton>(&d, "rbSMTP")->click();
        QCOMPARE(in<QLineEdit>(&d, "teSMTPUser")->text(), QStringLiteral("ann"));
        in<QLineEdit>(&d, "teHost")->setText("changed");
        QTest::mouseClick(in<QPushButton>(&d, "BitBtn2"), Qt::LeftButton); // Cancel
        QCOMPARE(f.ctx.settings.SMTPServer, QStringLiteral("smtp.example.org:587"));
    }

    // A "B" reminder opens its pop-up and hands its e-mail to the transport once; an "E" one
    // only sends.
    void bothKindsReachTheTransport() {
        MainWindowFixture f;
        auto counting = std::make_unique<CountingMail>();
        CountingMail* mail = counting.get();
        f.window->reminders()->setMailTransport(std::move(counting));
        test::addMedicine(f.ctx.db, "Aspirin");
        test::PlanSpec p;
        p.start = dt::encode(2026, 1, 5, 9, 10);
        p.notifType = "B";
        test::addPlan(f.ctx.db, p);
        f.ctx.db.run("UPDATE notif SET EMAILTO = 'ann@example.org; ben@example.org'");
        p.notifType = "E";
        test::addPlan(f.ctx.db, p);
        f.window->notiftimerTimer();
        f.clock->setValue(dt::encode(2026, 1, 5, 9, 10, 1));
        f.window->notiftimerTimer();
        QCOMPARE(mail->to.size(), 2);
        QCOMPARE(f.window->openReminders().size(), 1);
        f.window->openReminders()[0]->close();
    }

    // By hand-off, an empty To box is said before anything is tried.
    void anEmptyToBoxIsSaid() {
        MainWindowFixture f;
        test::PlanSpec p;
        p.start = dt::encode(2026, 1, 5, 9, 10);
        p.notifType = "E";
        test::addPlan(f.ctx.db, p);
        f.window->notiftimerTimer();
        f.clock->setValue(dt::encode(2026, 1, 5, 9, 10, 1));
        f.window->notiftimerTimer();
        QCOMPARE(Messages::shown(), QStringList({"There must be at least one name in the To box."}));
    }
};

QTEST_MAIN(TestEmail)
#include "test_email.moc"
