// The wizards' rules without a window: routes, checks, lengths, weekdays, days and the row.
#include "core/datetime.h"
#include "data/table.h"
#include "plans/planstore.h"
#include "schedule/planrules.h"
#include "session/context.h"
#include "support/testsupport.h"

#include <QtTest>

using namespace vantrel;
using namespace vantrel::plans;
using P = ReminderPage;

namespace {
// The reminder row of the pages' values written as Finish writes it: with a plan, through the
// store, the plan's old reminder row (when it names one) replaced.
int writeReminder(data::Database& db, const ReminderValues& v, std::optional<int> oldNotifRef) {
    Plan plan;
    plan.NOTIFREF = oldNotifRef;
    plan.reminder = reminderFrom(v);
    PlanStore(db).save(plan);
    return *plan.NOTIFREF;
}
} // namespace

class TestPlanRules : public QObject {
    Q_OBJECT
private slots:
    void theRouteThroughTheReminderPages() {
        struct Step {
            QChar type;
            QList<P> forward;
        };
        const QList<Step> routes{
            {u'P', {P::Type, P::Time, P::Popup, P::Finish}},
            {u'E', {P::Type, P::Time, P::Email, P::Finish}},
            {u'B', {P::Type, P::Time, P::Popup, P::Email, P::Finish}},
            {u'N', {P::Type, P::Finish}},
        };
        for (const Step& r : routes) {
            P on = P::HostLast;
            QList<P> seen;
            while (on != P::Finish)
                seen << (on = nextPage(on, r.type));
            QCOMPARE(seen, r.forward);
            // Back again the same way, to the host's last page.
            QList<P> back{P::Finish};
            for (P p = P::Finish; p != P::HostLast;)
                back.prepend(p = previousPage(p, r.type));
            QCOMPARE(back.mid(1), r.forward);
        }
    }

    void theChecksAndTheirMessages() {
        const QString minutes = "Number of minutes should be between 1 and 60";
        const QString invalid = "Invalid number of minutes";
        QCOMPARE(checkMinutes("0"), std::optional(minutes));
        QCOMPARE(checkMinutes("61"), std::optional(minutes));
        QCOMPARE(checkMinutes("-5"), std::optional(minutes));
        QCOMPARE(checkMinutes("99999999999999999999999"), std::optional(invalid));
        QCOMPARE(checkMinutes("abc"), std::optional(invalid));
        QCOMPARE(checkMinutes(""), std::optional(invalid));
        QCOMPARE(checkMinutes("1.5"), std::optional(invalid));
        QCOMPARE(checkMinutes(" 60 "), std::nullopt);
        QCOMPARE(checkXDays("1"), std::optional(QStringLiteral("Number of days must be between 2 and 14")));
        QCOMPARE(checkXDays("15"), std::optional(QStringLiteral("Number of days must be between 2 and 14")));
        QCOMPARE(checkXDays("two"), std::optional(QStringLiteral("Invalid number of days")));
        QCOMPARE(checkXDays("14"), std::nullopt);
        QCOMPARE(checkWeekdays({}), std::optional(QStringLiteral("Please select at least one day.")));
        QCOMPARE(checkAudio(true, ""), std::optional(QStringLiteral("Please select an audio file to play")));
        QCOMPARE(checkAudio(false, ""), std::nullopt);
        QCOMPARE(checkEmail("", "b", "", "m"), std::optional(QStringLiteral("Please enter a from address")));
        QCOMPARE(checkEmail(" ", "", "", "m"),
                 std::optional(QStringLiteral("Please enter an address to send the message to")));
        QCOMPARE(checkEmail(" ", "b", "", ""), std::optional(QStringLiteral("Please enter a message")));
        QCOMPARE(checkEmail(" ", "b", "", "m"), std::nullopt); // a single space passes
        // A line break must never reach a mail header.
        const auto headerBreak =
            std::optional(QStringLiteral("The From, To and Subject boxes may not hold a line break"));
        QCOMPARE(checkEmail("a@x", "b@x", "Hi\r\nBcc: evil@x", "m"), headerBreak);
        QCOMPARE(checkEmail("a@x\n", "b@x", "", "m"), headerBreak);
        QCOMPARE(checkEmail("a@x", "b@x", "", "two\nlines are fine in the text"), std::nullopt);
    }

    // Everything Finish writes is checked, the minutes of a skipped page included.
    void finishChecksEveryPageItWillWrite() {
        ReminderValues v;
        v.type = u'N';
        v.minutesText = "abc";
        QCOMPARE(checkAll(v), std::optional(QStringLiteral("Invalid number of minutes")));
        v.atTime = true;
        QCOMPARE(checkAll(v), std::nullopt);
        v.type = u'B';
        v.playAudio = true;
        QCOMPARE(checkAll(v), std::optional(QStringLiteral("Please select an audio file to play")));
        v.audioFile = "/a.wav";
        QCOMPARE(checkAll(v), std::optional(QStringLiteral("Please enter a from address")));
    }

    void lengthsReadWithAPointWhateverTheLocale() {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(lengthItems().size(), 32);
        QCOMPARE(lengthItems().first(), QStringLiteral(".5"));
        QCOMPARE(lengthValue(".5"), std::optional(0.5));
        QCOMPARE(lengthValue("1.5"), std::optional(1.5));
        QCOMPARE(lengthValue("24"), std::optional(24.0));
        QCOMPARE(lengthValue(""), std::nullopt);
        QCOMPARE(lengthItemFor(90.0 / 1440), 2);  // "1.5"
        QCOMPARE(lengthItemFor(30.0 / 1440), 0);  // ".5"
        QCOMPARE(lengthItemFor(75.0 / 1440), -1); // 1.25 h: 1.2 after rounding, no such item
        QCOMPARE(lengthItemFor(8.5 / 24), -1);    // no half hours past 8
        QCOMPARE(lengthItemFor(9.0 / 24), 16);
        QLocale::setDefault(before);
    }

    void weekdaysAsDigits() {
        std::array<bool, 7> days{};
        days[1] = days[3] = days[5] = true; // Monday, Wednesday, Friday
        QCOMPARE(weekdayDigits(days), QStringLiteral("246"));
        QCOMPARE(weekdaysFrom("246"), days);
        QCOMPARE(weekdayDigits({true, false, false, false, false, false, true}), QStringLiteral("17"));
        QCOMPARE(weekdayDigits({true, true, true, true, true, true, true}), QStringLiteral("1234567"));
        QCOMPARE(weekdaysFrom("90x2"), (std::array<bool, 7>{false, true}));
    }

    void theEndDayAndTheRhythm() {
        const double day = dt::encode(2026, 12, 10);
        QCOMPARE(endOfDay(day + 0.5), dt::encode(2026, 12, 10, 23, 59, 59));
        QVERIFY(std::floor(endOfDay(day)) == day);
        // Every third day from the 1st: the 1st, 4th, 7th, 10th ... on the 12th it is the 10th.
        QCOMPARE(rhythmDayOnOrBefore(dt::encode(2026, 12, 1, 9), 3, dt::encode(2026, 12, 12, 15)),
                 dt::encode(2026, 12, 10));
        QCOMPARE(rhythmDayOnOrBefore(dt::encode(2026, 12, 1), 3, dt::encode(2026, 12, 10)),
                 dt::encode(2026, 12, 10));
        QCOMPARE(rhythmDayOnOrBefore(dt::encode(2026, 12, 20), 3, dt::encode(2026, 12, 10)),
                 dt::encode(2026, 12, 20)); // not begun yet
    }

    // The row of each type, and the old row of an edited plan gone in the same write.
    void theReminderRowOfEachType() {
        test::Sandbox box;
        Context ctx;
        ctx.db.open(box.dataDir());
        ReminderValues v;
        v.popupText = "Take it \"with\" water; s\u00fcss";
        v.playAudio = false;
        v.audioFile = "/a b/c.wav";
        v.from = "me@x";
        v.to = "a@x;b@x";
        v.subject = "S";
        v.message = "M";
        v.minutesText = "20";
        data::Table n(ctx.db, "notif");
        for (QChar type : {u'P', u'E', u'B', u'N'}) {
            v.type = type;
            const int ref = writeReminder(ctx.db, v, std::nullopt);
            n.open();
            QVERIFY(n.locate("NOTIFREF", ref));
            const bool popup = type == u'P' || type == u'B', mail = type == u'E' || type == u'B';
            QCOMPARE(n.text("NOTIFTYPE"), QString(type));
            QCOMPARE(n.text("NOTIFTEXT"), popup ? v.popupText : QString());
            QCOMPARE(n.text("AUDIOFILE"), popup ? v.audioFile : QString());
            QCOMPARE(n.boolean("PLAYAUDIO"), false);
            QCOMPARE(n.boolean("SENDEMAIL"), mail);
            QCOMPARE(n.text("EMAILTO"), mail ? v.to : QString());
            QCOMPARE(n.text("EMAILMESSAGE"), mail ? v.message : QString());
            QCOMPARE(n.integer("NOTIFMIN"), 20); // also for "N": the box as it stands
        }
        v.atTime = true;
        const int replaced = writeReminder(ctx.db, v, 1);
        n.open();
        QVERIFY(!n.locate("NOTIFREF", 1));
        QVERIFY(n.locate("NOTIFREF", replaced));
        QCOMPARE(n.integer("NOTIFMIN"), 0);
    }
};

QTEST_GUILESS_MAIN(TestPlanRules)
#include "test_planrules.moc"
