#pragma once
// Pills on hand, per person and medicine: how many are left, how many a dose takes, and how many
// days they last at the person's dosings of it. A count left empty is not kept.
#include <QString>
#include <optional>

namespace vantrel::data {
class Database;
}

namespace vantrel::plans {

struct PillCount {
    int onHand = 0;
    int perDose = 1;
    int warnDays = 7;  // fewer days left than this warns
    double perDay = 0; // doses a day by the person's dosings of the medicine
    // The days the pills last; nothing when no dosing repeats.
    std::optional<double> daysLeft() const;
    bool low() const;
};

// The count of a person's medicine, or nothing when it is not counted.
std::optional<PillCount> pillCount(data::Database& db, int patientRef, int medRef);
// "24 (12 days)": the count and how long it lasts, as the medicine's details show it after
// "On hand:".
QString onHandText(const PillCount& c);
// "Amoxicillin: 5 left, about 2 days. Time to refill."
QString refillText(const QString& medicine, const PillCount& c);

// The bounds of what may be typed: counts from 0 to 100000, a dose of 1 to 100 pills, a warning
// from 0 to 365 days.
constexpr int kMostPills = 100000;
constexpr int kMostPerDose = 100;
constexpr int kMostWarnDays = 365;
// The message for a typed box that is no whole number in its range, or nothing when all are
// (an empty count is not counted, and so is fine).
std::optional<QString> checkPillBoxes(const QString& onHand, const QString& perDose, const QString& warnDays);

} // namespace vantrel::plans
