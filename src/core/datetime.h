#pragma once
// Date-times are days since 1899-12-30 in local time: the whole part is the day, the fraction
// the time of day. Text forms are fixed ("M/d/yyyy", "hh:mm:ss AM/PM") whatever the locale.
#include <QDateTime>
#include <QString>
#include <cmath>

namespace vantrel::dt {

constexpr double kMinute = 1.0 / 1440.0;
constexpr double kSecond = 1.0 / 86400.0;
constexpr double kHour = 1.0 / 24.0;

double fromQDateTime(const QDateTime& t);
QDateTime toQDateTime(double value);
double encode(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

inline double dayOf(double v) {
    return std::floor(v);
}
double timeOf(double v);
// The same moment on a whole second, written as encode() writes it, so moments reached by
// different sums compare equal.
double roundToSecond(double v);
// 1 = Sunday ... 7 = Saturday.
int dayOfWeek(double v);

QString formatDate(double v);
QString formatTime(double v);
QString formatDateTime(double v);

// The dates a plan may hold: 1/1/1900 to 12/31/9999. A value outside them, or one that is not a
// number at all (infinite, NaN), is a value no rule can use.
constexpr double kFirstUsable = 2.0;      // 1/1/1900
constexpr double kLastUsable = 2958466.0; // 1/1/10000
inline bool usable(double v) {
    return std::isfinite(v) && v >= kFirstUsable && v < kLastUsable;
}

// The general text form of a number (up to 15 significant digits) and its way back.
QString floatToText(double v);
double textToFloat(const QString& text, bool* ok = nullptr);

} // namespace vantrel::dt
