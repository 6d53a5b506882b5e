#include "data/table.h"

#include "base/errors.h"
#include "data/database.h"

#include <QSqlQuery>

namespace vantrel::data {

namespace {
[[noreturn]] void raise(const QString& text) {
    throw DataError(text);
}
} // namespace

Table::Table(Database& db, const QString& tableName, QString objectName)
    : m_db(db), m_def(&tableDef(tableName)), m_objectName(std::move(objectName)) {
    QStringList cols{QStringLiteral("rowid")};
    for (const FieldDef& f : m_def->fields)
        cols << f.name;
    m_columns = cols.join(QStringLiteral(", "));
    m_row.resize(m_def->fields.size());
    m_changed.resize(m_def->fields.size());
}

void Table::requireActive() const {
    if (m_state == State::Inactive)
        raise(QStringLiteral("%1: Cannot perform this operation on a closed dataset").arg(m_objectName));
}

int Table::field(const QString& name) const {
    const int i = m_def->fieldIndex(name);
    if (i < 0) raise(QStringLiteral("%1: Field '%2' not found").arg(m_objectName, name));
    return i;
}

QString Table::whereClause(const QString& extra) const {
    QStringList parts;
    if (m_filtered)
        for (const Comparison& c : m_filter)
            parts << m_def->fields[c.field].name + QStringLiteral(" = ?");
    if (!extra.isEmpty()) parts << extra;
    return parts.isEmpty() ? QString() : QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
}

QVariantList Table::filterValues() const {
    QVariantList v;
    if (m_filtered)
        for (const Comparison& c : m_filter)
            v << c.value;
    return v;
}

// Moves to the first row of the filter that also meets `extra`; false (and the cursor
// unchanged) when there is none.
bool Table::fetch(const QString& extra, const QVariantList& extraValues, bool descending) {
    const QString sql = QStringLiteral("SELECT %1 FROM %2%3 ORDER BY rowid %4 LIMIT 1")
                            .arg(m_columns, m_def->name, whereClause(extra),
                                 descending ? QStringLiteral("DESC") : QStringLiteral("ASC"));
    QSqlQuery& q = m_db.run(sql, filterValues() + extraValues);
    const bool found = q.next();
    if (found) {
        m_key = q.value(0).toLongLong();
        for (size_t i = 0; i < m_row.size(); ++i)
            m_row[i] = q.value(static_cast<int>(i) + 1);
    }
    q.finish();
    return found;
}

void Table::clearRow() {
    m_key = -1;
    for (auto& v : m_row)
        v = QVariant();
}

void Table::open() {
    if (!m_db.isOpen()) raise(QStringLiteral("%1: the data store is not open").arg(m_objectName));
    m_state = State::Browse;
    first();
}

void Table::close() {
    m_state = State::Inactive;
    clearRow();
    m_eof = m_bof = true;
}

void Table::reopen() {
    close();
    open();
}

void Table::first() {
    requireActive();
    if (m_state != State::Browse) cancel();
    if (!fetch({}, {}, false)) clearRow();
    m_bof = true;
    m_eof = m_key < 0;
}

void Table::last() {
    requireActive();
    if (m_state != State::Browse) cancel();
    if (!fetch({}, {}, true)) clearRow();
    m_eof = true;
    m_bof = m_key < 0;
}

void Table::next() {
    requireActive();
    if (m_state != State::Browse) post();
    if (m_key < 0) {
        m_eof = true;
        return;
    }
    m_bof = false;
    if (!fetch(QStringLiteral("rowid > ?"), {m_key}, false)) m_eof = true;
}

void Table::prior() {
    requireActive();
    if (m_state != State::Browse) post();
    if (m_key < 0) {
        m_bof = true;
        return;
    }
    m_eof = false;
    if (!fetch(QStringLiteral("rowid < ?"), {m_key}, true)) m_bof = true;
}

void Table::moveBy(int n) {
    for (; n > 0 && !m_eof; --n)
        next();
    for (; n < 0 && !m_bof; ++n)
        prior();
}

void Table::refresh() {
    requireActive();
    if (m_state != State::Browse) cancel();
    if (m_key >= 0 && fetch(QStringLiteral("rowid >= ?"), {m_key}, false)) return;
    first();
}

int Table::rowCount() {
    requireActive();
    QSqlQuery& q = m_db.run(QStringLiteral("SELECT count(*) FROM %1%2").arg(m_def->name, whereClause({})),
                            filterValues());
    const int n = q.next() ? q.value(0).toInt() : 0;
    q.finish();
    return n;
}

void Table::setFilter(const QString& text) {
    m_filter = parseFilter(text, *m_def);
    m_filterText = text;
    if (m_filtered && active()) first();
}

void Table::setFiltered(bool on) {
    if (on && m_filter.empty()) raise(QStringLiteral("%1: no filter is set").arg(m_objectName));
    m_filtered = on;
    if (active()) first();
}

bool Table::locate(const QString& name, const QVariant& value) {
    requireActive();
    if (m_state != State::Browse) post();
    const FieldDef& f = m_def->fields[field(name)];
    QVariant key = value;
    if (!isTextType(f.type)) {
        if (value.typeId() == QMetaType::QString) {
            bool ok = false;
            const double number = value.toString().trimmed().toDouble(&ok);
            if (!ok) return false;
            key = number;
        }
    } else {
        key = value.toString();
    }
    if (!fetch(f.name + QStringLiteral(" = ?"), {key}, false)) return false;
    m_eof = m_bof = false;
    return true;
}

QVariant Table::value(const QString& name) const {
    requireActive();
    return m_row[field(name)];
}

bool Table::isNull(const QString& name) const {
    return value(name).isNull();
}
QString Table::text(const QString& name) const {
    return value(name).toString();
}
int Table::integer(const QString& name) const {
    return value(name).toInt();
}
double Table::number(const QString& name) const {
    return value(name).toDouble();
}
bool Table::boolean(const QString& name) const {
    return value(name).toInt() != 0;
}

void Table::setValue(const QString& name, const QVariant& v) {
    const int i = field(name);
    if (m_state != State::Edit && m_state != State::Insert)
        raise(QStringLiteral("%1: Dataset not in edit or insert mode").arg(m_objectName));
    if (m_def->fields[i].type == FieldType::AutoInc)
        raise(QStringLiteral("%1: Field '%2' cannot be modified").arg(m_objectName, name));
    m_row[i] = m_def->fields[i].type == FieldType::Boolean && !v.isNull() ? QVariant(v.toBool() ? 1 : 0) : v;
    m_changed[i] = true;
}

void Table::append() {
    requireActive();
    if (m_state != State::Browse) post();
    for (auto& v : m_row)
        v = QVariant();
    std::fill(m_changed.begin(), m_changed.end(), false);
    m_state = State::Insert;
}

void Table::edit() {
    requireActive();
    if (m_state == State::Insert || m_state == State::Edit) return;
    if (m_key < 0) raise(QStringLiteral("%1: Cannot edit an empty dataset").arg(m_objectName));
    std::fill(m_changed.begin(), m_changed.end(), false);
    m_state = State::Edit;
}

void Table::post() {
    requireActive();
    if (m_state == State::Browse) return;
    QStringList cols, marks;
    QVariantList values;
    for (size_t i = 0; i < m_row.size(); ++i) {
        if (!m_changed[i]) continue;
        cols << m_def->fields[i].name;
        marks << QStringLiteral("?");
        values << m_row[i];
    }
    if (m_state == State::Insert) {
        const QString sql = cols.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_def->name)
                                           : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                                 .arg(m_def->name, cols.join(QStringLiteral(", ")),
                                                      marks.join(QStringLiteral(", ")));
        QSqlQuery& q = m_db.run(sql, values);
        const qint64 key = q.lastInsertId().toLongLong();
        q.finish();
        m_key = key;
    } else if (!cols.isEmpty()) {
        QStringList sets;
        for (const QString& c : cols)
            sets << c + QStringLiteral(" = ?");
        QSqlQuery& q = m_db.run(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                    .arg(m_def->name, sets.join(QStringLiteral(", "))),
                                values << m_key);
        q.finish();
    }
    m_state = State::Browse;
    reload();
}

// Reads the current row again, as it now stands in the file.
void Table::reload() {
    if (m_key < 0) return;
    QSqlQuery& q =
        m_db.run(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(m_columns, m_def->name), {m_key});
    if (q.next())
        for (size_t i = 0; i < m_row.size(); ++i)
            m_row[i] = q.value(static_cast<int>(i) + 1);
    q.finish();
    m_eof = m_bof = false;
}

void Table::cancel() {
    if (m_state == State::Edit || m_state == State::Insert) {
        m_state = State::Browse;
        if (m_key >= 0 && !fetch(QStringLiteral("rowid >= ?"), {m_key}, false)) clearRow();
    }
}

void Table::remove() {
    requireActive();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    m_state = State::Browse;
    if (m_key < 0) raise(QStringLiteral("%1: Cannot delete from an empty dataset").arg(m_objectName));
    const qint64 gone = m_key;
    m_db.run(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(m_def->name), {gone}).finish();
    // The next row becomes current; after the last row, the one before it.
    if (fetch(QStringLiteral("rowid > ?"), {gone}, false)) {
        m_eof = m_bof = false;
    } else if (fetch(QStringLiteral("rowid < ?"), {gone}, true)) {
        m_eof = true;
        m_bof = false;
    } else {
        clearRow();
        m_eof = m_bof = true;
    }
}

} // namespace vantrel::data
