#pragma once
// What the repeat rule can work with. A row written by hand or by another program may hold any
// number: such a plan gives nothing at all rather than a loop that never ends or a time that is
// not a number, and the other plans go on.
#include <QString>
#include <optional>

namespace vantrel {

// Why a plan's start, end day and reminder minutes cannot be used, or nothing when they can.
// An end of 0 means no end; an end before the start is a plan without any occurrence, not a
// fault.
std::optional<QString> unusableTimes(double start, double repeatEnd, int minutesBefore = 0);

// The most minutes before its time a reminder may come: a week.
constexpr int kMaxMinutesBefore = 7 * 1440;

} // namespace vantrel
