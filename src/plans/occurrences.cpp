#include "plans/occurrences.h"

#include "core/datetime.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace vantrel::plans {

namespace {

bool weekdayChosen(const QString& days, int weekday) {
    return days.contains(QChar(u'0' + weekday));
}

double minutesBefore(const Plan& p) {
    return p.reminder ? p.reminder->NOTIFMIN * dt::kMinute : 0.0;
}

// The first day on or after `day` on which a repeating plan falls, never before its first day
// nor after its end day; nothing when there is none. A weekly plan finds its day within a week,
// an every-X-days plan by arithmetic: no search here is longer than seven steps.
std::optional<double> fallsFrom(const Plan& p, double day) {
    const double firstDay = std::floor(p.STARTTIME);
    day = std::max(std::floor(day), firstDay);
    const QString days = p.repeatDays();
    if (p.REPTYPE == QLatin1String("W")) {
        int step = 0;
        for (; step < 7 && !weekdayChosen(days, dt::dayOfWeek(day)); ++step)
            day += 1.0;
        if (step == 7) return std::nullopt; // no weekday digit at all
    } else if (p.REPTYPE == QLatin1String("X")) {
        bool ok = false;
        const int x = days.trimmed().toInt(&ok);
        if (!ok || x < 1) return std::nullopt;
        const long long diff = static_cast<long long>(day - firstDay);
        day += static_cast<double>((x - diff % x) % x);
    } else if (p.REPTYPE != QLatin1String("D")) {
        return std::nullopt;
    }
    // The end is a whole day, as the calendar shows it.
    if (p.REPEND != 0 && day > std::floor(p.REPEND)) return std::nullopt;
    return day;
}

long long inMs(double v) {
    return std::llround(v * 86400000.0);
}

bool repeats(const Plan& p) {
    return p.REPTYPE != QLatin1String("N");
}

} // namespace

std::optional<QString> unusableTimes(double start, double repeatEnd, int minutesBefore) {
    if (!dt::usable(start)) return QStringLiteral("its start is not a date between 1900 and 9999");
    if (repeatEnd != 0 && !dt::usable(repeatEnd))
        return QStringLiteral("its end is not a date between 1900 and 9999");
    if (minutesBefore < 0 || minutesBefore > kMaxMinutesBefore)
        return QStringLiteral("its reminder comes %1 minutes before it").arg(minutesBefore);
    return std::nullopt;
}

std::optional<QString> unusableTimes(const Plan& p) {
    return unusableTimes(p.STARTTIME, p.REPEND, p.reminder ? p.reminder->NOTIFMIN : 0);
}

QList<Occurrence> occurrences(const Plan& p, double from, double to) {
    QList<Occurrence> out;
    if (unusableTimes(p.STARTTIME, p.REPEND) || std::isnan(from) || std::isnan(to)) return out;
    from = std::max(from, dt::kFirstUsable);
    to = std::min(to, dt::kLastUsable);
    // An end that is no date, or lies before the start, ends the occurrence where it begins.
    const double end = dt::usable(p.ENDTIME) && p.ENDTIME >= p.STARTTIME ? p.ENDTIME : p.STARTTIME;
    if (!repeats(p)) {
        if (from <= p.STARTTIME && p.STARTTIME < to) out.append({p.STARTTIME, end});
        return out;
    }
    const double timeOfDay = dt::timeOf(p.STARTTIME);
    const double length = end - p.STARTTIME;
    const double mostDays = std::ceil(to - from) + 1;
    for (auto day = fallsFrom(p, std::floor(from)); day && out.size() <= mostDays;
         day = fallsFrom(p, *day + 1)) {
        const double start = dt::roundToSecond(*day + timeOfDay);
        if (start >= to) break;
        if (start >= from) out.append({start, dt::roundToSecond(start + length)});
    }
    return out;
}

std::optional<Occurrence> firstOccurrenceFrom(const Plan& p, double from) {
    if (unusableTimes(p.STARTTIME, p.REPEND) || std::isnan(from)) return std::nullopt;
    if (!repeats(p)) {
        const auto once = occurrences(p, from, dt::kLastUsable);
        return once.isEmpty() ? std::nullopt : std::optional(once.first());
    }
    const double timeOfDay = dt::timeOf(p.STARTTIME);
    auto day = fallsFrom(p, std::floor(std::max(from, dt::kFirstUsable)));
    if (day && inMs(*day + timeOfDay) < inMs(from)) day = fallsFrom(p, *day + 1);
    if (!day) return std::nullopt;
    const auto found = occurrences(p, *day, *day + 1);
    return found.isEmpty() ? std::nullopt : std::optional(found.first());
}

std::optional<double> firstReminderFrom(const Plan& p, double from) {
    if (!p.reminder || p.reminder->NOTIFTYPE == QLatin1String("N") || unusableTimes(p) || !dt::usable(from))
        return std::nullopt;
    const double before = minutesBefore(p);
    if (!repeats(p)) {
        const double t = dt::roundToSecond(p.STARTTIME - before);
        return inMs(t) >= inMs(from) ? std::optional(t) : std::nullopt;
    }
    // The first dose whose reminder is not before `from`; the weekday, the rhythm and the end
    // day are the dose's own, so a dose shortly after midnight is reminded the evening before.
    // Compared in whole milliseconds, the clock's own grain: the same moment reached by two
    // different sums can differ in its last bit, and a dose must not be taken for past by that.
    const double timeOfDay = dt::timeOf(p.STARTTIME);
    const double doseFrom = from + before;
    auto day = fallsFrom(p, std::floor(doseFrom));
    if (day && inMs(*day + timeOfDay) < inMs(doseFrom)) day = fallsFrom(p, *day + 1);
    if (!day) return std::nullopt;
    return dt::roundToSecond(*day + timeOfDay - before);
}

std::optional<double> nextReminder(const Plan& p, double now) {
    if (unusableTimes(p)) return std::nullopt;
    const double first = p.STARTTIME - minutesBefore(p);
    if (!repeats(p)) {
        if (first >= now + kLookAheadDays) return std::nullopt;
    } else if (first > now + kLookAheadDays) {
        return std::nullopt;
    }
    return firstReminderFrom(p, now);
}

QList<double> remindersBetween(const Plan& p, double from, double to) {
    QList<double> out;
    if (!dt::usable(from) || !dt::usable(to)) return out;
    // One reminder a day at most; the second after one is the earliest the next can be.
    const double mostDays = std::ceil(to - from) + 1;
    for (auto r = firstReminderFrom(p, from); r && *r < to && out.size() <= mostDays;
         r = firstReminderFrom(p, *r + dt::kSecond))
        out << *r;
    return out;
}

namespace {

// How the plan repeats, in words: "Daily", "Every 3 days", "Mon, Wed, Fri"; empty for a kind
// no rule knows.
QString repeatWords(const Plan& p) {
    if (p.REPTYPE == QLatin1String("D")) return QStringLiteral("Daily");
    if (p.REPTYPE == QLatin1String("X")) return QStringLiteral("Every %1 days").arg(p.repeatDays().trimmed().toInt());
    if (p.REPTYPE != QLatin1String("W")) return QString();
    static const char* names[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    QStringList chosen;
    for (int d = 1; d <= 7; ++d)
        if (weekdayChosen(p.repeatDays(), d)) chosen << QString::fromLatin1(names[d - 1]);
    return chosen.isEmpty() ? QStringLiteral("Weekly") : chosen.join(QStringLiteral(", "));
}

} // namespace

QString scheduleInWords(const Plan& p, double today) {
    if (unusableTimes(p.STARTTIME, p.REPEND)) return QStringLiteral("No dose: its times cannot be used");
    if (!repeats(p)) return QStringLiteral("Once on ") + dt::formatDate(p.STARTTIME);
    QString words = repeatWords(p);
    if (words.isEmpty()) return words;
    if (std::floor(p.STARTTIME) > std::floor(today))
        words += QStringLiteral(" from ") + dt::formatDate(p.STARTTIME);
    if (p.REPEND != 0) words += QStringLiteral(" until ") + dt::formatDate(p.REPEND);
    return words;
}

QString scheduleWithTime(const Plan& p) {
    if (unusableTimes(p.STARTTIME, p.REPEND)) return QStringLiteral("No dose: its times cannot be used");
    const QString at = QLocale::c().toString(dt::toQDateTime(p.STARTTIME).time(), QStringLiteral("h:mm AP"));
    if (!repeats(p)) return QStringLiteral("Once on %1 at %2").arg(dt::formatDate(p.STARTTIME), at);
    const QString words = repeatWords(p);
    if (words.isEmpty()) return words;
    QString out = QStringLiteral("%1 at %2, from %3").arg(words, at, dt::formatDate(p.STARTTIME));
    if (p.REPEND != 0) out += QStringLiteral(" until ") + dt::formatDate(p.REPEND);
    return out;
}

} // namespace vantrel::plans
