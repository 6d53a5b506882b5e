#include "plans/icalendar.h"

#include "core/datetime.h"
#include "plans/occurrences.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>
#include <QTimeZone>
#include <cmath>
#include <memory>

extern "C" {
#include <libical/ical.h>
}

namespace vantrel::plans {

namespace {

constexpr const char* kPerson = "X-VANTREL-PERSON";
constexpr const char* kItem = "X-VANTREL-ITEM";
constexpr const char* kKind = "X-VANTREL-KIND";
constexpr const char* kAudioFile = "X-VANTREL-AUDIOFILE";
constexpr const char* kMailFrom = "X-VANTREL-EMAILFROM";

struct FreeComponent {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, FreeComponent>;

QString text(const char* s) {
    return s ? QString::fromUtf8(s) : QString();
}

// The zone the calendar is written in: the local one where libical knows it, else UTC.
struct Zone {
    icaltimezone* zone = nullptr; // null: UTC
    QByteArray id;
};

Zone localZone(const QString& zoneId) {
    Zone z;
    if (zoneId.isEmpty() || zoneId == QLatin1String("UTC")) return z;
    z.id = zoneId.toUtf8();
    z.zone = icaltimezone_get_builtin_timezone(z.id.constData());
    return z;
}

// The wall-clock fields of a local date-time value, on a whole second.
icaltimetype wallClock(double value) {
    const double v = dt::roundToSecond(value);
    const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(v)));
    const int seconds = std::min(86399, static_cast<int>(std::lround(dt::timeOf(v) * 86400.0)));
    icaltimetype t = icaltime_null_time();
    t.year = date.year();
    t.month = date.month();
    t.day = date.day();
    t.hour = seconds / 3600;
    t.minute = seconds / 60 % 60;
    t.second = seconds % 60;
    return t;
}

icaltimetype utcOf(double value) {
    const QDateTime u = dt::toQDateTime(dt::roundToSecond(value)).toUTC();
    return icaltime_from_timet_with_zone(static_cast<time_t>(u.toSecsSinceEpoch()), 0,
                                         icaltimezone_get_utc_timezone());
}

// A DTSTART or DTEND in the calendar's zone: its wall clock with the zone's TZID, or UTC.
icalproperty* timeProperty(icalproperty* (*make)(icaltimetype), double value, const Zone& z) {
    if (!z.zone) return make(utcOf(value));
    icalproperty* p = make(wallClock(value));
    icalproperty_add_parameter(p, icalparameter_new_tzid(z.id.constData()));
    return p;
}

icalproperty* xProperty(const char* name, const QString& value) {
    icalproperty* p = icalproperty_new_x(value.toUtf8().constData());
    icalproperty_set_x_name(p, name);
    return p;
}

void addRule(icalcomponent* event, const Plan& plan) {
    icalrecurrencetype r;
    icalrecurrencetype_clear(&r);
    if (plan.REPTYPE == QLatin1String("W")) {
        r.freq = ICAL_WEEKLY_RECURRENCE;
        int n = 0;
        for (int day = 1; day <= 7; ++day)
            if (plan.repeatDays().contains(QChar(u'0' + day)))
                r.by_day[n++] = static_cast<short>(day); // libical counts 1 = Sunday, as we do
        r.by_day[n] = ICAL_RECURRENCE_ARRAY_MAX;
    } else {
        r.freq = ICAL_DAILY_RECURRENCE;
        if (plan.REPTYPE == QLatin1String("X")) r.interval = static_cast<short>(plan.repeatDays().trimmed().toInt());
    }
    // The end day counts whole: the last occurrence is on it, at the plan's time of day.
    if (plan.REPEND != 0) r.until = utcOf(std::floor(plan.REPEND) + dt::timeOf(plan.STARTTIME));
    icalcomponent_add_property(event, icalproperty_new_rrule(r));
}

icalcomponent* alarm(icalproperty_action action, int minutesBefore) {
    icalcomponent* a = icalcomponent_new_valarm();
    icalcomponent_add_property(a, icalproperty_new_action(action));
    icaltriggertype trigger;
    trigger.time = icaltime_null_time();
    trigger.duration = icaldurationtype_from_int(-minutesBefore * 60);
    icalcomponent_add_property(a, icalproperty_new_trigger(trigger));
    return a;
}

// "Ann Smith <ann@example.org>; bob@example.org" as the addresses with their names.
QList<std::pair<QString, QString>> recipients(const QString& to) {
    QList<std::pair<QString, QString>> out;
    static const QRegularExpression named(QStringLiteral("^(.*)<([^<>]+)>$"));
    for (const QString& piece : to.split(QRegularExpression(QStringLiteral("[;,]")), Qt::SkipEmptyParts)) {
        const QString one = piece.trimmed();
        if (one.isEmpty()) continue;
        const auto m = named.match(one);
        if (m.hasMatch())
            out.append({m.captured(1).trimmed().remove(QLatin1Char('"')), m.captured(2).trimmed()});
        else
            out.append({QString(), one});
    }
    return out;
}

void addAlarms(icalcomponent* event, const Plan& plan, const QString& summary) {
    if (!plan.reminder) return;
    const Reminder& r = *plan.reminder;
    if (r.popup()) {
        icalcomponent* a = alarm(ICAL_ACTION_DISPLAY, r.NOTIFMIN);
        const QString shown = r.NOTIFTEXT.isEmpty() ? summary : r.NOTIFTEXT;
        icalcomponent_add_property(a, icalproperty_new_description(shown.toUtf8().constData()));
        if (r.PLAYAUDIO && !r.AUDIOFILE.isEmpty()) icalcomponent_add_property(a, xProperty(kAudioFile, r.AUDIOFILE));
        icalcomponent_add_component(event, a);
    }
    if (r.mail()) {
        icalcomponent* a = alarm(ICAL_ACTION_EMAIL, r.NOTIFMIN);
        icalcomponent_add_property(a, icalproperty_new_summary(r.EMAILSUBJECT.toUtf8().constData()));
        icalcomponent_add_property(a, icalproperty_new_description(r.EMAILMESSAGE.toUtf8().constData()));
        for (const auto& [name, address] : recipients(r.EMAILTO)) {
            icalproperty* p = icalproperty_new_attendee(("mailto:" + address).toUtf8().constData());
            if (!name.isEmpty()) icalproperty_add_parameter(p, icalparameter_new_cn(name.toUtf8().constData()));
            icalcomponent_add_property(a, p);
        }
        if (!r.EMAILFROM.isEmpty()) icalcomponent_add_property(a, xProperty(kMailFrom, r.EMAILFROM));
        icalcomponent_add_component(event, a);
    }
}

QString summaryOf(const Plan& plan) {
    QString what = plan.subject();
    if (what.isEmpty()) what = plan.dose() ? QStringLiteral("Dose") : QStringLiteral("Appointment");
    return plan.personName.isEmpty() ? what : QStringLiteral("%1 (%2)").arg(what, plan.personName);
}

icalcomponent* eventOf(const Plan& plan, double first, const Zone& z) {
    icalcomponent* e = icalcomponent_new_vevent();
    const QString uid = QStringLiteral("vantrel-plan-%1@vantrel-planner").arg(plan.APPTID);
    icalcomponent_add_property(e, icalproperty_new_uid(uid.toUtf8().constData()));
    icalcomponent_add_property(
        e, icalproperty_new_dtstamp(icaltime_current_time_with_zone(icaltimezone_get_utc_timezone())));
    const double end = dt::usable(plan.ENDTIME) && plan.ENDTIME >= plan.STARTTIME ? plan.ENDTIME : plan.STARTTIME;
    icalcomponent_add_property(e, timeProperty(icalproperty_new_dtstart, first, z));
    icalcomponent_add_property(e, timeProperty(icalproperty_new_dtend, first + (end - plan.STARTTIME), z));
    if (plan.REPTYPE != QLatin1String("N")) addRule(e, plan);
    const QString summary = summaryOf(plan);
    icalcomponent_add_property(e, icalproperty_new_summary(summary.toUtf8().constData()));
    icalcomponent_add_property(e, xProperty(kKind, plan.dose() ? QStringLiteral("dose") : QStringLiteral("appointment")));
    if (!plan.personName.isEmpty()) icalcomponent_add_property(e, xProperty(kPerson, plan.personName));
    if (plan.itemFound) icalcomponent_add_property(e, xProperty(kItem, plan.itemName));
    addAlarms(e, plan, summary);
    return e;
}

// ---- reading ----

struct Refused {
    QString why;
};

QString xValue(icalcomponent* c, const char* name) {
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_X_PROPERTY))
        if (qstricmp(icalproperty_get_x_name(p), name) == 0) return text(icalproperty_get_x(p));
    return QString();
}

int countOf(icalcomponent* c, icalproperty_kind kind) {
    return icalcomponent_count_properties(c, kind);
}

// The first reading problem libical noted in the event or its alarms.
QString readingError(icalcomponent* c) {
    if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY))
        return text(icalproperty_get_xlicerror(p));
    for (icalcomponent* s = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); s;
         s = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT)) {
        const QString inner = readingError(s);
        if (!inner.isEmpty()) return inner;
    }
    return QString();
}

// A time of the file as a local date-time value.
double localValue(const icaltimetype& t) {
    const time_t secs = icaltime_as_timet_with_zone(t, t.zone);
    return dt::fromQDateTime(QDateTime::fromSecsSinceEpoch(static_cast<qint64>(secs)));
}

// The day of the week, 1 = Sunday, of a time as its own zone tells it.
int ownWeekday(const icaltimetype& t) {
    return icaltime_day_of_week(t);
}

bool anyBy(const short* values) {
    return values[0] != ICAL_RECURRENCE_ARRAY_MAX;
}

// The parts of a rule the planner has no repeat kind for, by their names in the file.
QString unmappedRuleParts(const icalrecurrencetype& r, bool weekly) {
    QStringList parts;
    if (anyBy(r.by_second)) parts << QStringLiteral("BYSECOND");
    if (anyBy(r.by_minute)) parts << QStringLiteral("BYMINUTE");
    if (anyBy(r.by_hour)) parts << QStringLiteral("BYHOUR");
    if (!weekly && anyBy(r.by_day)) parts << QStringLiteral("BYDAY");
    if (anyBy(r.by_month_day)) parts << QStringLiteral("BYMONTHDAY");
    if (anyBy(r.by_year_day)) parts << QStringLiteral("BYYEARDAY");
    if (anyBy(r.by_week_no)) parts << QStringLiteral("BYWEEKNO");
    if (anyBy(r.by_month)) parts << QStringLiteral("BYMONTH");
    if (anyBy(r.by_set_pos)) parts << QStringLiteral("BYSETPOS");
    return parts.join(QStringLiteral(", "));
}

QString frequencyName(icalrecurrencetype_frequency f) {
    switch (f) {
    case ICAL_SECONDLY_RECURRENCE: return QStringLiteral("every second");
    case ICAL_MINUTELY_RECURRENCE: return QStringLiteral("by the minute");
    case ICAL_HOURLY_RECURRENCE: return QStringLiteral("hourly");
    case ICAL_MONTHLY_RECURRENCE: return QStringLiteral("monthly");
    case ICAL_YEARLY_RECURRENCE: return QStringLiteral("yearly");
    default: return QStringLiteral("in an unknown way");
    }
}

// The repeat of the event as REPTYPE, REPDAYS and REPEND; `start` is DTSTART as read.
void readRule(icalcomponent* e, const icaltimetype& start, Plan& plan) {
    const int rules = countOf(e, ICAL_RRULE_PROPERTY);
    if (rules == 0) return;
    if (rules > 1) throw Refused{QStringLiteral("it has more than one repeat rule")};
    const icalrecurrencetype r = icalproperty_get_rrule(icalcomponent_get_first_property(e, ICAL_RRULE_PROPERTY));
    if (r.count > 0) throw Refused{QStringLiteral("it repeats a number of times (COUNT) rather than until a day")};
    const bool weekly = r.freq == ICAL_WEEKLY_RECURRENCE;
    if (!weekly && r.freq != ICAL_DAILY_RECURRENCE)
        throw Refused{QStringLiteral("it repeats %1").arg(frequencyName(r.freq))};
    const QString parts = unmappedRuleParts(r, weekly);
    if (!parts.isEmpty()) throw Refused{QStringLiteral("its repeat rule uses %1").arg(parts)};
    const int interval = std::max<int>(1, r.interval);
    if (weekly) {
        if (interval != 1) throw Refused{QStringLiteral("it repeats every %1 weeks").arg(interval)};
        // The weekdays are the file's own; where its zone puts the time on another local day,
        // every weekday moves with it.
        const int shift = dt::dayOfWeek(plan.STARTTIME) - ownWeekday(start);
        QString digits;
        QList<int> days;
        if (!anyBy(r.by_day)) days << ownWeekday(start);
        for (int i = 0; i < ICAL_BY_DAY_SIZE && r.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
            if (icalrecurrencetype_day_position(r.by_day[i]) != 0)
                throw Refused{QStringLiteral("it repeats on a numbered weekday of the month or year")};
            days << static_cast<int>(icalrecurrencetype_day_day_of_week(r.by_day[i]));
        }
        for (int day = 1; day <= 7; ++day)
            for (int d : days)
                if ((d - 1 + shift + 7) % 7 + 1 == day && !digits.contains(QChar(u'0' + day)))
                    digits += QChar(u'0' + day);
        plan.REPTYPE = QStringLiteral("W");
        plan.REPDAYS = digits.toInt();
    } else if (interval == 1) {
        plan.REPTYPE = QStringLiteral("D");
    } else {
        plan.REPTYPE = QStringLiteral("X");
        plan.REPDAYS = interval;
    }
    if (icaltime_is_null_time(r.until)) return;
    if (r.until.is_date) {
        plan.REPEND = dt::encode(r.until.year, r.until.month, r.until.day);
        return;
    }
    icaltimetype until = r.until;
    if (!until.zone) until.zone = start.zone; // a floating UNTIL is read in the start's zone
    const double u = localValue(until);
    // The last day is the last one whose occurrence is not after the given moment.
    const double lastDay = dt::timeOf(u) + dt::kSecond / 2 >= dt::timeOf(plan.STARTTIME) ? std::floor(u) : std::floor(u) - 1;
    if (lastDay < std::floor(plan.STARTTIME)) throw Refused{QStringLiteral("its repeat ends before it begins")};
    plan.REPEND = lastDay;
}

struct AlarmRead {
    bool popup = false, mail = false;
    std::optional<int> minutes;
};

void readAlarm(icalcomponent* a, Reminder& r, AlarmRead& seen) {
    icalproperty* action = icalcomponent_get_first_property(a, ICAL_ACTION_PROPERTY);
    icalproperty* trig = icalcomponent_get_first_property(a, ICAL_TRIGGER_PROPERTY);
    if (!action || !trig) throw Refused{QStringLiteral("a reminder of it lacks its action or its moment")};
    if (countOf(a, ICAL_REPEAT_PROPERTY) > 0) throw Refused{QStringLiteral("a reminder of it repeats")};
    const icaltriggertype t = icalproperty_get_trigger(trig);
    icalparameter* related = icalproperty_get_first_parameter(trig, ICAL_RELATED_PARAMETER);
    if (!icaltime_is_null_time(t.time)) throw Refused{QStringLiteral("a reminder of it comes at a fixed time")};
    if (related && icalparameter_get_related(related) == ICAL_RELATED_END)
        throw Refused{QStringLiteral("a reminder of it is timed from its end")};
    const int seconds = -icaldurationtype_as_int(t.duration);
    if (seconds < 0) throw Refused{QStringLiteral("a reminder of it comes after it begins")};
    const int minutes = (seconds + 30) / 60;
    if (minutes > 60) throw Refused{QStringLiteral("a reminder of it comes %1 minutes before it; at most 60 can be kept").arg(minutes)};
    if (seen.minutes && *seen.minutes != minutes) throw Refused{QStringLiteral("its reminders come at different times")};
    seen.minutes = minutes;
    r.NOTIFMIN = minutes;
    switch (icalproperty_get_action(action)) {
    case ICAL_ACTION_DISPLAY:
    case ICAL_ACTION_AUDIO:
        if (seen.popup) throw Refused{QStringLiteral("it has more than one reminder window")};
        seen.popup = true;
        r.NOTIFTEXT = text(icalcomponent_get_description(a));
        r.AUDIOFILE = xValue(a, kAudioFile);
        r.PLAYAUDIO = !r.AUDIOFILE.isEmpty();
        break;
    case ICAL_ACTION_EMAIL: {
        if (seen.mail) throw Refused{QStringLiteral("it has more than one e-mail reminder")};
        seen.mail = true;
        r.EMAILSUBJECT = text(icalcomponent_get_summary(a));
        r.EMAILMESSAGE = text(icalcomponent_get_description(a));
        r.EMAILFROM = xValue(a, kMailFrom);
        QStringList to;
        for (icalproperty* p = icalcomponent_get_first_property(a, ICAL_ATTENDEE_PROPERTY); p;
             p = icalcomponent_get_next_property(a, ICAL_ATTENDEE_PROPERTY)) {
            QString address = text(icalproperty_get_attendee(p));
            if (address.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive)) address = address.mid(7);
            icalparameter* cn = icalproperty_get_first_parameter(p, ICAL_CN_PARAMETER);
            const QString name = cn ? text(icalparameter_get_cn(cn)) : QString();
            to << (name.isEmpty() ? address : QStringLiteral("%1 <%2>").arg(name, address));
        }
        r.EMAILTO = to.join(QStringLiteral("; "));
        break;
    }
    default:
        throw Refused{QStringLiteral("a reminder of it runs a procedure or an action of its own")};
    }
}

void readAlarms(icalcomponent* e, Plan& plan) {
    Reminder r;
    AlarmRead seen;
    for (icalcomponent* a = icalcomponent_get_first_component(e, ICAL_VALARM_COMPONENT); a;
         a = icalcomponent_get_next_component(e, ICAL_VALARM_COMPONENT))
        readAlarm(a, r, seen);
    r.NOTIFTYPE = seen.popup && seen.mail ? QStringLiteral("B")
                  : seen.popup           ? QStringLiteral("P")
                  : seen.mail            ? QStringLiteral("E")
                                         : QStringLiteral("N");
    r.SENDEMAIL = seen.mail;
    plan.reminder = r;
}

Plan readEvent(icalcomponent* e, const QString& summary) {
    const QString error = readingError(e);
    if (!error.isEmpty()) throw Refused{QStringLiteral("it has a line that cannot be read (%1)").arg(error)};
    if (countOf(e, ICAL_RDATE_PROPERTY) > 0) throw Refused{QStringLiteral("it has extra dates (RDATE)")};
    if (countOf(e, ICAL_EXDATE_PROPERTY) > 0) throw Refused{QStringLiteral("it leaves out dates (EXDATE)")};
    if (countOf(e, ICAL_EXRULE_PROPERTY) > 0) throw Refused{QStringLiteral("it leaves out dates (EXRULE)")};
    if (countOf(e, ICAL_RECURRENCEID_PROPERTY) > 0)
        throw Refused{QStringLiteral("it changes one occurrence of another event (RECURRENCE-ID)")};
    icalproperty* startProperty = icalcomponent_get_first_property(e, ICAL_DTSTART_PROPERTY);
    if (!startProperty) throw Refused{QStringLiteral("it has no start")};
    const icaltimetype start = icalcomponent_get_dtstart(e);
    if (icaltime_is_null_time(start) || !icaltime_is_valid_time(start))
        throw Refused{QStringLiteral("its start is no date and time")};
    if (start.is_date) throw Refused{QStringLiteral("it lasts whole days, without a time of day")};
    if (!start.zone) {
        if (icalparameter* tz = icalproperty_get_first_parameter(startProperty, ICAL_TZID_PARAMETER))
            throw Refused{QStringLiteral("its time zone \"%1\" is not described in the file").arg(text(icalparameter_get_tzid(tz)))};
        throw Refused{QStringLiteral("its time is floating, in no time zone")};
    }

    Plan plan;
    plan.STARTTIME = localValue(start);
    if (!dt::usable(plan.STARTTIME)) throw Refused{QStringLiteral("its start is not a date between 1900 and 9999")};
    plan.ENDTIME = plan.STARTTIME;
    const icaltimetype end = icalcomponent_get_dtend(e);
    if (!icaltime_is_null_time(end)) {
        icaltimetype zoned = end;
        if (!zoned.zone) zoned.zone = start.zone; // an end without a zone is read in the start's
        const double value = localValue(zoned);
        if (value < plan.STARTTIME) throw Refused{QStringLiteral("it ends before it begins")};
        if (value - plan.STARTTIME >= 1.0) throw Refused{QStringLiteral("it lasts a day or longer")};
        plan.ENDTIME = dt::roundToSecond(value);
    }
    readRule(e, start, plan);

    const QString kind = xValue(e, kKind).trimmed().toLower();
    if (kind.isEmpty() || kind == QLatin1String("appointment")) {
        plan.APPTTYPE = QStringLiteral("D");
    } else if (kind == QLatin1String("dose")) {
        plan.APPTTYPE = QStringLiteral("M");
    } else {
        throw Refused{QStringLiteral("its kind \"%1\" is neither a dose nor an appointment").arg(kind)};
    }
    plan.itemName = xValue(e, kItem).trimmed();
    if (plan.itemName.isEmpty() && !plan.dose()) plan.itemName = summary.trimmed();
    if (plan.itemName.isEmpty())
        throw Refused{plan.dose() ? QStringLiteral("it is a dose without its medicine's name")
                                  : QStringLiteral("it has no summary to name its doctor by")};
    plan.personName = xValue(e, kPerson);
    readAlarms(e, plan);
    return plan;
}

// The file as text libical can read: UTF-8 without NUL bytes, with any line ends.
QString unreadable(const QByteArray& bytes) {
    if (bytes.size() > kMaxCalendarBytes)
        return QStringLiteral("The file is larger than %1 MB; a calendar of plans is far smaller.")
            .arg(kMaxCalendarBytes / (1024 * 1024));
    if (bytes.contains('\0')) return QStringLiteral("The file holds binary data, not calendar text.");
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8(bytes);
    if (utf8.hasError()) return QStringLiteral("The file is not UTF-8 text.");
    const QString trimmed = decoded.trimmed();
    if (!trimmed.startsWith(QLatin1String("BEGIN:VCALENDAR"), Qt::CaseInsensitive))
        return QStringLiteral("The file does not begin as an iCalendar file (BEGIN:VCALENDAR).");
    if (!trimmed.endsWith(QLatin1String("END:VCALENDAR"), Qt::CaseInsensitive))
        return QStringLiteral("The file ends before its calendar does: it may have been cut short.");
    return QString();
}

} // namespace

QByteArray exportCalendar(const QList<Plan>& plans, const QString& zoneId, int* leftOut) {
    const Zone z = localZone(zoneId);
    Component cal(icalcomponent_new_vcalendar());
    icalcomponent_add_property(cal.get(), icalproperty_new_prodid("-//Vantrel//Vantrel Planner//EN"));
    icalcomponent_add_property(cal.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(cal.get(), icalproperty_new_calscale("GREGORIAN"));
    if (z.zone) {
        icalcomponent* vtz = icalcomponent_new_clone(icaltimezone_get_component(z.zone));
        // libical names its zones after its own database; the file names it as the system does.
        if (icalproperty* tzid = icalcomponent_get_first_property(vtz, ICAL_TZID_PROPERTY))
            icalproperty_set_tzid(tzid, z.id.constData());
        icalcomponent_add_component(cal.get(), vtz);
    }
    int skipped = 0;
    for (const Plan& plan : plans) {
        // A repeating plan starts at its first occurrence, so a weekly one starts on a chosen day.
        const auto first = unusableTimes(plan) ? std::nullopt : firstOccurrenceFrom(plan, std::floor(plan.STARTTIME));
        if (!first) {
            ++skipped;
            continue;
        }
        icalcomponent_add_component(cal.get(), eventOf(plan, first->start, z));
    }
    if (leftOut) *leftOut = skipped;
    char* out = icalcomponent_as_ical_string_r(cal.get());
    QByteArray bytes(out);
    icalmemory_free_buffer(out);
    return bytes;
}

ParsedCalendar parseCalendar(const QByteArray& bytes) {
    ParsedCalendar result;
    result.problem = unreadable(bytes);
    if (!result.problem.isEmpty()) return result;
    // Any line ends will do: old Mac files end their lines with CR alone.
    QByteArray normal = bytes;
    normal.replace("\r\n", "\n").replace('\r', '\n');
    Component cal(icalparser_parse_string(normal.constData()));
    if (!cal || icalcomponent_isa(cal.get()) != ICAL_VCALENDAR_COMPONENT) {
        result.problem = QStringLiteral("The file is not an iCalendar file that can be read.");
        return result;
    }
    for (icalcomponent* e = icalcomponent_get_first_component(cal.get(), ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(cal.get(), ICAL_VEVENT_COMPONENT)) {
        CalendarEvent ev;
        ev.summary = text(icalcomponent_get_summary(e));
        try {
            ev.plan = readEvent(e, ev.summary);
        } catch (const Refused& r) {
            ev.refusal = r.why;
        }
        result.events.append(ev);
    }
    if (result.events.isEmpty()) result.problem = QStringLiteral("The file holds no events.");
    return result;
}

} // namespace vantrel::plans
