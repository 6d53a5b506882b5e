#pragma once
// When a plan's reminders fall, seen from a given moment.
#include <QList>
#include <QString>
#include <optional>

namespace vantrel {

struct PlanTiming {
    double STARTTIME = 0;
    int NOTIFMIN = 0;
    QString NOTIFTYPE;
    QString REPTYPE;
    QString REPDAYS; // as text: weekly plans read it digit by digit
    double REPEND = 0;
};

// How far ahead the list looks for the first reminder of a plan.
constexpr double kLookAheadDays = 2.0;

// Why the rule cannot use the plan's times (a start or end that is no date between 1900 and
// 9999, reminder minutes beyond a week), or nothing when it can. Such a plan gives no reminder.
std::optional<QString> unusableTimes(const PlanTiming& plan);

// The next reminder at or after `now` (local date-time values) for the pending list, or nothing.
// A one-time plan is listed within the look-ahead; a repeating plan once its first reminder is
// within it, with its next occurrence wherever that falls.
std::optional<double> nextReminder(const PlanTiming& plan, double now);

// Every reminder of the plan in [from, to), earliest first: what fell due while no tick could
// raise it.
QList<double> remindersBetween(const PlanTiming& plan, double from, double to);

} // namespace vantrel
