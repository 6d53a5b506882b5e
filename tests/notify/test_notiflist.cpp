#include "notify/notiflist.h"

#include <QtTest>

using namespace vantrel;

class TestNotifList : public QObject {
    Q_OBJECT

    static QList<double> times(const NotifList& l) {
        QList<double> out;
        for (int i = 0; i < l.NotifCount(); ++i)
            out << l[i].NotifTime;
        return out;
    }

private slots:
    void entriesStaySortedAndEqualTimesGoFirst() {
        NotifList l;
        QCOMPARE(l.first(), 0.0);
        QCOMPARE(l.AddNotif(1, 10.5), 1);
        QCOMPARE(l.AddNotif(2, 10.2), 1);
        QCOMPARE(l.AddNotif(3, 10.7), 3);
        QCOMPARE(l.AddNotif(4, 10.5), 2); // before the older entry of the same time
        QCOMPARE(times(l), QList<double>({10.2, 10.5, 10.5, 10.7}));
        QCOMPARE(l[1].APPTID, 4);
        QCOMPARE(l[2].APPTID, 1);
        QCOMPARE(l[4].APPTID, -1);
        l.ResetNotifs();
        QCOMPARE(l.NotifCount(), 0);
        QCOMPARE(l[0].NotifTime, 0.0);
    }

    void aFullListKeepsTheTwentyEarliest() {
        NotifList l;
        for (int i = 0; i < 20; ++i)
            QVERIFY(l.AddNotif(i, 100 + i) > 0);
        QCOMPARE(l.AddNotif(99, 200), -1); // later than all: refused
        QCOMPARE(l.NotifCount(), 20);
        QCOMPARE(l.AddNotif(50, 105.5), 7); // earlier than the last: the last goes
        QCOMPARE(l.NotifCount(), 20);
        QCOMPARE(l[6].APPTID, 50);
        QCOMPARE(l[19].NotifTime, 118.0);
        for (int i = 1; i < 20; ++i)
            QVERIFY(l[i - 1].NotifTime <= l[i].NotifTime);
        QCOMPARE(l.AddNotif(51, 50), 1);
        QCOMPARE(l[19].NotifTime, 117.0);
    }
};

QTEST_GUILESS_MAIN(TestNotifList)
#include "test_notiflist.moc"
