#include "data/listquery.h"

#include "base/errors.h"
#include "data/database.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace vantrel::data {

ListQuery::ListQuery(Database& db, QString objectName) : m_db(db), m_objectName(std::move(objectName)) {}

void ListQuery::setSql(const QString& text) {
    if (m_active)
        throw DataError((m_objectName + QStringLiteral(": Cannot change the text of an open query")));
    const QString t = text.trimmed();
    if (!t.startsWith(QLatin1String("select "), Qt::CaseInsensitive) || t.contains(QLatin1Char(';')))
        throw DataError((m_objectName + QStringLiteral(": only a single select can be run")));
    m_sql = t;
}

void ListQuery::open() {
    if (m_sql.isEmpty()) throw DataError((m_objectName + QStringLiteral(": No SQL statement available")));
    QSqlQuery& q = m_db.run(m_sql);
    const QSqlRecord rec = q.record();
    m_columns.clear();
    for (int i = 0; i < rec.count(); ++i)
        m_columns << rec.fieldName(i);
    m_rows.clear();
    while (q.next()) {
        QVariantList row;
        for (int i = 0; i < rec.count(); ++i)
            row << q.value(i);
        m_rows.push_back(std::move(row));
    }
    q.finish();
    m_active = true;
}

void ListQuery::close() {
    m_active = false;
    m_rows.clear();
}

int ListQuery::columnIndex(const QString& column) const {
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].compare(column, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QVariant ListQuery::value(int row, const QString& column) const {
    const int c = columnIndex(column);
    if (c < 0) throw DataError((m_objectName + QStringLiteral(": Field '%1' not found").arg(column)));
    if (row < 0 || row >= rowCount()) return {};
    return m_rows[static_cast<size_t>(row)][c];
}

QString doctorListSql(int patientRef) {
    return QStringLiteral(
               "select LASTNAME,FIRSTNAME,SPECIALTY,DOCTOR.DRREF,dlref.dlref from dlref, doctor where "
               "dlref.patientref=") +
           QString::number(patientRef) + QStringLiteral(" and dlref.drref=doctor.drref");
}

QString medicineListSql(int patientRef) {
    return QStringLiteral(
               "select name,medicine.medref,mlref.mlref from medicine,mlref where mlref.patientref = ") +
           QString::number(patientRef) + QStringLiteral(" and mlref.medref=medicine.medref");
}

} // namespace vantrel::data
