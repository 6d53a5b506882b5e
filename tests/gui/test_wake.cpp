// Waking from standby: the wake time, the wake thread over a timer, the real timerfd, and the
// main window answering logind's sleep signals on a private system bus with Debian's
// python3-dbusmock as logind.
#include "app/wakethread.h"
#include "core/datetime.h"
#include "notify/scheduler.h"
#include "platform/power.h"
#include "support/guifixture.h"
#include "support/plans.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

using namespace vantrel;
using test::MainWindowFixture;

namespace {

// A timer that fires when told to, recording the moment it was armed for.
struct FakeTimer : platform::WakeTimer {
    std::int64_t* armedFor;
    bool fire = false;
    bool refuse = false;
    explicit FakeTimer(std::int64_t* a) : armedFor(a) {}
    bool arm(std::int64_t utcMs, std::string& error) override {
        *armedFor = utcMs;
        if (refuse) error = "Invalid argument";
        return !refuse;
    }
    bool wait(int ms) override {
        QThread::msleep(static_cast<unsigned long>(ms));
        return fire;
    }
};

} // namespace

class TestWake : public QObject {
    Q_OBJECT
    test::Sandbox m_box;
    QProcess m_bus, m_logind;
    bool m_mock = false;

private slots:
    void initTestCase() {
        // A private bus stands in for the system bus, before anything in this process asks for it.
        m_bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1",
                                    "--address=unix:path=" + m_box.path("bus")});
        if (!m_bus.waitForReadyRead(5000)) return;
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_bus.readLine().trimmed());
        m_logind.start("/usr/bin/python3", {"-m", "dbusmock", "--template", "logind", "--system"});
        m_mock = QTest::qWaitFor(
            [] {
                return QDBusConnection::systemBus().interface() &&
                       QDBusConnection::systemBus().interface()->isServiceRegistered(
                           "org.freedesktop.login1");
            },
            10000);
    }

    void cleanupTestCase() {
        m_logind.kill();
        m_logind.waitForFinished();
        m_bus.kill();
        m_bus.waitForFinished();
    }

    // A reminder pending at 07:30:00 local time wakes the computer at 07:29:45 local time, given
    // in universal time.
    void theWakeTimeIsFifteenSecondsBefore() {
        const double pending = dt::encode(2026, 7, 1, 7, 30);
        const QDateTime expected(QDate(2026, 7, 1), QTime(7, 29, 45));
        QCOMPARE(wakeDueUtcMs(pending), expected.toMSecsSinceEpoch());
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(wakeDueUtcMs(pending), Qt::UTC), expected.toUTC());
        // The offset is the one of the reminder's date, whatever today's is (New York: -5 h in
        // winter, -4 h in summer).
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(wakeDueUtcMs(dt::encode(2026, 1, 15, 7, 30)), Qt::UTC),
                 QDateTime(QDate(2026, 1, 15), QTime(12, 29, 45), Qt::UTC));
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(wakeDueUtcMs(dt::encode(2026, 7, 15, 7, 30)), Qt::UTC),
                 QDateTime(QDate(2026, 7, 15), QTime(11, 29, 45), Qt::UTC));
    }

    void theThreadWaitsUntilItFiresOrIsStopped() {
        std::int64_t armed = 0;
        FakeTimer* timer = nullptr;
        TMyThread t(dt::encode(2026, 7, 1, 7, 30), [&](std::string&) {
            auto f = std::make_unique<FakeTimer>(&armed);
            timer = f.get();
            return std::unique_ptr<platform::WakeTimer>(std::move(f));
        });
        t.start();
        QTRY_VERIFY(armed != 0);
        QCOMPARE(armed, t.dueUtcMs());
        QVERIFY(!t.wait(300)); // waiting on
        QElapsedTimer stopping;
        stopping.start();
        t.requestStop();
        QVERIFY(t.wait(2000));
        QVERIFY(stopping.elapsed() < 1000);

        // Unavailable: said, and the thread ends; armed but not set: said too.
        TMyThread none(1.0, [](std::string& reason) {
            reason = "no right to wake";
            return std::unique_ptr<platform::WakeTimer>();
        });
        QSignalSpy unavailable(&none, &TMyThread::timerUnavailable);
        none.start();
        QVERIFY(none.wait(2000));
        QCOMPARE(unavailable.value(0).value(0).toString(), QStringLiteral("no right to wake"));
        TMyThread refused(1.0, [&](std::string&) {
            auto f = std::make_unique<FakeTimer>(&armed);
            f->refuse = true;
            return std::unique_ptr<platform::WakeTimer>(std::move(f));
        });
        QSignalSpy notSet(&refused, &TMyThread::timerNotSet);
        refused.start();
        QVERIFY(refused.wait(2000));
        QCOMPARE(notSet.size(), 1);
    }

    // The real timer: armed two seconds ahead it fires and the thread ends by itself.
    void theRealTimerFires() {
        std::string reason;
        if (!platform::makeWakeTimer(reason))
            QSKIP(qPrintable("CLOCK_REALTIME_ALARM is refused here: " + QString::fromStdString(reason)));
        TMyThread t(dt::fromQDateTime(QDateTime::currentDateTime().addSecs(17)), {});
        QSignalSpy unavailable(&t, &TMyThread::timerUnavailable);
        t.start();
        QVERIFY(t.wait(8000)); // 17 s ahead less the 15 s: about two seconds
        QVERIFY(unavailable.isEmpty());
    }

    // The main window on the private bus: the inhibitor while running, one wake thread per
    // sleep, stopped and the inhibitor taken again at resume.
    void theWindowArmsForSleepAndStopsAtResume() {
        if (!m_mock) QSKIP("no private D-Bus with python3-dbusmock's logind could be started here");
        std::int64_t armed = 0;
        MainWindowFixture f([](Settings& s) { s.allowwake = true; },
                            [&](MainWindowFixture& g) {
                                g.ctx.hooks.wakeTimerFactory = [&](std::string&) {
                                    return std::unique_ptr<platform::WakeTimer>(
                                        std::make_unique<FakeTimer>(&armed));
                                };
                            });
        test::addMedicine(f.ctx.db, "Aspirin");
        test::PlanSpec p;
        p.start = dt::encode(2026, 1, 5, 9, 30);
        test::addPlan(f.ctx.db, p);
        f.window->notiftimerTimer();
        const double pending = f.window->scheduler()->firstPending();
        QVERIFY(pending > 0);
        platform::PowerEvents* power = f.window->powerEvents();
        QVERIFY(power->active());
        QVERIFY(power->holdsInhibitor());
        QDBusInterface mock("org.freedesktop.login1", "/org/freedesktop/login1", "org.freedesktop.DBus.Mock",
                            QDBusConnection::systemBus());
        const auto sleep = [&](bool start) {
            mock.call("EmitSignal", "org.freedesktop.login1.Manager", "PrepareForSleep", "b",
                      QVariantList{QVariant::fromValue(QDBusVariant(start))});
        };
        sleep(true);
        QTRY_VERIFY(f.window->wakeArmed());
        QTRY_COMPARE(armed, wakeDueUtcMs(pending));
        QVERIFY(!power->holdsInhibitor()); // let go: the system may sleep
        QCOMPARE(f.window->wakeThreadsMade(), 1);
        sleep(true);
        QTRY_COMPARE(f.window->wakeThreadsMade(), 2);
        QVERIFY(f.window->wakeThread()->isRunning()); // one thread: the first was stopped
        sleep(false);
        QTRY_VERIFY(!f.window->wakeArmed());
        QTRY_VERIFY(power->holdsInhibitor());

        // Waking not allowed: no thread at all.
        f.ctx.settings.allowwake = false;
        sleep(true);
        // A call answered after the signal was sent: by then the signal has been handled.
        mock.call("GetCalls");
        QCoreApplication::processEvents();
        QCOMPARE(f.window->wakeThreadsMade(), 2);
        QVERIFY(!f.window->wakeArmed());
    }
};

QTEST_MAIN(TestWake)
#include "test_wake.moc"
