#pragma once
// A cursor on one table: a current row in key order, an optional filter, and the editing
// states of a data-aware form. Every positioning reads the file again, so a row written
// through one cursor is seen by every other at its next move.
#include "data/filter.h"
#include "data/schema.h"

#include <QString>
#include <QVariant>
#include <vector>

namespace vantrel::data {

class Database;

class Table {
public:
    enum class State { Inactive, Browse, Edit, Insert };

    Table(Database& db, const QString& tableName, QString objectName = {});

    const QString& objectName() const { return m_objectName; }
    const TableDef& def() const { return *m_def; }
    State state() const { return m_state; }
    bool active() const { return m_state != State::Inactive; }

    void open();
    void close();
    // Closes and opens again: the cursor reads its table anew from the first row.
    void reopen();
    void refresh();

    void first();
    void last();
    void next();
    void prior();
    void moveBy(int n);
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    bool isEmpty() const { return m_key < 0; }
    int rowCount();

    // The filter: "FIELD = n" or two such joined by AND. Setting a text of another form
    // throws DataError and leaves the previous filter in place.
    void setFilter(const QString& text);
    const QString& filter() const { return m_filterText; }
    void setFiltered(bool on);
    bool filtered() const { return m_filtered; }

    // Finds the first row (in order, within the filter) whose field equals the value exactly;
    // text given for a number field compares as the number. The cursor stays where it was
    // when nothing matches.
    bool locate(const QString& field, const QVariant& value);

    QVariant value(const QString& field) const;
    bool isNull(const QString& field) const;
    QString text(const QString& field) const;
    int integer(const QString& field) const;
    double number(const QString& field) const;
    bool boolean(const QString& field) const;
    void setValue(const QString& field, const QVariant& value);

    void append();
    void edit();
    void post();
    void cancel();
    void remove();

private:
    void requireActive() const;
    int field(const QString& name) const;
    QString whereClause(const QString& extra) const;
    QVariantList filterValues() const;
    bool fetch(const QString& extra, const QVariantList& extraValues, bool descending);
    void reload();
    void clearRow();

    Database& m_db;
    const TableDef* m_def;
    QString m_objectName;
    QString m_columns;
    State m_state = State::Inactive;
    QString m_filterText;
    std::vector<Comparison> m_filter;
    bool m_filtered = false;
    qint64 m_key = -1; // rowid of the current row, -1 when there is none
    bool m_eof = true;
    bool m_bof = true;
    std::vector<QVariant> m_row;
    std::vector<bool> m_changed;
};

} // namespace vantrel::data
