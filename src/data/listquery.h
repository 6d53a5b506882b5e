#pragma once
// A read-only select over two joined tables whose text can be replaced while it is closed.
// The rows are read once at open; columns are found by name without regard to case.
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace vantrel::data {

class Database;

class ListQuery {
public:
    ListQuery(Database& db, QString objectName = {});

    void setSql(const QString& text); // refused unless closed and a single select
    const QString& sql() const { return m_sql; }
    void open();
    void close();
    void reopen() {
        close();
        open();
    }
    bool active() const { return m_active; }

    int rowCount() const { return static_cast<int>(m_rows.size()); }
    QVariant value(int row, const QString& column) const;
    int columnIndex(const QString& column) const;

private:
    Database& m_db;
    QString m_objectName;
    QString m_sql;
    bool m_active = false;
    QStringList m_columns;
    std::vector<QVariantList> m_rows;
};

// The texts of the two list queries for a profile key.
QString doctorListSql(int patientRef);
QString medicineListSql(int patientRef);

} // namespace vantrel::data
