// Reminders as desktop notifications, on a private session bus with python3-dbusmock's
// notification_daemon: what is sent, the actions answering the dose log, the window closing with
// the notification, and the window as the fallback where no server answers.
#include "core/datetime.h"
#include "notify/activenotif.h"
#include "notify/reminderdispatcher.h"
#include "plans/doselog.h"
#include "platform/notifications.h"
#include "support/guifixture.h"
#include "support/plans.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QProcess>
#include <QtTest>

using namespace vantrel;
using test::MainWindowFixture;

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

double at(int h, int m, int s = 0) {
    return dt::encode(2026, 1, 5, h, m, s);
}

struct Call {
    QString method;
    QVariantList args;
};

// What the mock server was asked, in order.
QList<Call> callsToServer() {
    QDBusMessage ask = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.DBus.Mock"),
                                                      QStringLiteral("GetCalls"));
    const QDBusMessage reply = QDBusConnection::sessionBus().call(ask);
    QList<Call> calls;
    if (reply.type() != QDBusMessage::ReplyMessage) return calls;
    const QDBusArgument arg = reply.arguments().at(0).value<QDBusArgument>();
    arg.beginArray();
    while (!arg.atEnd()) {
        Call c;
        quint64 time = 0;
        arg.beginStructure();
        arg >> time >> c.method >> c.args;
        arg.endStructure();
        calls << c;
    }
    arg.endArray();
    return calls;
}

QList<Call> callsOf(const QString& method) {
    QList<Call> out;
    for (const Call& c : callsToServer())
        if (c.method == method) out << c;
    return out;
}

void emitFromServer(const QString& signal, const QString& signature, const QVariantList& values) {
    QVariantList args;
    for (const QVariant& v : values)
        args << QVariant::fromValue(QDBusVariant(v));
    QDBusMessage emitting = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("EmitSignal"));
    emitting << QStringLiteral("org.freedesktop.Notifications") << signal << signature << args;
    QDBusConnection::sessionBus().call(emitting);
}

// Ann takes Amoxicillin at 9:05 (a message with markup in it) and sees Dr. House at 9:30,
// reminded at 9:10.
struct NotifiedFixture : MainWindowFixture {
    int dose = -1, visit = -1;
    explicit NotifiedFixture(int showAs)
        : MainWindowFixture([showAs](Settings& s) { s.ShowRemindersAs = showAs; }) {
        seed([this](data::Database& db) {
            test::PlanSpec p;
            p.medicine = test::addMedicine(db, QStringLiteral("Amoxicillin"));
            test::addLink(db, "mlref", 1, p.medicine);
            p.start = at(9, 5);
            p.text = QStringLiteral("Take <b>one</b> & drink");
            dose = test::addPlan(db, p);
            test::PlanSpec appt;
            appt.type = QStringLiteral("D");
            appt.doctor = test::addDoctor(db, QStringLiteral("Greg"), QStringLiteral("House"));
            appt.start = at(9, 30);
            appt.minutesBefore = 20;
            visit = test::addPlan(db, appt);
        });
        window->notiftimerTimer();
    }
    void tickAt(double v) {
        clock->setValue(v);
        window->notiftimerTimer();
    }
    QString state(int plan, double event) {
        const auto row = plans::DoseLog(ctx.db).find(plan, event);
        return row ? row->STATE : QString();
    }
};

} // namespace

class TestNotifications : public QObject {
    Q_OBJECT
    test::Sandbox m_box;
    QProcess m_bus, m_server;
    bool m_busUp = false;

    // A notification server with these capabilities on the private bus, or none.
    bool startServer(const QString& capabilities) {
        stopServer();
        m_server.start(QStringLiteral("/usr/bin/python3"),
                       {"-m", "dbusmock", "--template", "notification_daemon", "-p",
                        QStringLiteral("{\"capabilities\": \"%1\"}").arg(capabilities)});
        return QTest::qWaitFor(
            [] { return QDBusConnection::sessionBus().interface()->isServiceRegistered(kService).value(); }, 10000);
    }
    void stopServer() {
        if (m_server.state() == QProcess::NotRunning) return;
        m_server.kill();
        m_server.waitForFinished();
        // A server that lingers on the bus is the next test's to notice; here it is only waited for.
        [[maybe_unused]] const bool gone = QTest::qWaitFor(
            [] { return !QDBusConnection::sessionBus().interface()->isServiceRegistered(kService).value(); }, 5000);
    }

private slots:
    void initTestCase() {
        // The private bus is the session's before anything in this process asks for it.
        m_bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1",
                                    "--address=unix:path=" + m_box.path("bus")});
        if (!m_bus.waitForReadyRead(5000)) return;
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.readLine().trimmed());
        m_busUp = QDBusConnection::sessionBus().isConnected();
    }
    void init() {
        if (!m_busUp) QSKIP("no private session bus could be started here (dbus-daemon missing)");
    }
    void cleanupTestCase() {
        stopServer();
        m_bus.kill();
        m_bus.waitForFinished();
    }

    // Both the window and the notification: what the server is sent, and "Taken" on the
    // notification marks the dose taken and closes the window; ids not ours are ignored.
    void aDoseNotificationIsSentAndAnsweredByItsAction() {
        if (!startServer(QStringLiteral("body actions"))) QSKIP("python3-dbusmock's notification_daemon did not start");
        NotifiedFixture f(ReminderDispatcher::kShowAsBoth);
        f.tickAt(at(9, 5, 1));
        QCOMPARE(f.window->openReminders().size(), 1);
        const QList<Call> sent = callsOf(QStringLiteral("Notify"));
        QCOMPARE(sent.size(), 1);
        const QVariantList& a = sent[0].args;
        QCOMPARE(a[0].toString(), QStringLiteral("Vantrel Planner"));
        QCOMPARE(a[2].toString(), QStringLiteral("vantrel-planner"));
        QCOMPARE(a[3].toString(), QStringLiteral("Notification: Medicine - Amoxicillin"));
        QCOMPARE(a[4].toString(),
                 QStringLiteral("For: Ann\nAt 1/5/2026 09:05:00 AM\nTake &lt;b&gt;one&lt;/b&gt; &amp; drink"));
        QCOMPARE(a[5].toStringList(),
                 QStringList({"taken", "Taken", "skip", "Skip", "snooze", "Snooze 10 min"}));
        const QVariantMap hints = qdbus_cast<QVariantMap>(a[6]);
        QCOMPARE(hints.value("desktop-entry").toString(), QStringLiteral("vantrel-planner"));
        QCOMPARE(hints.value("urgency").toInt(), 2);
        QCOMPARE(hints.value("resident").toBool(), true);
        QCOMPARE(a[7].toInt(), 0);
        const uint id = f.window->reminders()->openNotifications().value(0);
        QVERIFY(id != 0);

        emitFromServer(QStringLiteral("ActionInvoked"), QStringLiteral("us"), {uint(id + 100), QStringLiteral("taken")});
        QTest::qWait(200);
        QCOMPARE(f.state(f.dose, at(9, 5)), QStringLiteral("R"));
        emitFromServer(QStringLiteral("ActionInvoked"), QStringLiteral("us"), {id, QStringLiteral("taken")});
        QTRY_COMPARE(f.state(f.dose, at(9, 5)), QStringLiteral("T"));
        QTRY_VERIFY(f.window->openReminders().isEmpty());
        QVERIFY(f.window->reminders()->openNotifications().isEmpty());

        // An appointment: normal urgency, snooze only; snoozed from the notification.
        f.tickAt(at(9, 10, 1));
        const QList<Call> more = callsOf(QStringLiteral("Notify"));
        QCOMPARE(more.size(), 2);
        QCOMPARE(more[1].args[3].toString(), QStringLiteral("Notification: Appointment - Dr. Greg House"));
        QCOMPARE(more[1].args[5].toStringList(), QStringList({"snooze", "Snooze 10 min"}));
        QCOMPARE(qdbus_cast<QVariantMap>(more[1].args[6]).value("urgency").toInt(), 1);
        const uint visit = f.window->reminders()->openNotifications().value(0);
        emitFromServer(QStringLiteral("ActionInvoked"), QStringLiteral("us"), {visit, QStringLiteral("snooze")});
        QTRY_COMPARE(f.state(f.visit, at(9, 30)), QStringLiteral("Z"));
        QCOMPARE(plans::DoseLog(f.ctx.db).find(f.visit, at(9, 30))->SNOOZEUNTIL, at(9, 20, 1));
    }

    // The person dismisses the notification: the window of the same reminder closes. An answer
    // in the window closes the notification.
    void eachClosesWithTheOther() {
        if (!startServer(QStringLiteral("body actions"))) QSKIP("python3-dbusmock's notification_daemon did not start");
        NotifiedFixture f(ReminderDispatcher::kShowAsBoth);
        f.tickAt(at(9, 5, 1));
        const uint id = f.window->reminders()->openNotifications().value(0);
        emitFromServer(QStringLiteral("NotificationClosed"), QStringLiteral("uu"), {id, uint(2)});
        QTRY_VERIFY(f.window->openReminders().isEmpty());
        QCOMPARE(f.state(f.dose, at(9, 5)), QStringLiteral("R"));

        f.tickAt(at(9, 10, 1));
        TfrmActiveNotif* w = f.window->openReminders().value(0);
        QVERIFY(w);
        const uint visit = f.window->reminders()->openNotifications().value(0);
        w->findChild<QAction*>("snooze5")->trigger();
        QTRY_VERIFY(!callsOf(QStringLiteral("CloseNotification")).isEmpty());
        QCOMPARE(callsOf(QStringLiteral("CloseNotification")).last().args[0].toUInt(), visit);
    }

    // A server without actions: the notification has none, and the window is still there.
    void aServerWithoutActionsGetsNone() {
        if (!startServer(QStringLiteral("body"))) QSKIP("python3-dbusmock's notification_daemon did not start");
        NotifiedFixture f(ReminderDispatcher::kShowAsNotification);
        f.tickAt(at(9, 5, 1));
        const QList<Call> sent = callsOf(QStringLiteral("Notify"));
        QCOMPARE(sent.size(), 1);
        QVERIFY(sent[0].args[5].toStringList().isEmpty());
        QVERIFY(f.window->openReminders().isEmpty()); // the notification alone, as chosen
    }

    // No server at all: whatever the choice, the window is shown.
    void withoutAServerTheWindowIsShown() {
        stopServer();
        NotifiedFixture f(ReminderDispatcher::kShowAsNotification);
        f.tickAt(at(9, 5, 1));
        QCOMPARE(f.window->openReminders().size(), 1);
        QVERIFY(f.window->reminders()->openNotifications().isEmpty());
    }
};

QTEST_MAIN(TestNotifications)
#include "test_notifications.moc"
