// Plans to iCalendar and back. The exported file is expanded by libical's own recurrence walk,
// which knows nothing of our engine, over a year with both changes of daylight-saving time: it
// must give exactly the occurrences the calendar shows. Our own export read into an empty store
// gives the same plans; events that map to no repeat kind are refused one by one with their
// reason; files that are no calendar write nothing.
#include "core/datetime.h"
#include "plans/calendarimport.h"
#include "plans/icalendar.h"
#include "plans/occurrences.h"
#include "plans/planstore.h"
#include "support/plans.h"
#include "support/testsupport.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTimeZone>
#include <QtTest>

extern "C" {
#include <libical/ical.h>
}

using namespace vantrel;
using plans::Plan;

namespace {

// Set before main(), as constants of a file are: the date helpers must already work then.
const double kYearStart = dt::encode(2026, 1, 1);
const double kYearEnd = dt::encode(2027, 1, 1);

QString localZone() {
    return QString::fromUtf8(QTimeZone::systemTimeZoneId());
}

// A store in its own folder with one profile, "Alice".
struct Store {
    explicit Store(const QString& name) : db(name) {
        db.open(box.dataDir());
        db.run(QStringLiteral("INSERT INTO patient (NAME) VALUES ('Alice')")).finish();
    }
    test::Sandbox box;
    data::Database db;
};

Plan plan(const QString& type, double start, const QString& repeat, QVariant days = {}, double end = 0) {
    Plan p;
    p.PATIENTREF = 1;
    p.APPTTYPE = type;
    p.STARTTIME = start;
    p.ENDTIME = start + (type == QLatin1String("M") ? 15 : 60) * dt::kMinute;
    p.REPTYPE = repeat;
    p.REPDAYS = days;
    p.REPEND = end;
    return p;
}

// A time of day away from 02:00-03:00, which a change of daylight-saving time skips or repeats.
int randomMinuteOfDay(QRandomGenerator& g) {
    int m = 0;
    do
        m = g.bounded(1440);
    while (m >= 120 && m < 180);
    return m;
}

Plan randomPlan(QRandomGenerator& g) {
    static const char* kinds[] = {"N", "D", "X", "W"};
    const QString kind = QString::fromLatin1(kinds[g.bounded(4)]);
    const double start = kYearStart - 20 + g.bounded(380) + randomMinuteOfDay(g) * dt::kMinute;
    QVariant days;
    if (kind == QLatin1String("X")) days = 2 + g.bounded(9);
    if (kind == QLatin1String("W")) {
        QString digits;
        for (int d = 1; d <= 7; ++d)
            if (g.bounded(2)) digits += QChar(u'0' + d);
        days = (digits.isEmpty() ? QStringLiteral("4") : digits).toInt();
    }
    const double end = kind != QLatin1String("N") && g.bounded(2) ? std::floor(start) + g.bounded(400) : 0;
    return plan(g.bounded(2) ? QStringLiteral("M") : QStringLiteral("D"), dt::roundToSecond(start), kind, days, end);
}

double localOf(time_t t) {
    return dt::roundToSecond(dt::fromQDateTime(QDateTime::fromSecsSinceEpoch(static_cast<qint64>(t))));
}

void collect(icalcomponent*, struct icaltime_span* span, void* data) {
    static_cast<QList<double>*>(data)->append(localOf(span->start));
}

// Each event's occurrence starts in [from, to) as libical walks its rule, by UID.
QMap<QString, QList<double>> expandWithLibical(const QByteArray& ics, double from, double to) {
    QMap<QString, QList<double>> out;
    icalcomponent* cal = icalparser_parse_string(ics.constData());
    const auto utc = [](double v) {
        return icaltime_from_timet_with_zone(static_cast<time_t>(dt::toQDateTime(v).toSecsSinceEpoch()), 0,
                                             icaltimezone_get_utc_timezone());
    };
    for (icalcomponent* e = icalcomponent_get_first_component(cal, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(cal, ICAL_VEVENT_COMPONENT)) {
        QList<double>& starts = out[QString::fromUtf8(icalcomponent_get_uid(e))];
        icalcomponent_foreach_recurrence(e, utc(from), utc(to), collect, &starts);
        // libical hands over occurrences that overlap the span; only those starting in it count.
        starts.erase(std::remove_if(starts.begin(), starts.end(), [&](double s) { return s < from || s >= to; }),
                     starts.end());
        std::sort(starts.begin(), starts.end());
    }
    icalcomponent_free(cal);
    return out;
}

QString uidOf(const Plan& p) {
    return QStringLiteral("vantrel-plan-%1@vantrel-planner").arg(p.APPTID);
}

QList<double> startsOf(const Plan& p, double from, double to) {
    QList<double> out;
    for (const auto& o : plans::occurrences(p, from, to))
        out << o.start;
    return out;
}

const char* kHeader =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n"
    "BEGIN:VTIMEZONE\r\nTZID:America/New_York\r\n"
    "BEGIN:STANDARD\r\nDTSTART:19701101T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\n"
    "TZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nEND:STANDARD\r\n"
    "BEGIN:DAYLIGHT\r\nDTSTART:19700308T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\n"
    "TZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n";

QByteArray vevent(const QByteArray& summary, const QByteArray& lines) {
    return "BEGIN:VEVENT\r\nUID:" + summary + "@test\r\nDTSTAMP:20261201T000000Z\r\nSUMMARY:" + summary +
           "\r\n" + lines + "END:VEVENT\r\n";
}

} // namespace

class TestICalendar : public QObject {
    Q_OBJECT

private slots:
    // Thousands of random plans of every repeat kind, with and without an end: libical's own
    // expansion of the file gives exactly the engine's occurrences over the year.
    void expansionMatchesTheEngine() {
        // The constants above were set before main(): the same value as one worked out now.
        QCOMPARE(kYearStart, dt::encode(2026, 1, 1));
        QRandomGenerator g(20261211);
        QList<Plan> all;
        for (int i = 0; i < 2000; ++i) {
            Plan p = randomPlan(g);
            p.APPTID = i + 1;
            all << p;
        }
        int leftOut = -1;
        const QByteArray ics = plans::exportCalendar(all, localZone(), &leftOut);
        const auto expanded = expandWithLibical(ics, kYearStart, kYearEnd);
        int compared = 0, withOccurrences = 0;
        for (const Plan& p : all) {
            const auto first = plans::firstOccurrenceFrom(p, std::floor(p.STARTTIME));
            if (!first) {
                QVERIFY2(!expanded.contains(uidOf(p)), qPrintable(uidOf(p)));
                continue;
            }
            const QList<double> ours = startsOf(p, kYearStart, kYearEnd);
            const QList<double> theirs = expanded.value(uidOf(p));
            if (ours != theirs) {
                qWarning() << p.REPTYPE << p.repeatDays() << dt::formatDateTime(p.STARTTIME)
                           << (p.REPEND ? dt::formatDate(p.REPEND) : QStringLiteral("no end")) << ours.size()
                           << theirs.size();
                QFAIL("libical expands the exported plan to other occurrences than the engine");
            }
            ++compared;
            if (!ours.isEmpty()) ++withOccurrences;
        }
        QCOMPARE(compared + leftOut, all.size());
        QVERIFY(withOccurrences > 1000);
        // The zone is the system's, with its rules, under its own name.
        QVERIFY(ics.contains("TZID:" + localZone().toUtf8()));
        QVERIFY(ics.contains("DTSTART;TZID=" + localZone().toUtf8()));
    }

    void exportedFields() {
        Plan dose = plan("M", dt::encode(2026, 12, 11, 8, 0), "X", 3, dt::encode(2027, 1, 31));
        dose.APPTID = 7;
        dose.personName = "Alice";
        dose.itemName = "Amoxicillin";
        dose.itemFound = true;
        plans::Reminder r;
        r.NOTIFTYPE = "B";
        r.NOTIFMIN = 15;
        r.NOTIFTEXT = "Take it with water, please; 2 pills";
        r.EMAILTO = "Ann Smith <ann@example.org>; bob@example.org";
        r.EMAILSUBJECT = "Dose";
        r.EMAILMESSAGE = "Now";
        dose.reminder = r;
        Plan weekly = plan("D", dt::encode(2026, 12, 10, 9, 30), "W", 246); // a Thursday
        weekly.APPTID = 8;
        weekly.personName = "Alice";
        weekly.itemName = "Gregory House";
        weekly.itemFound = true;
        const QString ics = QString::fromUtf8(plans::exportCalendar({dose, weekly}, localZone()));
        const QString unfolded = QString(ics).remove(QStringLiteral("\r\n "));
        QVERIFY(unfolded.contains("UID:vantrel-plan-7@vantrel-planner"));
        QVERIFY(unfolded.contains("SUMMARY:Amoxicillin (Alice)"));
        QVERIFY(unfolded.contains("SUMMARY:Dr. Gregory House (Alice)"));
        QVERIFY(unfolded.contains("RRULE:FREQ=DAILY;UNTIL=20270131T130000Z;INTERVAL=3") ||
                unfolded.contains("RRULE:FREQ=DAILY;INTERVAL=3;UNTIL=20270131T130000Z"));
        QVERIFY(unfolded.contains("RRULE:FREQ=WEEKLY;BYDAY=MO,WE,FR"));
        // A weekly plan starts on its first chosen day, as the calendar shows it.
        QVERIFY(unfolded.contains("DTSTART;TZID=America/New_York:20261211T093000"));
        QVERIFY(unfolded.contains("TRIGGER:-PT15M"));
        QVERIFY(unfolded.contains("ACTION:DISPLAY"));
        QVERIFY(unfolded.contains("ACTION:EMAIL"));
        QVERIFY(unfolded.contains("ATTENDEE;CN=Ann Smith:mailto:ann@example.org"));
        QVERIFY(unfolded.contains("ATTENDEE:mailto:bob@example.org"));
        QVERIFY(unfolded.contains("X-VANTREL-KIND:dose"));
        QVERIFY(unfolded.contains("X-VANTREL-ITEM:Amoxicillin"));
        QVERIFY(unfolded.contains("X-VANTREL-PERSON:Alice"));
        // Text is escaped as the format wants, not left to end a property.
        QVERIFY(unfolded.contains("DESCRIPTION:Take it with water\\, please\\; 2 pills"));
    }

    // Our own export of a profile, read into an empty store, gives back the same plans, and
    // the doctors and medicines they need.
    void roundTrip() {
        Store from("from");
        const int amox = test::addMedicine(from.db, "Amoxicillin");
        test::addLink(from.db, "mlref", 1, amox);
        const int house = test::addDoctor(from.db, "Gregory", "House");
        test::addLink(from.db, "dlref", 1, house);
        Plan a = plan("M", dt::encode(2026, 12, 11, 8, 0), "D", {}, dt::encode(2027, 3, 1));
        a.MEDREF = amox;
        plans::Reminder pop;
        pop.NOTIFTYPE = "P";
        pop.NOTIFMIN = 10;
        pop.NOTIFTEXT = "Take <b>two</b>,\nwith food";
        pop.PLAYAUDIO = true;
        pop.AUDIOFILE = "/usr/share/sounds/alarm.wav";
        a.reminder = pop;
        Plan b = plan("M", dt::encode(2026, 12, 12, 21, 45), "W", 17);
        b.MEDREF = amox;
        Plan c = plan("D", dt::encode(2026, 12, 20, 14, 30), "N");
        c.DRREF = house;
        plans::Reminder both;
        both.NOTIFTYPE = "B";
        both.NOTIFMIN = 60;
        both.NOTIFTEXT = "See Dr. House";
        both.SENDEMAIL = true;
        both.EMAILFROM = "planner@example.org";
        both.EMAILTO = "Ann Smith <ann@example.org>; bob@example.org";
        both.EMAILSUBJECT = "Appointment";
        both.EMAILMESSAGE = "Dr. House at 2:30 PM";
        c.reminder = both;
        Plan d = plan("D", dt::encode(2026, 12, 11, 7, 0), "X", 14, dt::encode(2027, 6, 30));
        d.DRREF = house;
        for (Plan* p : {&a, &b, &c, &d}) {
            if (!p->reminder) p->reminder = plans::Reminder{};
            plans::PlanStore(from.db).save(*p);
        }
        const QByteArray ics = plans::exportCalendar(plans::PlanStore(from.db).loadAll(1), localZone());

        Store to("to");
        const auto parsed = plans::parseCalendar(ics);
        QVERIFY(parsed.problem.isEmpty());
        const auto report = plans::importCalendar(to.db, parsed, 1, dt::encode(2026, 12, 11, 6, 0));
        QCOMPARE(report.written, 4);
        QVERIFY(report.refused.isEmpty());
        QCOMPARE(report.medicinesAdded, 1);
        QCOMPARE(report.doctorsAdded, 1);
        const QList<Plan> back = plans::PlanStore(to.db).loadAll(1);
        const QList<Plan> orig = plans::PlanStore(from.db).loadAll(1);
        QCOMPARE(back.size(), orig.size());
        for (int i = 0; i < orig.size(); ++i) {
            const Plan& o = orig[i];
            const Plan& n = back[i];
            QCOMPARE(n.APPTTYPE, o.APPTTYPE);
            QCOMPARE(n.itemName, o.itemName);
            QCOMPARE(n.REPTYPE, o.REPTYPE);
            QCOMPARE(n.repeatDays(), o.repeatDays());
            QCOMPARE(n.REPEND, o.REPEND);
            QCOMPARE(startsOf(n, kYearStart, kYearEnd + 365), startsOf(o, kYearStart, kYearEnd + 365));
            QCOMPARE(dt::roundToSecond(n.ENDTIME - n.STARTTIME), dt::roundToSecond(o.ENDTIME - o.STARTTIME));
            const plans::Reminder& orr = *o.reminder;
            const plans::Reminder& nr = *n.reminder;
            QCOMPARE(nr.NOTIFTYPE, orr.NOTIFTYPE);
            if (orr.NOTIFTYPE != "N") QCOMPARE(nr.NOTIFMIN, orr.NOTIFMIN);
            if (orr.popup()) {
                QCOMPARE(nr.NOTIFTEXT, orr.NOTIFTEXT);
                QCOMPARE(nr.PLAYAUDIO, orr.PLAYAUDIO);
                QCOMPARE(nr.AUDIOFILE, orr.AUDIOFILE);
            }
            if (orr.mail()) {
                QCOMPARE(nr.EMAILFROM, orr.EMAILFROM);
                QCOMPARE(nr.EMAILTO, orr.EMAILTO);
                QCOMPARE(nr.EMAILSUBJECT, orr.EMAILSUBJECT);
                QCOMPARE(nr.EMAILMESSAGE, orr.EMAILMESSAGE);
            }
            // Imported plans count from the import: nothing earlier is caught up as missed.
            QCOMPARE(n.CHANGEDAT, dt::encode(2026, 12, 11, 6, 0));
        }
        // A second import finds the doctor and the medicine of those names and adds no other.
        const auto again = plans::importCalendar(to.db, parsed, 1, dt::encode(2026, 12, 11, 7, 0));
        QCOMPARE(again.written, 4);
        QCOMPARE(again.medicinesAdded + again.doctorsAdded, 0);
        QCOMPARE(test::count(to.db, "medicine"), 1);
        QCOMPARE(test::count(to.db, "doctor"), 1);
        QVERIFY(test::orphanRows(to.db).isEmpty());
    }

    // Every kind the planner has no repeat for is refused with its reason; the rest is written.
    void refusedKinds() {
        const QByteArray start = "DTSTART;TZID=America/New_York:20261214T090000\r\n";
        QByteArray ics = kHeader;
        ics += vevent("Good", start + "RRULE:FREQ=WEEKLY;BYDAY=MO,TH\r\n");
        ics += vevent("Monthly", start + "RRULE:FREQ=MONTHLY\r\n");
        ics += vevent("Monthday", start + "RRULE:FREQ=DAILY;BYMONTHDAY=1,15\r\n");
        ics += vevent("Counted", start + "RRULE:FREQ=DAILY;COUNT=5\r\n");
        ics += vevent("Excepted", start + "RRULE:FREQ=DAILY\r\nEXDATE;TZID=America/New_York:20261215T090000\r\n");
        ics += vevent("Extra", start + "RDATE;TZID=America/New_York:20261225T090000\r\n");
        ics += vevent("Floating", "DTSTART:20261214T090000\r\n");
        ics += vevent("Allday", "DTSTART;VALUE=DATE:20261214\r\n");
        ics += vevent("Fortnight", start + "RRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=MO\r\n");
        ics += vevent("Nthmonday", start + "RRULE:FREQ=WEEKLY;BYDAY=1MO\r\n");
        ics += vevent("Unknownzone", "DTSTART;TZID=Mars/Olympus:20261214T090000\r\n");
        ics += vevent("Early", start + "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:x\r\nTRIGGER:-P2D\r\nEND:VALARM\r\n");
        ics += vevent("Fixed", start + "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:x\r\n"
                                      "TRIGGER;VALUE=DATE-TIME:20261214T080000Z\r\nEND:VALARM\r\n");
        ics += vevent("Yearly", start + "RRULE:FREQ=YEARLY\r\n");
        ics += "END:VCALENDAR\r\n";
        const auto parsed = plans::parseCalendar(ics);
        QVERIFY(parsed.problem.isEmpty());
        Store s("refused");
        const auto report = plans::importCalendar(s.db, parsed, 1, dt::encode(2026, 12, 11));
        QCOMPARE(report.written, 1);
        QMap<QString, QString> why;
        for (const auto& [summary, reason] : report.refused)
            why[summary] = reason;
        const QMap<QString, QString> expected{
            {"Monthly", "monthly"},          {"Monthday", "BYMONTHDAY"},   {"Counted", "COUNT"},
            {"Excepted", "EXDATE"},          {"Extra", "RDATE"},           {"Floating", "floating"},
            {"Allday", "whole days"},        {"Fortnight", "every 2 weeks"}, {"Nthmonday", "numbered weekday"},
            {"Unknownzone", "Mars/Olympus"}, {"Early", "2880 minutes"},    {"Fixed", "fixed time"},
            {"Yearly", "yearly"}};
        QCOMPARE(why.keys(), expected.keys());
        for (auto it = expected.begin(); it != expected.end(); ++it)
            QVERIFY2(why[it.key()].contains(it.value()), qPrintable(it.key() + ": " + why[it.key()]));
        // The good one: an appointment with a doctor named as its summary, on Mondays and Thursdays.
        const QList<Plan> kept = plans::PlanStore(s.db).loadAll(1);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(kept[0].APPTTYPE, QString("D"));
        QCOMPARE(kept[0].REPTYPE, QString("W"));
        QCOMPARE(kept[0].repeatDays(), QString("25"));
        QCOMPARE(kept[0].itemName.trimmed(), QString("Good"));
        QVERIFY(plans::reportText(report).contains("Monthly: it repeats monthly"));
    }

    // Files that are no calendar: a message, and nothing written.
    void malformedFiles() {
        QByteArray good = kHeader;
        good += vevent("One", "DTSTART;TZID=America/New_York:20261214T090000\r\nRRULE:FREQ=DAILY\r\n");
        good += "END:VCALENDAR\r\n";
        QByteArray big = good;
        big.insert(big.indexOf("END:VCALENDAR"), QByteArray(50 * 1024 * 1024, 'x').replace(0, 9, "X-FILL:aa"));
        const QList<std::pair<const char*, QByteArray>> bad{
            {"cut", good.left(good.size() / 2)},
            {"binary", QByteArray("BEGIN:VCALENDAR\r\n\0\x01\x02\xff", 21) + "END:VCALENDAR\r\n"},
            {"not utf-8", QByteArray(kHeader) + "X-A:\xe9\xe9\r\nEND:VCALENDAR\r\n"},
            {"50 MB", big},
            {"empty", QByteArray()},
            {"no events", QByteArray("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nEND:VCALENDAR\r\n")},
            {"a web page", QByteArray("<html><body>BEGIN:VCALENDAR</body></html>")},
        };
        for (const auto& [name, bytes] : bad) {
            const auto parsed = plans::parseCalendar(bytes);
            QVERIFY2(!parsed.problem.isEmpty(), name);
        }
        // Line ends of any kind are read alike.
        for (const QByteArray& ends : {QByteArray("\n"), QByteArray("\r")}) {
            QByteArray other = good;
            other.replace("\r\n", ends);
            const auto parsed = plans::parseCalendar(other);
            QVERIFY(parsed.problem.isEmpty());
            QCOMPARE(parsed.events.size(), 1);
            QVERIFY(parsed.events[0].plan);
            QCOMPARE(parsed.events[0].plan->REPTYPE, QString("D"));
            QCOMPARE(parsed.events[0].plan->STARTTIME, dt::encode(2026, 12, 14, 9, 0));
        }
    }

    // An event of another zone keeps its moment; a weekday rule follows the day it falls on here.
    void otherZone() {
        QByteArray ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//EN\r\n"
                         "BEGIN:VTIMEZONE\r\nTZID:Asia/Tokyo\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
                         "TZOFFSETFROM:+0900\r\nTZOFFSETTO:+0900\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
        // Monday 10:00 in Tokyo is Sunday 20:00 in New York (winter).
        ics += vevent("Tokyo", "DTSTART;TZID=Asia/Tokyo:20261214T100000\r\nRRULE:FREQ=WEEKLY;BYDAY=MO,WE\r\n");
        ics += "END:VCALENDAR\r\n";
        const auto parsed = plans::parseCalendar(ics);
        QVERIFY(parsed.events.value(0).plan);
        const Plan p = *parsed.events[0].plan;
        QCOMPARE(p.STARTTIME, dt::encode(2026, 12, 13, 20, 0));
        QCOMPARE(p.repeatDays(), QString("13")); // Sunday and Tuesday here
    }
};

QTEST_GUILESS_MAIN(TestICalendar)
#include "test_icalendar.moc"
