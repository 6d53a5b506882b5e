#pragma once
// Plans to and from iCalendar (RFC 5545). This file pair is the only place that speaks to
// libical: its interface changes between major versions, so every call of it stays behind these
// few functions, which speak in plans.
#include "plans/plan.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace vantrel::plans {

// The calendar of the given plans: one VEVENT a plan with its repeat rule and reminders, in the
// local time zone `zoneId` (an IANA name, with its VTIMEZONE) or in UTC where libical does not
// know that zone. Plans without any occurrence, or whose times no rule can use, are left out and
// counted in `leftOut`.
QByteArray exportCalendar(const QList<Plan>& plans, const QString& zoneId, int* leftOut = nullptr);

// One VEVENT of a file read back: the plan it maps to (with `personName` and `itemName` from our
// own properties or the summary), or why it does not map.
struct CalendarEvent {
    QString summary;
    std::optional<Plan> plan;
    QString refusal; // empty when `plan` is set
};

struct ParsedCalendar {
    QString problem; // the file is no calendar that can be read; nothing of it is taken
    QList<CalendarEvent> events;
};

// Largest file that is read as a calendar.
constexpr qint64 kMaxCalendarBytes = 8 * 1024 * 1024;

ParsedCalendar parseCalendar(const QByteArray& text);

} // namespace vantrel::plans
