#pragma once
// Where the planner grid draws: the pixel of a time of day, and items of one day column side by
// side where they overlap.
#include <QList>

namespace vantrel::calendar {

struct Span {
    double start;
    double end;
};

// Items of one day column placed side by side where they overlap: each gets a lane and the
// number of lanes of the group of items it overlaps with.
struct Placement {
    int lane;
    int lanes;
};
QList<Placement> placeSideBySide(const QList<Span>& items);

// The pixel offset of a time of day (in minutes) in a column of rows of `precision` minutes,
// each `rowHeight` pixels high.
int yForMinutes(double minutes, int precision, int rowHeight);

} // namespace vantrel::calendar
