#include "plans/history.h"

#include "core/datetime.h"

#include <QLocale>
#include <QMap>
#include <cmath>

namespace vantrel::plans {

namespace {

bool isDose(const DoseLogRow& r) {
    return r.APPTTYPE == QLatin1String("M");
}

QString shortTime(double v) {
    return QLocale::c().toString(dt::toQDateTime(v).time(), QStringLiteral("hh:mm AP"));
}

// 2026-03-02T08:00:00+01:00: the local time with its offset on that day.
QString isoWithOffset(double v) {
    const QDateTime local = dt::toQDateTime(v);
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

// A field as RFC 4180 writes it. A spreadsheet runs a field that starts with = + - @ (or a tab
// or carriage return before one) as a formula; such a field starts with an apostrophe.
QString csvField(QString text) {
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!text.isEmpty() && formulaStarts.contains(text.front())) text.prepend(QLatin1Char('\''));
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\n')) ||
        text.contains(QLatin1Char('\r')))
        return QLatin1Char('"') + text.replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
    return text;
}

} // namespace

QString answerText(const DoseLogRow& r) {
    switch (r.STATE.isEmpty() ? u' ' : r.STATE.front().unicode()) {
    case u'T':
        return isDose(r) ? QStringLiteral("Taken") : QStringLiteral("Attended");
    case u'S':
        return QStringLiteral("Skipped");
    case u'Z':
        return QStringLiteral("Snoozed");
    case u'M':
        return QStringLiteral("Not confirmed");
    default:
        return QStringLiteral("Not answered");
    }
}

QList<Adherence> adherence(const QList<DoseLogRow>& rows) {
    QMap<QString, Adherence> byName;
    for (const DoseLogRow& r : rows) {
        if (!isDose(r)) continue;
        Adherence& a = byName[r.ITEMNAME];
        a.medicine = r.ITEMNAME;
        ++a.due;
        if (r.STATE == QLatin1String("T")) ++a.taken;
    }
    return byName.values();
}

QString adherenceLine(const Adherence& a, int days) {
    const int percent = a.due ? static_cast<int>(std::lround(100.0 * a.taken / a.due)) : 0;
    const QString period = days > 0 ? QStringLiteral("in the last %1 days").arg(days) : QStringLiteral("in all");
    return QStringLiteral("%1: %2 of %3 %4 taken (%5%) %6")
        .arg(a.medicine)
        .arg(a.taken)
        .arg(a.due)
        .arg(a.due == 1 ? QStringLiteral("dose") : QStringLiteral("doses"))
        .arg(percent)
        .arg(period);
}

QList<DaySummary> daySummaries(const QList<DoseLogRow>& rows, QDate first, QDate last) {
    QList<DaySummary> days;
    if (!first.isValid() || !last.isValid() || last < first) return days;
    for (QDate d = first; d <= last; d = d.addDays(1))
        days.append(DaySummary{d, 0, 0, {}});
    QList<DoseLogRow> doses;
    for (const DoseLogRow& r : rows)
        if (isDose(r)) doses << r;
    std::sort(doses.begin(), doses.end(),
              [](const DoseLogRow& a, const DoseLogRow& b) { return a.EVENTTIME < b.EVENTTIME; });
    for (const DoseLogRow& r : doses) {
        const qint64 index = first.daysTo(dt::toQDateTime(r.EVENTTIME).date());
        if (index < 0 || index >= days.size()) continue;
        DaySummary& d = days[index];
        ++d.due;
        if (r.STATE == QLatin1String("T")) ++d.taken;
        d.lines << QStringLiteral("%1 %2: %3").arg(shortTime(r.EVENTTIME), r.ITEMNAME, answerText(r));
    }
    return days;
}

QByteArray historyCsv(const QList<DoseLogRow>& rows) {
    QString out = QStringLiteral("Time,Medicine / Doctor,Kind,Answer,Answered,Note\r\n");
    for (const DoseLogRow& r : rows) {
        const QStringList fields{isoWithOffset(r.EVENTTIME),
                                 r.ITEMNAME,
                                 isDose(r) ? QStringLiteral("Dose") : QStringLiteral("Appointment"),
                                 answerText(r),
                                 r.ACTEDAT > 0 ? isoWithOffset(r.ACTEDAT) : QString(),
                                 r.NOTE};
        QStringList quoted;
        for (const QString& f : fields)
            quoted << csvField(f);
        out += quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return out.toUtf8();
}

} // namespace vantrel::plans
