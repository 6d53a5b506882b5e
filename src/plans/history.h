#pragma once
// What the dose log tells of a period: each row in words, how many doses of each medicine were
// taken, a summary a day, and the rows as CSV for a spreadsheet.
#include "plans/doselog.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace vantrel::plans {

// "Taken" (an appointment: "Attended"), "Skipped", "Snoozed", "Not answered", "Not confirmed".
QString answerText(const DoseLogRow& r);

struct Adherence {
    QString medicine;
    int taken = 0;
    int due = 0; // every dose that came due, whatever its answer
};
// The doses of each medicine among the rows, by medicine name.
QList<Adherence> adherence(const QList<DoseLogRow>& rows);
// "Amoxicillin: 26 of 28 doses taken (93%) in the last 30 days"; `days` 0 is the whole history.
QString adherenceLine(const Adherence& a, int days);

// The doses of one day: how many came due, how many were taken, and a line for each.
struct DaySummary {
    QDate day;
    int taken = 0;
    int due = 0;
    QStringList lines; // "08:00 Amoxicillin: Taken"
};
// One summary for each day from `first` to `last`, days without doses included.
QList<DaySummary> daySummaries(const QList<DoseLogRow>& rows, QDate first, QDate last);

// The rows as CSV (RFC 4180: UTF-8, a header row, CRLF, fields quoted where needed), times in
// ISO 8601 with their offset from UTC. A field a spreadsheet would take for a formula starts
// with an apostrophe.
QByteArray historyCsv(const QList<DoseLogRow>& rows);

} // namespace vantrel::plans
