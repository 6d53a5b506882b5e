#include "schedule/planrules.h"

#include "core/datetime.h"

#include <QLocale>
#include <cmath>

namespace vantrel::plans {

ReminderPage nextPage(ReminderPage on, QChar type) {
    switch (on) {
    case ReminderPage::HostLast:
        return ReminderPage::Type;
    case ReminderPage::Type:
        return type == u'N' ? ReminderPage::Finish : ReminderPage::Time;
    case ReminderPage::Time:
        return type == u'E' ? ReminderPage::Email : ReminderPage::Popup;
    case ReminderPage::Popup:
        return type == u'P' ? ReminderPage::Finish : ReminderPage::Email;
    case ReminderPage::Email:
    case ReminderPage::Finish:
        return ReminderPage::Finish;
    }
    return ReminderPage::Finish;
}

ReminderPage previousPage(ReminderPage on, QChar type) {
    switch (on) {
    case ReminderPage::HostLast:
    case ReminderPage::Type:
        return ReminderPage::HostLast;
    case ReminderPage::Time:
        return ReminderPage::Type;
    case ReminderPage::Popup:
        return ReminderPage::Time;
    case ReminderPage::Email:
        return type == u'B' ? ReminderPage::Popup : ReminderPage::Time;
    case ReminderPage::Finish:
        if (type == u'P') return ReminderPage::Popup;
        if (type == u'N') return ReminderPage::Type;
        return ReminderPage::Email;
    }
    return ReminderPage::Type;
}

namespace {
// A whole number as typed: digits with an optional sign, blanks around them allowed.
std::optional<long long> wholeNumber(const QString& text) {
    bool ok = false;
    const long long v = text.trimmed().toLongLong(&ok);
    return ok ? std::optional(v) : std::nullopt;
}

bool hasLineBreak(const QString& s) {
    return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r'));
}
} // namespace

std::optional<QString> checkMinutes(const QString& text) {
    const auto v = wholeNumber(text);
    if (!v) return QStringLiteral("Invalid number of minutes");
    if (*v < 1 || *v > 60) return QStringLiteral("Number of minutes should be between 1 and 60");
    return std::nullopt;
}

std::optional<QString> checkPopupText(const QString& text) {
    if (text.size() > kMaxMessageLength)
        return QStringLiteral("The pop-up text is too long: it may hold at most %1 characters.")
            .arg(kMaxMessageLength);
    return std::nullopt;
}

std::optional<QString> checkAudio(bool playAudio, const QString& path) {
    if (playAudio && path.isEmpty()) return QStringLiteral("Please select an audio file to play");
    return std::nullopt;
}

std::optional<QString> checkEmail(const QString& from, const QString& to, const QString& subject,
                                  const QString& message) {
    if (from.isEmpty()) return QStringLiteral("Please enter a from address");
    if (to.isEmpty()) return QStringLiteral("Please enter an address to send the message to");
    if (message.isEmpty()) return QStringLiteral("Please enter a message");
    if (from.size() > kMaxLineLength || to.size() > kMaxLineLength || subject.size() > kMaxLineLength)
        return QStringLiteral("The From, To and Subject boxes may hold at most %1 characters each.")
            .arg(kMaxLineLength);
    if (message.size() > kMaxMessageLength)
        return QStringLiteral("The message text is too long: it may hold at most %1 characters.")
            .arg(kMaxMessageLength);
    // These become header lines of the message: a line break there could add headers of its own.
    if (hasLineBreak(from) || hasLineBreak(to) || hasLineBreak(subject))
        return QStringLiteral("The From, To and Subject boxes may not hold a line break");
    return std::nullopt;
}

std::optional<QString> checkXDays(const QString& text) {
    const auto v = wholeNumber(text);
    if (!v) return QStringLiteral("Invalid number of days");
    if (*v < 2 || *v > 14) return QStringLiteral("Number of days must be between 2 and 14");
    return std::nullopt;
}

std::optional<QString> checkWeekdays(const std::array<bool, 7>& days) {
    for (bool d : days)
        if (d) return std::nullopt;
    return QStringLiteral("Please select at least one day.");
}

const QStringList& lengthItems() {
    static const QStringList items{".5", "1",   "1.5", "2",   "2.5", "3",  "3.5", "4",  "4.5", "5",  "5.5",
                                   "6",  "6.5", "7",   "7.5", "8",   "9",  "10",  "11", "12",  "13", "14",
                                   "15", "16",  "17",  "18",  "19",  "20", "21",  "22", "23",  "24"};
    return items;
}

std::optional<double> lengthValue(const QString& item) {
    bool ok = false;
    const double v = QLocale::c().toDouble(item.trimmed(), &ok);
    return ok && v > 0 ? std::optional(v) : std::nullopt;
}

int lengthItemFor(double lengthDays) {
    const double tenths = std::nearbyint(lengthDays * 24.0 * 10.0); // halves to the even neighbour
    for (int i = 0; i < lengthItems().size(); ++i)
        if (std::nearbyint(*lengthValue(lengthItems()[i]) * 10.0) == tenths) return i;
    return -1;
}

QString weekdayDigits(const std::array<bool, 7>& days) {
    QString out;
    for (int d = 0; d < 7; ++d)
        if (days[static_cast<size_t>(d)]) out += QChar(u'1' + d);
    return out;
}

std::array<bool, 7> weekdaysFrom(const QString& digits) {
    std::array<bool, 7> days{};
    for (QChar c : digits)
        if (c >= u'1' && c <= u'7') days[static_cast<size_t>(c.unicode() - u'1')] = true;
    return days;
}

double dayAndTime(const QDate& day, const QTime& time) {
    const double d = std::floor(dt::fromQDateTime(QDateTime(day, QTime(0, 0))));
    return dt::roundToSecond(d + time.msecsSinceStartOfDay() / 86400000.0);
}

double endOfDay(double day) {
    return std::floor(day) + 1.0 - dt::kSecond;
}

double rhythmDayOnOrBefore(double firstDay, int everyXDays, double today) {
    const double first = std::floor(firstDay), now = std::floor(today);
    if (everyXDays < 1 || now <= first) return first;
    return first + std::floor((now - first) / everyXDays) * everyXDays;
}

std::optional<QString> checkAll(const ReminderValues& v) {
    if (!v.atTime)
        if (auto m = checkMinutes(v.minutesText)) return m;
    if (v.type == u'P' || v.type == u'B') {
        if (auto m = checkPopupText(v.popupText)) return m;
        if (auto m = checkAudio(v.playAudio, v.audioFile)) return m;
    }
    if (v.type == u'E' || v.type == u'B')
        if (auto m = checkEmail(v.from, v.to, v.subject, v.message)) return m;
    return std::nullopt;
}

plans::Reminder reminderFrom(const ReminderValues& v) {
    const bool popup = v.type == u'P' || v.type == u'B';
    const bool mail = v.type == u'E' || v.type == u'B';
    plans::Reminder r;
    r.NOTIFTYPE = QString(v.type);
    r.NOTIFTEXT = popup ? v.popupText : QString();
    r.PLAYAUDIO = popup && v.playAudio;
    r.AUDIOFILE = popup ? v.audioFile : QString();
    r.SENDEMAIL = mail;
    r.EMAILFROM = mail ? v.from : QString();
    r.EMAILTO = mail ? v.to : QString();
    r.EMAILSUBJECT = mail ? v.subject : QString();
    r.EMAILMESSAGE = mail ? v.message : QString();
    r.NOTIFMIN = v.atTime ? 0 : static_cast<int>(v.minutesText.trimmed().toLongLong());
    return r;
}

ReminderValues valuesFrom(const plans::Reminder& r) {
    ReminderValues v;
    v.type = r.NOTIFTYPE.isEmpty() ? QChar(u'P') : r.NOTIFTYPE[0];
    v.atTime = r.NOTIFMIN == 0;
    if (!v.atTime) v.minutesText = QString::number(r.NOTIFMIN);
    v.popupText = r.NOTIFTEXT;
    v.playAudio = r.PLAYAUDIO;
    v.audioFile = r.AUDIOFILE;
    v.from = r.EMAILFROM;
    v.to = r.EMAILTO;
    v.subject = r.EMAILSUBJECT;
    v.message = r.EMAILMESSAGE;
    return v;
}

} // namespace vantrel::plans
