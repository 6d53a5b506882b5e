#include "plans/pills.h"

#include "data/database.h"
#include "plans/occurrences.h"
#include "plans/planstore.h"

#include <QSqlQuery>
#include <cmath>

namespace vantrel::plans {

std::optional<double> PillCount::daysLeft() const {
    if (perDay <= 0 || perDose <= 0) return std::nullopt;
    return onHand / (perDose * perDay);
}

bool PillCount::low() const {
    const auto days = daysLeft();
    return days ? *days < warnDays : onHand < perDose;
}

std::optional<PillCount> pillCount(data::Database& db, int patientRef, int medRef) {
    QSqlQuery& q = db.run(QStringLiteral("SELECT PILLSONHAND, PILLSPERDOSE, REFILLDAYS FROM mlref "
                                         "WHERE PATIENTREF = ? AND MEDREF = ? AND PILLSONHAND IS NOT NULL"),
                          {patientRef, medRef});
    std::optional<PillCount> c;
    if (q.next()) c = PillCount{q.value(0).toInt(), std::max(1, q.value(1).toInt()), q.value(2).toInt(), 0};
    q.finish();
    if (!c) return c;
    for (const Plan& p : PlanStore(db).loadAll(patientRef)) {
        if (!p.dose() || p.MEDREF != medRef || unusableTimes(p)) continue;
        if (p.REPTYPE == QLatin1String("D")) c->perDay += 1;
        if (p.REPTYPE == QLatin1String("X")) c->perDay += 1.0 / std::max(1, p.repeatDays().toInt());
        if (p.REPTYPE == QLatin1String("W")) {
            int days = 0;
            for (int d = 1; d <= 7; ++d)
                days += p.repeatDays().contains(QChar(u'0' + d)) ? 1 : 0;
            c->perDay += days / 7.0;
        }
    }
    return c;
}

QString onHandText(const PillCount& c) {
    const auto days = c.daysLeft();
    if (!days) return QString::number(c.onHand);
    return QStringLiteral("%1 (%2 days)").arg(c.onHand).arg(static_cast<int>(std::floor(*days)));
}

QString refillText(const QString& medicine, const PillCount& c) {
    const auto days = c.daysLeft();
    const QString lasting =
        days ? QStringLiteral(", about %1 days").arg(static_cast<int>(std::floor(*days))) : QString();
    return QStringLiteral("%1: %2 left%3. Time to refill.").arg(medicine).arg(c.onHand).arg(lasting);
}

std::optional<QString> checkPillBoxes(const QString& onHand, const QString& perDose,
                                      const QString& warnDays) {
    const auto check = [](const QString& text, int lowest, int highest,
                          const QString& what) -> std::optional<QString> {
        bool ok = false;
        const long long v = text.trimmed().toLongLong(&ok);
        if (!ok) return QStringLiteral("%1 must be a whole number.").arg(what);
        if (v < lowest || v > highest)
            return QStringLiteral("%1 must be between %2 and %3.").arg(what).arg(lowest).arg(highest);
        return std::nullopt;
    };
    // An empty count is not kept; the other two are stored all the same.
    if (!onHand.trimmed().isEmpty())
        if (auto m = check(onHand, 0, kMostPills, QStringLiteral("Pills on hand"))) return m;
    if (auto m = check(perDose, 1, kMostPerDose, QStringLiteral("Pills per dose"))) return m;
    return check(warnDays, 0, kMostWarnDays, QStringLiteral("The days of warning"));
}

} // namespace vantrel::plans
