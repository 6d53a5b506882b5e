// What came due while the program was off: listed once at the next start, newest first, never
// raised as windows nor sent as mail; older than the catch-up period, or of a plan without a
// reminder, only logged as not confirmed.
#include "core/datetime.h"
#include "data/removal.h"
#include "support/logrun.h"
#include "support/plans.h"

#include <QSqlQuery>
#include <QtTest>

using namespace vantrel;
using test::Household;
using test::Run;

namespace {

double at(int day, int h, int m = 0, int s = 0) {
    return test::march(day, h, m, s);
}

// Beside the household's 8:00 dose: doses at 9:00 and 10:30 and 12:00 on 2 March, an appointment
// at 13:00 reminded half an hour before, an e-mail-only dose at 11:00 and a dose without a
// reminder at 11:30.
struct Morning : Household {
    int nine, tenThirty, noon, visit, mailed, silent;
    Morning() {
        Run r(box.dataDir(), at(1, 12));
        const auto dose = [&](double start, const char* type = "P") {
            test::PlanSpec p;
            p.medicine = medicine;
            p.start = start;
            p.notifType = QString::fromLatin1(type);
            return test::addPlan(r.ctx.db, p);
        };
        nine = dose(at(2, 9));
        tenThirty = dose(at(2, 10, 30));
        noon = dose(at(2, 12));
        mailed = dose(at(2, 11), "E");
        silent = dose(at(2, 11, 30), "N");
        test::PlanSpec appt;
        appt.type = QStringLiteral("D");
        appt.doctor = test::addDoctor(r.ctx.db, QStringLiteral("Greg"), QStringLiteral("House"));
        appt.start = at(2, 13);
        appt.minutesBefore = 30;
        visit = test::addPlan(r.ctx.db, appt);
    }
};

QList<int> ids(const QList<ReminderOccurrence>& list) {
    QList<int> out;
    for (const ReminderOccurrence& o : list)
        out << o.APPTID;
    return out;
}

QString stateOf(Run& r, int plan, double event) {
    const auto row = r.log->find(plan, event);
    return row ? row->STATE : QStringLiteral("none");
}

} // namespace

class TestCatchUp : public QObject {
    Q_OBJECT
private slots:
    // Off from 08:00 to 14:00: at the start, one list of what came due, newest first, each with
    // its "M" row; no window, no mail. A second start at once lists nothing.
    void whatCameDueWhileOffIsListedOnceNewestFirst() {
        Morning m;
        {
            Run r(m.box.dataDir(), at(2, 7));
            r.minuteTicksUntil(at(2, 7, 59));
        }
        Run r(m.box.dataDir(), at(2, 14));
        QCOMPARE(r.popups.missedLists.size(), 1);
        const QList<ReminderOccurrence> missed = r.popups.missedLists[0];
        QCOMPARE(ids(missed), QList<int>({m.visit, m.noon, m.mailed, m.tenThirty, m.nine, m.plan}));
        QCOMPARE(missed[0].eventTime, at(2, 13));
        QCOMPARE(missed[0].due, at(2, 12, 30));
        QCOMPARE(missed[0].itemName, QStringLiteral("Greg House"));
        QCOMPARE(missed[5].personName, QStringLiteral("Alice Tester"));
        for (const ReminderOccurrence& o : missed) {
            QVERIFY(o.LOGID >= 0);
            QCOMPARE(r.log->row(o.LOGID)->STATE, QStringLiteral("M"));
        }
        QCOMPARE(stateOf(r, m.silent, at(2, 11, 30)), QStringLiteral("M")); // logged, not listed
        QVERIFY(r.popups.shownAt.isEmpty());
        QCOMPARE(r.popups.mails, 0);
        r.minuteTicksUntil(at(2, 14, 30));
        QVERIFY(r.popups.shownAt.isEmpty());

        Run again(m.box.dataDir(), at(2, 14, 0, 5));
        QVERIFY(again.popups.missedLists.isEmpty());
        QCOMPARE(test::count(again.ctx.db, QStringLiteral("doselog")), 7);
    }

    // A period of four hours: what is older gets its "M" row without being listed.
    void olderThanThePeriodIsLoggedButNotListed() {
        Morning m;
        Run r(m.box.dataDir(), at(2, 14), [](Settings& s) { s.CatchUpHours = 4; });
        QCOMPARE(ids(r.popups.missedLists.value(0)), QList<int>({m.visit, m.noon, m.mailed, m.tenThirty}));
        QCOMPARE(stateOf(r, m.nine, at(2, 9)), QStringLiteral("M"));
        QCOMPARE(stateOf(r, m.plan, at(2, 8)), QStringLiteral("M"));

        Run off(m.box.dataDir(), at(3, 14), [](Settings& s) { s.CatchUpHours = 0; });
        QVERIFY(off.popups.missedLists.isEmpty());
        QCOMPARE(stateOf(off, m.plan, at(3, 8)), QStringLiteral("M"));
    }

    // Killed seconds after raising a dose: the next start lists nothing, and the dose keeps its
    // row as raised.
    void aCrashAfterARaiseListsNothing() {
        Household h;
        {
            Run r(h.box.dataDir(), at(2, 7, 59));
            r.tickAt(at(2, 8, 0, 1));
            QCOMPARE(r.popups.shownAt.size(), 1);
        }
        Run r(h.box.dataDir(), at(2, 8, 0, 6));
        QVERIFY(r.popups.missedLists.isEmpty());
        QCOMPARE(r.only().STATE, QStringLiteral("R"));
    }

    // The clock set back while the program was off: nothing listed twice, nothing raised twice.
    void aClockSetBackListsAndRaisesNothingTwice() {
        Morning m;
        { Run r(m.box.dataDir(), at(2, 14)); }
        Run back(m.box.dataDir(), at(2, 11));
        QVERIFY(back.popups.missedLists.isEmpty());
        back.minuteTicksUntil(at(2, 13, 30));
        QVERIFY(back.popups.shownAt.isEmpty());
        QCOMPARE(back.popups.mails, 0);
        QCOMPARE(test::count(back.ctx.db, QStringLiteral("doselog")), 7);
    }

    // A plan written after the period began is caught up from then on only.
    void aPlanIsCaughtUpFromItsLastChangeOnly() {
        Household h;
        {
            Run r(h.box.dataDir(), at(2, 7));
            r.ctx.db.run(QStringLiteral("UPDATE planlist SET CHANGEDAT = ?"), {at(2, 8, 30)});
        }
        Run r(h.box.dataDir(), at(3, 9));
        QCOMPARE(r.popups.missedLists.size(), 1);
        QCOMPARE(r.popups.missedLists[0].size(), 1);
        QCOMPARE(r.popups.missedLists[0][0].eventTime, at(3, 8));
        QCOMPARE(stateOf(r, h.plan, at(2, 8)), QStringLiteral("none"));
    }

    // The first start on a new log knows nothing of what was raised before it: nothing listed.
    void aNewLogListsNothing() {
        test::Sandbox box;
        {
            Run r(box.dataDir(), at(2, 7));
            test::PlanSpec p;
            p.start = at(2, 8);
            test::addPlan(r.ctx.db, p);
        }
        QFile::remove(box.dataDir() + QStringLiteral("/doselog.DAT"));
        Run r(box.dataDir(), at(2, 9));
        QVERIFY(r.popups.missedLists.isEmpty());
        QCOMPARE(test::count(r.ctx.db, QStringLiteral("doselog")), 0);
    }
};

QTEST_GUILESS_MAIN(TestCatchUp)
#include "test_catchup.moc"
