#pragma once
// What the appointment and dosing wizards decide without a window: the route through the
// reminder pages, the checks of every page, the length items, the weekday digits, the end day,
// and the reminder row that the pages' values make.
#include "plans/plan.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <array>
#include <optional>

namespace vantrel::data {
class Database;
}

namespace vantrel::plans {

// The four reminder pages and what lies on either side of them.
enum class ReminderPage { HostLast, Type, Time, Popup, Email, Finish };

// The reminder type as stored: 'P' pop-up, 'E' e-mail, 'B' both, 'N' none.
ReminderPage nextPage(ReminderPage on, QChar type);
ReminderPage previousPage(ReminderPage on, QChar type);

// What a person may type into a reminder: enough for any message, short of what would freeze a
// window that shows it.
constexpr int kMaxMessageLength = 4000; // the pop-up text, the e-mail's message
constexpr int kMaxLineLength = 1000;    // From, To, Subject

// Each returns the message of the first check that fails, or nothing.
std::optional<QString> checkMinutes(const QString& text);
std::optional<QString> checkPopupText(const QString& text);
std::optional<QString> checkAudio(bool playAudio, const QString& path);
std::optional<QString> checkEmail(const QString& from, const QString& to, const QString& subject,
                                  const QString& message);
std::optional<QString> checkXDays(const QString& text);
std::optional<QString> checkWeekdays(const std::array<bool, 7>& days);

// The appointment lengths in hours, as the list offers them.
const QStringList& lengthItems();
// An item's hours, read with "." as the decimal point whatever the locale.
std::optional<double> lengthValue(const QString& item);
// The item for a stored length (in days): hours rounded to a tenth, halves to the even
// neighbour; -1 when no item has that value.
int lengthItemFor(double lengthDays);

// Weekdays Sunday .. Saturday as the digits 1 .. 7, in that order ("246" for Mon, Wed, Fri).
QString weekdayDigits(const std::array<bool, 7>& days);
std::array<bool, 7> weekdaysFrom(const QString& digits);

// A day and a time of day as one date-time value.
double dayAndTime(const QDate& day, const QTime& time);

// The last moment of the day, stored as a plan's end so the whole day counts.
double endOfDay(double day);
// The start day of an every-X-days plan that has begun: the last day of its rhythm on or
// before `today`, so that editing it keeps the days between doses.
double rhythmDayOnOrBefore(double firstDay, int everyXDays, double today);

// The values of the reminder pages.
struct ReminderValues {
    QChar type = u'P';
    bool atTime = false; // "At the ... time"; otherwise minutesText counts
    QString minutesText = QStringLiteral("15");
    QString popupText;
    bool playAudio = false;
    QString audioFile;
    QString from, to, subject, message;
};

// Everything Finish will write, checked before anything is written: the minutes box even when
// its page was skipped, and the pages the type goes through.
std::optional<QString> checkAll(const ReminderValues& v);

// The reminder row the pages' values make: the texts of the pages the type goes through, empty
// for the others; the minutes as the box stands, 0 for "At the ... time".
plans::Reminder reminderFrom(const ReminderValues& v);
// The pages' values of a stored reminder row.
ReminderValues valuesFrom(const plans::Reminder& r);

} // namespace vantrel::plans
