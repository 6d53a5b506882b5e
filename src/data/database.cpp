#include "data/database.h"

#include "core/errors.h"
#include "data/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>

namespace vantrel::data {

namespace {

QString unusable(const QString& path, const QString& why) {
    return QStringLiteral("The table file \"%1\" cannot be used: %2. The file has been left as it is.")
        .arg(QDir::toNativeSeparators(path), why);
}

} // namespace

Database::Database(QString connectionName) : m_name(std::move(connectionName)) {}

Database::~Database() {
    close();
}

QString Database::schemaOf(const QString& table) const {
    return table.compare(QLatin1String("patient"), Qt::CaseInsensitive) == 0 ? QStringLiteral("main") : table;
}

void Database::checkFile(const QString& path) const {
    QFileInfo info(path);
    if (!info.exists()) return;
    if (!info.isFile()) throw DataError(unusable(path, QStringLiteral("it is not a file")));
    if (!info.isReadable() || !info.isWritable())
        throw DataError(unusable(path, QStringLiteral("it cannot be read and written")));
    if (info.size() == 0) return;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) throw DataError(unusable(path, f.errorString()));
    if (f.read(16) != QByteArray("SQLite format 3\0", 16))
        throw DataError(unusable(path, QStringLiteral("it is not a table file")));
}

void Database::open(const QString& dataDir) {
    close();
    QDir dir(dataDir);
    if (!dir.exists() && !QDir().mkpath(dataDir))
        throw DataError(QStringLiteral("The data folder \"%1\" does not exist and cannot be created.")
                            .arg(QDir::toNativeSeparators(dataDir)));
    if (!QFileInfo(dataDir).isWritable())
        throw DataError(
            QStringLiteral("The data folder \"%1\" is read-only; the tables cannot be written there.")
                .arg(QDir::toNativeSeparators(dataDir)));
    m_dir = dir.absolutePath();

    // Every existing file is looked at before anything is opened, so a bad one stops the
    // opening before any file has been touched.
    for (const TableDef& t : allTables())
        checkFile(dir.filePath(t.fileName()));

    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    m_db.setDatabaseName(dir.filePath(tableDef(QStringLiteral("patient")).fileName()));
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=1500"));
    if (!m_db.open()) {
        const QString text = m_db.lastError().text();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw DataError(unusable(dir.filePath(QStringLiteral("patient.DAT")), text));
    }
    m_open = true;
    m_statements = 0;
    try {
        for (const TableDef& t : allTables())
            attachAndCheck(schemaOf(t.name), dir.filePath(t.fileName()), t.name);
    } catch (...) {
        close();
        throw;
    }
}

void Database::attachAndCheck(const QString& schema, const QString& path, const QString& table) {
    const TableDef& def = tableDef(table);
    const bool existed = QFileInfo(path).size() > 0;
    if (schema != QLatin1String("main")) {
        QSqlQuery attach(m_db);
        attach.prepare(QStringLiteral("ATTACH DATABASE ? AS ") + schema);
        attach.addBindValue(path);
        if (!attach.exec()) throw DataError(unusable(path, attach.lastError().text()));
    }
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type = 'table'").arg(schema)))
        throw DataError(unusable(path, q.lastError().text()));
    QStringList tables;
    while (q.next())
        tables << q.value(0).toString();
    q.finish();

    if (!tables.contains(def.name, Qt::CaseInsensitive)) {
        const bool onlyBookkeeping =
            tables.isEmpty() || tables == QStringList{QStringLiteral("sqlite_sequence")};
        if (existed && !onlyBookkeeping)
            throw DataError(unusable(path, QStringLiteral("it holds no table \"%1\"").arg(def.name)));
        if (!q.exec(def.createSql(schema))) throw DataError(unusable(path, q.lastError().text()));
    } else {
        if (!q.exec(QStringLiteral("PRAGMA %1.table_info(%2)").arg(schema, def.name)))
            throw DataError(unusable(path, q.lastError().text()));
        QStringList columns;
        while (q.next())
            columns << q.value(1).toString();
        q.finish();
        for (const FieldDef& f : def.fields)
            if (!columns.contains(f.name, Qt::CaseInsensitive))
                throw DataError(unusable(path, QStringLiteral("its table has no field %1").arg(f.name)));
    }
    // The plans are what reminders stand on: they go to disk at every change. The calendar's
    // scratch rows are rebuilt at every refresh and need no such care.
    const char* sync = def.fullSync ? "FULL" : def.name == QLatin1String("drplanner") ? "OFF" : "NORMAL";
    q.exec(QStringLiteral("PRAGMA %1.synchronous = %2").arg(schema, QLatin1String(sync)));
}

void Database::close() {
    m_cache.clear();
    if (m_open) {
        m_db.close();
        m_open = false;
    }
    m_db = QSqlDatabase();
    if (QSqlDatabase::contains(m_name)) QSqlDatabase::removeDatabase(m_name);
    m_depth = 0;
}

void Database::fail(const QString& context, const QString& engineText) const {
    throw DataError((context.isEmpty() ? engineText : context + QStringLiteral(": ") + engineText));
}

QSqlQuery& Database::statement(const QString& sql) {
    if (!m_open) throw DataError("The data store is closed.");
    // A statement whose rows are still being read (a loop over it is running) is never handed
    // out again: running it would pull the rows from under that loop. A second one is made.
    auto& pool = m_cache[sql];
    for (const auto& q : pool)
        if (!q->isActive()) return *q;
    auto q = std::make_shared<QSqlQuery>(m_db);
    if (!q->prepare(sql)) fail(QString(), q->lastError().text());
    pool.push_back(q);
    return *q;
}

void Database::run(QSqlQuery& q) {
    ++m_statements;
    if (!q.exec()) {
        const QString text = q.lastError().text();
        q.finish();
        fail(QString(), text);
    }
}

QSqlQuery& Database::run(const QString& sql, const QVariantList& values) {
    QSqlQuery& q = statement(sql);
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    run(q);
    return q;
}

void Database::finishAll() {
    for (auto& pool : m_cache)
        for (auto& q : pool)
            q->finish();
}

void Database::transaction(const std::function<void()>& work) {
    if (!m_open) throw DataError("The data store is closed.");
    if (m_depth > 0) {
        ++m_depth;
        try {
            work();
        } catch (...) {
            --m_depth;
            throw;
        }
        --m_depth;
        return;
    }
    ++m_statements;
    if (!m_db.transaction()) fail(QStringLiteral("Cannot begin a transaction"), m_db.lastError().text());
    m_depth = 1;
    try {
        work();
    } catch (...) {
        m_depth = 0;
        finishAll();
        m_db.rollback();
        throw;
    }
    m_depth = 0;
    finishAll();
    ++m_statements;
    if (!m_db.commit()) {
        const QString text = m_db.lastError().text();
        m_db.rollback();
        fail(QStringLiteral("Cannot save the changes"), text);
    }
}

} // namespace vantrel::data
