#pragma once
// A calendar file's events written as plans of one profile. Each plan lands in a transaction of
// its own, together with the doctor or medicine it needs where the profile lacks one of that
// name, so an import cut short keeps whole plans only.
#include "plans/icalendar.h"

#include <QList>
#include <QString>
#include <utility>

namespace vantrel::data {
class Database;
}

namespace vantrel::plans {

struct ImportReport {
    int written = 0;
    QList<std::pair<QString, QString>> refused; // each event not taken (its summary) and why
    int doctorsAdded = 0;
    int medicinesAdded = 0;
};

// Writes every event of `calendar` that maps to a plan; `now` becomes each plan's CHANGEDAT, so
// none of its earlier reminders is taken for one missed. A fault of the store ends the import
// with the plans written so far kept, and is thrown.
ImportReport importCalendar(data::Database& db, const ParsedCalendar& calendar, int patientRef, double now);

// The whole text of the report, as the import window and the command line give it.
QString reportText(const ImportReport& report);

} // namespace vantrel::plans
