#include "data/removal.h"

#include "base/errors.h"
#include "data/database.h"

#include <QSqlQuery>
#include <QString>

namespace vantrel::data {

namespace {

struct LinkKind {
    const char* linkTable; // dlref or mlref
    const char* linkKey;   // DLREF or MLREF
    const char* rowTable;  // doctor or medicine
    const char* rowKey;    // DRREF or MEDREF
};

const LinkKind kDoctor{"dlref", "DLREF", "doctor", "DRREF"};
const LinkKind kMedicine{"mlref", "MLREF", "medicine", "MEDREF"};

int scalar(Database& db, const QString& sql, const QVariantList& values) {
    QSqlQuery& q = db.run(sql, values);
    const bool found = q.next();
    const int v = found ? q.value(0).toInt() : -1;
    q.finish();
    return v;
}

void removePlans(Database& db, const QString& where, const QVariantList& values) {
    db.run(QStringLiteral("DELETE FROM notif WHERE NOTIFREF IN (SELECT NOTIFREF FROM planlist WHERE %1)")
               .arg(where),
           values);
    db.run(QStringLiteral("DELETE FROM planlist WHERE %1").arg(where), values);
}

// Deletes the row when no link of any profile names it any more.
void removeIfUnlinked(Database& db, const LinkKind& k, int key) {
    db.run(QStringLiteral("DELETE FROM %1 WHERE %2 = ? AND NOT EXISTS (SELECT 1 FROM %3 WHERE %2 = ?)")
               .arg(QLatin1String(k.rowTable), QLatin1String(k.rowKey), QLatin1String(k.linkTable)),
           {key, key});
}

int removeLink(Database& db, const LinkKind& k, int patientRef, int linkKey) {
    int rowKey = -1;
    db.transaction([&] {
        rowKey =
            scalar(db,
                   QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? AND PATIENTREF = ?")
                       .arg(QLatin1String(k.rowKey), QLatin1String(k.linkTable), QLatin1String(k.linkKey)),
                   {linkKey, patientRef});
        if (rowKey < 0)
            throw DataError(QStringLiteral("The %1 to remove is no longer linked to this profile.")
                                .arg(QLatin1String(k.rowTable)));
        removePlans(db, QStringLiteral("PATIENTREF = ? AND %1 = ?").arg(QLatin1String(k.rowKey)),
                    {patientRef, rowKey});
        db.run(QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                   .arg(QLatin1String(k.linkTable), QLatin1String(k.linkKey)),
               {linkKey});
        removeIfUnlinked(db, k, rowKey);
    });
    return rowKey;
}

void removeAllLinks(Database& db, const LinkKind& k, int patientRef) {
    QList<int> keys;
    QSqlQuery& q = db.run(QStringLiteral("SELECT DISTINCT %1 FROM %2 WHERE PATIENTREF = ?")
                              .arg(QLatin1String(k.rowKey), QLatin1String(k.linkTable)),
                          {patientRef});
    while (q.next())
        keys << q.value(0).toInt();
    q.finish();
    db.run(QStringLiteral("DELETE FROM %1 WHERE PATIENTREF = ?").arg(QLatin1String(k.linkTable)),
           {patientRef});
    for (int key : keys)
        removeIfUnlinked(db, k, key);
}

} // namespace

int removeDoctorLink(Database& db, int patientRef, int dlrefKey) {
    return removeLink(db, kDoctor, patientRef, dlrefKey);
}

int removeMedicineLink(Database& db, int patientRef, int mlrefKey) {
    return removeLink(db, kMedicine, patientRef, mlrefKey);
}

void removeProfile(Database& db, int patientRef) {
    db.transaction([&] {
        removeAllLinks(db, kMedicine, patientRef);
        removeAllLinks(db, kDoctor, patientRef);
        removePlans(db, QStringLiteral("PATIENTREF = ?"), {patientRef});
        db.run(QStringLiteral("DELETE FROM doselog WHERE PATIENTREF = ?"), {patientRef});
        db.run(QStringLiteral("DELETE FROM patient WHERE PATIENTREF = ?"), {patientRef});
    });
}

void removePlan(Database& db, int apptId) {
    db.transaction([&] { removePlans(db, QStringLiteral("APPTID = ?"), {apptId}); });
}

} // namespace vantrel::data
