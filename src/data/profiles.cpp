#include "data/profiles.h"

#include "data/database.h"

namespace vantrel::data {

namespace {
QVariant firstValue(Database& db, const QString& sql, const QVariantList& values = {}) {
    QSqlQuery& q = db.run(sql, values);
    const QVariant v = q.next() ? q.value(0) : QVariant();
    q.finish();
    return v;
}
} // namespace

QString profileName(Database& db, int patientRef) {
    return firstValue(db, QStringLiteral("SELECT NAME FROM patient WHERE PATIENTREF = ?"), {patientRef}).toString();
}

int profileCount(Database& db) {
    return firstValue(db, QStringLiteral("SELECT count(*) FROM patient")).toInt();
}

std::optional<int> profileNamed(Database& db, const QString& name) {
    const QVariant key =
        firstValue(db, QStringLiteral("SELECT PATIENTREF FROM patient WHERE NAME = ? ORDER BY PATIENTREF"), {name});
    return key.isNull() ? std::nullopt : std::optional(key.toInt());
}

} // namespace vantrel::data
