#pragma once
// The calendar without a window: a plan's occurrences in the six-day window, the day captions,
// and where items stand in a day column.
#include <QList>
#include <QString>
#include <QVariant>

namespace vantrel::calendar {

// The window covers this many days from its first: one more than the most days shown.
constexpr int kWindowDays = 6;

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

// One item of the calendar, as drplanner holds it.
struct Item {
    double start;
    double end;
    QString subject;
    unsigned color;
};

// The profile's occurrences in the window with their subjects and colours, read from the plans
// without writing anything. A plan of an unknown kind, a doctor or medicine that is gone, or odd
// repeat values give no item or an empty subject, never an error.
struct PlannerRow {
    Item item;
    QString type;
    QVariant drRef, medRef;
};
QList<PlannerRow> plannerRows(data::Database& db, int patientRef, double windowStart, const Filter& filter);
// Empties drplanner and writes the rows into it, each with a new key; all in one transaction.
void writePlanner(data::Database& db, const QList<PlannerRow>& rows);
// Both: the rebuild of the calendar's items.
void rebuildPlanner(data::Database& db, int patientRef, double windowStart, const Filter& filter);

// The rows of drplanner, for the grid.
QList<Item> plannerItems(data::Database& db);

// The colours of the items: a dark red for doses, a green for the rest.
constexpr unsigned kDoseColour = 160;
constexpr unsigned kAppointmentColour = 53258;

} // namespace vantrel::calendar
