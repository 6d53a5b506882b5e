#include "notify/reminderrule.h"

#include "core/datetime.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

// The end date of a plan counts as a whole day, as the calendar shows it.
bool afterEnd(double moment, double repEnd) {
    return repEnd != 0 && moment >= std::floor(repEnd) + 1.0;
}

bool weekdayChosen(const QString& days, int weekday) {
    return days.contains(QChar(u'0' + weekday));
}

} // namespace

std::optional<double> nextReminder(const PlanTiming& plan, double now) {
    if (plan.NOTIFTYPE == QLatin1String("N")) return std::nullopt;
    const double t = plan.STARTTIME - plan.NOTIFMIN * dt::kMinute;
    const QString& kind = plan.REPTYPE;

    if (kind == QLatin1String("N")) {
        if (now < t && t < now + kLookAheadDays) return t;
        return std::nullopt;
    }
    if (kind != QLatin1String("D") && kind != QLatin1String("W") && kind != QLatin1String("X"))
        return std::nullopt;
    if (t > now + kLookAheadDays) return std::nullopt;
    if (afterEnd(now, plan.REPEND)) return std::nullopt;

    // The first candidate: the reminder's time of day, today or on the plan's first day
    // if that is later, and the day after when that moment has passed. A plan is never
    // reminded before its first reminder time.
    const double timeOfDay = dt::timeOf(t);
    double c = std::max(std::floor(now), std::floor(t)) + timeOfDay;
    if (now > c) c += 1.0;

    if (kind == QLatin1String("W")) {
        bool anyDay = false;
        for (int d = 1; d <= 7; ++d)
            anyDay = anyDay || weekdayChosen(plan.REPDAYS, d);
        if (!anyDay) return std::nullopt;
        while (!weekdayChosen(plan.REPDAYS, dt::dayOfWeek(c)))
            c += 1.0;
    } else if (kind == QLatin1String("X")) {
        bool ok = false;
        const int x = plan.REPDAYS.trimmed().toInt(&ok);
        if (!ok || x < 1) return std::nullopt;
        const long long diff = static_cast<long long>(std::floor(c) - std::floor(t));
        c += static_cast<double>((x - diff % x) % x);
    }
    if (afterEnd(c, plan.REPEND)) return std::nullopt;
    return c;
}

} // namespace vantrel
