#include "core/datetime.h"

#include <QLocale>
#include <cmath>

namespace vantrel::dt {

namespace {
// 12/30/1899, set at compile time: a value written before main() (a constant of another file)
// is converted right, which a date made at start-up would not yet be there for.
constexpr QDate kEpoch = QDate::fromJulianDay(2415019);
constexpr qint64 kMsPerDay = 86400000;
} // namespace

double fromQDateTime(const QDateTime& t) {
    const QDateTime local = t.toLocalTime();
    const double day = static_cast<double>(kEpoch.daysTo(local.date()));
    return day + local.time().msecsSinceStartOfDay() / static_cast<double>(kMsPerDay);
}

QDateTime toQDateTime(double value) {
    const double day = std::floor(value);
    qint64 ms = std::llround((value - day) * kMsPerDay);
    QDate date = kEpoch.addDays(static_cast<qint64>(day));
    if (ms >= kMsPerDay) {
        date = date.addDays(1);
        ms -= kMsPerDay;
    }
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

double encode(int year, int month, int day, int hour, int minute, int second) {
    return static_cast<double>(kEpoch.daysTo(QDate(year, month, day))) +
           (hour * 3600 + minute * 60 + second) / 86400.0;
}

double roundToSecond(double v) {
    const double day = std::floor(v);
    const double seconds = std::round((v - day) * 86400.0);
    return day + seconds / 86400.0;
}

double timeOf(double v) {
    return v - std::floor(v);
}

int dayOfWeek(double v) {
    // Qt counts Monday 1 ... Sunday 7.
    return kEpoch.addDays(static_cast<qint64>(std::floor(v))).dayOfWeek() % 7 + 1;
}

QString formatDate(double v) {
    return QLocale::c().toString(toQDateTime(v).date(), QStringLiteral("M/d/yyyy"));
}

QString formatTime(double v) {
    return QLocale::c().toString(toQDateTime(v).time(), QStringLiteral("hh:mm:ss AP"));
}

QString formatDateTime(double v) {
    // As the general date-time text: the time is left out at midnight.
    if (timeOf(v) == 0.0) return formatDate(v);
    return formatDate(v) + QLatin1Char(' ') + formatTime(v);
}

QString floatToText(double v) {
    return QLocale::c().toString(v, 'g', 15);
}

double textToFloat(const QString& text, bool* ok) {
    return QLocale::c().toDouble(text.trimmed(), ok);
}

} // namespace vantrel::dt
