#pragma once
// The one repeat engine. Every plan is read by it alone: the calendar, the reminders and every
// list and export that tells when a plan falls. Times are local date-time values (days since
// 1899-12-30, the fraction the time of day); a plan repeats on wall-clock days, so a daily dose
// at 08:00 is at 08:00 on either side of a change of daylight-saving time.
#include "plans/plan.h"

#include <QList>
#include <QString>
#include <optional>

namespace vantrel::plans {

struct Occurrence {
    double start; // the appointment or dose itself
    double end;
    bool operator==(const Occurrence&) const = default;
};

// Why the engine cannot use a plan's times (a start or end that is no date between 1900 and
// 9999, reminder minutes beyond a week), or nothing when it can. Such a plan has no occurrence.
// An end before the start is a plan without any occurrence, not a fault.
std::optional<QString> unusableTimes(double start, double repeatEnd, int minutesBefore = 0);
std::optional<QString> unusableTimes(const Plan& plan);
constexpr int kMaxMinutesBefore = 7 * 1440;

// Every occurrence that starts in [from, to), earliest first: once at STARTTIME; daily, every X
// days or on the chosen weekdays at STARTTIME's time of day, from its day to the end day (which
// counts whole). A repeating occurrence keeps the plan's length, so a dose at 23:50 ends at 00:05.
// However wide the span, the walk is bounded: at most one occurrence a day.
QList<Occurrence> occurrences(const Plan& plan, double from, double to);

// The first occurrence that starts at or after `from`, however far ahead, or nothing.
std::optional<Occurrence> firstOccurrenceFrom(const Plan& plan, double from);

// The reminders, which come the reminder's minutes before each occurrence.
// How far ahead the pending list looks for a plan's first reminder.
constexpr double kLookAheadDays = 2.0;
// The first reminder at or after `from`, however far ahead, or nothing; none for "N" reminders.
std::optional<double> firstReminderFrom(const Plan& plan, double from);
// The next reminder for the pending list at `now`: a one-time plan within the look-ahead; a
// repeating plan once its first reminder is within it, with its next occurrence wherever it falls.
std::optional<double> nextReminder(const Plan& plan, double now);
// Every reminder of the plan in [from, to), earliest first.
QList<double> remindersBetween(const Plan& plan, double from, double to);

// The schedule in words, as a list shows it: "Once on 12/11/2026", "Daily", "Every 3 days",
// "Mon, Wed, Fri", with " from ..." while it has not begun and " until ..." where it ends.
QString scheduleInWords(const Plan& plan, double today);
// The same with the time of day and the first day, as a printed list gives it: "Every 3 days at
// 8:00 AM, from 12/11/2026 until 1/31/2027", "Once on 12/11/2026 at 8:00 AM".
QString scheduleWithTime(const Plan& plan);

} // namespace vantrel::plans
