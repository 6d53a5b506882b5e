#pragma once
// When a plan's next reminder falls, seen from a given moment.
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

// The next reminder strictly usable from `now` (local date-time values), or nothing.
std::optional<double> nextReminder(const PlanTiming& plan, double now);

} // namespace vantrel
