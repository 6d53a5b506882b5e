#pragma once
// What the printed medicine list of one person says, as plain lines in sections: the doctors
// with their phones, the medicines with their prescription numbers and dosings in words, the
// appointments of the next 30 days, and the doses taken of each medicine in the last 30 days.
// How it is set on pages is the printing's business; every text here is shown as it was typed.
#include <QList>
#include <QString>
#include <QStringList>

namespace vantrel::data {
class Database;
}

namespace vantrel::plans {

struct ListLine {
    QString text;
    int indent = 0; // 0 a line of its own, 1 a detail of the line above
};

struct ListSection {
    QString heading;
    QList<ListLine> lines; // empty: the section says so in `empty`
    QString empty;
};

struct MedicineList {
    QString person;
    QString printedOn; // "Printed on 12/11/2026"
    QList<ListSection> sections;
};

constexpr int kListDaysAhead = 30;
constexpr int kListDaysBack = 30;

// The list of the profile `patientRef` at `now` (a local date-time value).
MedicineList medicineList(data::Database& db, int patientRef, double now);

// Every line of it, one after the other, as a plain text (for the command line and the tests).
QStringList listLines(const MedicineList& list);

} // namespace vantrel::plans
