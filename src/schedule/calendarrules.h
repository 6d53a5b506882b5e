#pragma once
// The calendar without a window: a plan's occurrences in the six-day window, the day captions,
// and where items stand in a day column.
#include <QList>
#include <QString>

namespace vantrel::calendar {

// The window covers this many days from its first: one more than the most days shown.
constexpr int kWindowDays = 6;

struct Plan {
    double STARTTIME = 0;
    double ENDTIME = 0;
    QString REPTYPE;
    QString REPDAYS;
    double REPEND = 0;
};

struct Occurrence {
    double start;
    double end;
    bool operator==(const Occurrence&) const = default;
};

// Every occurrence of the plan that starts within [windowStart, windowStart + days). A repeating
// occurrence keeps the plan's length, so a dose at 23:50 ends at 00:05 the next day.
QList<Occurrence> occurrences(const Plan& plan, double windowStart, int days = kWindowDays);

// "Mon, Jan 05, 2026", in English whatever the user's locale.
QString dayCaption(double day);

} // namespace vantrel::calendar

namespace vantrel::data {
class Database;
}

namespace vantrel::calendar {

struct Filter {
    bool appointments = true;
    bool medicine = true;
};

// Empties drplanner and writes the profile's occurrences in the window into it, each with a new
// key, its subject and its colour; all in one transaction. A plan of an unknown kind, a doctor
// or medicine that is gone, or odd repeat values give no item or an empty subject, never an error.
void rebuildPlanner(data::Database& db, int patientRef, double windowStart, const Filter& filter);

// The rows of drplanner, for the grid.
struct Item {
    double start;
    double end;
    QString subject;
    unsigned color;
};
QList<Item> plannerItems(data::Database& db);

// The colours of the items: a dark red for doses, a green for the rest.
constexpr unsigned kDoseColour = 160;
constexpr unsigned kAppointmentColour = 53258;

} // namespace vantrel::calendar
