#include "notify/reminderrule.h"

#include "core/datetime.h"
#include "core/plantimes.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

bool weekdayChosen(const QString& days, int weekday) {
    return days.contains(QChar(u'0' + weekday));
}

bool anyWeekdayChosen(const QString& days) {
    for (int d = 1; d <= 7; ++d)
        if (weekdayChosen(days, d)) return true;
    return false;
}

double minutesBefore(const PlanTiming& plan) {
    return plan.NOTIFMIN * dt::kMinute;
}

// The first reminder at or after `from`, however far ahead. The weekday, the rhythm of X days
// and the end day belong to the dose (or appointment) itself; its reminder comes the given
// minutes before it, on the evening before for a dose shortly after midnight.
std::optional<double> firstReminderFrom(const PlanTiming& plan, double from) {
    if (plan.NOTIFTYPE == QLatin1String("N") || unusableTimes(plan) || !dt::usable(from)) return std::nullopt;
    const double before = minutesBefore(plan);
    const QString& kind = plan.REPTYPE;
    if (kind == QLatin1String("N")) {
        const double t = dt::roundToSecond(plan.STARTTIME - before);
        return t >= from ? std::optional(t) : std::nullopt;
    }
    if (kind != QLatin1String("D") && kind != QLatin1String("W") && kind != QLatin1String("X"))
        return std::nullopt;

    // The first dose whose reminder is not before `from`; never a dose before the first one.
    const double firstDay = std::floor(plan.STARTTIME);
    const double timeOfDay = dt::timeOf(plan.STARTTIME);
    const double doseFrom = from + before;
    double day = std::max(firstDay, std::floor(doseFrom));
    if (day + timeOfDay < doseFrom) day += 1.0;

    if (kind == QLatin1String("W")) {
        if (!anyWeekdayChosen(plan.REPDAYS)) return std::nullopt;
        // A chosen weekday comes within a week.
        for (int step = 0; step < 7 && !weekdayChosen(plan.REPDAYS, dt::dayOfWeek(day)); ++step)
            day += 1.0;
    } else if (kind == QLatin1String("X")) {
        bool ok = false;
        const int x = plan.REPDAYS.trimmed().toInt(&ok);
        if (!ok || x < 1) return std::nullopt;
        const long long diff = static_cast<long long>(day - firstDay);
        day += static_cast<double>((x - diff % x) % x);
    }
    // The end date counts as a whole day, as the calendar shows it.
    if (plan.REPEND != 0 && day > std::floor(plan.REPEND)) return std::nullopt;
    return dt::roundToSecond(day + timeOfDay - before);
}

} // namespace

std::optional<QString> unusableTimes(const PlanTiming& plan) {
    return vantrel::unusableTimes(plan.STARTTIME, plan.REPEND, plan.NOTIFMIN);
}

std::optional<double> nextReminder(const PlanTiming& plan, double now) {
    if (unusableTimes(plan)) return std::nullopt;
    const double first = plan.STARTTIME - minutesBefore(plan);
    if (plan.REPTYPE == QLatin1String("N")) {
        if (first >= now + kLookAheadDays) return std::nullopt;
    } else if (first > now + kLookAheadDays) {
        return std::nullopt;
    }
    return firstReminderFrom(plan, now);
}

QList<double> remindersBetween(const PlanTiming& plan, double from, double to) {
    QList<double> out;
    if (!dt::usable(from) || !dt::usable(to)) return out;
    // One reminder a day at most; the second after one is the earliest the next can be. However
    // long the computer slept, the walk ends.
    const double mostDays = std::ceil(to - from) + 1;
    for (auto r = firstReminderFrom(plan, from); r && *r < to && out.size() <= mostDays;
         r = firstReminderFrom(plan, *r + dt::kSecond))
        out << *r;
    return out;
}

} // namespace vantrel
