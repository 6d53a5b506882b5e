#include "data/database.h"

#include "base/errors.h"
#include "base/logging.h"
#include "data/schema.h"
#include "platform/qt/savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>
#include <algorithm>

namespace vantrel::data {

namespace {

QString unusable(const QString& path, const QString& why) {
    return QStringLiteral("The table file \"%1\" cannot be used: %2. The file has been left as it is.")
        .arg(QDir::toNativeSeparators(path), why);
}

int engineCode(const QSqlError& e) {
    return e.nativeErrorCode().toInt();
}

// A write cut short by a crash or a power cut leaves its rollback journal beside the file.
QString journalOf(const QString& path) {
    return path + QStringLiteral("-journal");
}

} // namespace

Database::~Database() {
    close();
}

QString Database::schemaOf(const QString& table) const {
    return table.compare(QLatin1String("patient"), Qt::CaseInsensitive) == 0 ? QStringLiteral("main") : table;
}

Database::Database(QString connectionName, std::vector<Migration> extraMigrations)
    : m_name(std::move(connectionName)), m_migrations(programMigrations()) {
    m_migrations.insert(m_migrations.end(), extraMigrations.begin(), extraMigrations.end());
    std::stable_sort(m_migrations.begin(), m_migrations.end(),
                     [](const Migration& a, const Migration& b) { return a.version < b.version; });
}

int Database::latestVersion(const QString& table) const {
    return data::latestVersion(table, m_migrations);
}

int Database::checkFile(const QString& path, const TableDef& def) const {
    QFileInfo info(path);
    if (!info.exists()) return 0;
    if (!info.isFile()) throw DataError(unusable(path, QStringLiteral("it is not a file")));
    if (!info.isReadable() || !info.isWritable())
        throw DataError(unusable(path, QStringLiteral("it cannot be read and written")));
    if (info.size() == 0) return 0;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) throw DataError(unusable(path, f.errorString()));
    const QByteArray header = f.read(100);
    if (!header.startsWith(QByteArray("SQLite format 3\0", 16)))
        throw DataError(unusable(path, QStringLiteral("it is not a table file")));
    // The file's version stands in its header (SQLite's user_version, at byte 60, big-endian):
    // a file of a later program is refused before anything could write to it.
    if (header.size() < 64) return 0;
    const auto byte = [&](int i) { return static_cast<quint32>(static_cast<unsigned char>(header[60 + i])); };
    const int version = static_cast<int>(byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3));
    if (version > latestVersion(def.name))
        throw DataError(
            QStringLiteral("The table file \"%1\" was written by a later version of Vantrel Planner "
                           "(its version is %2; this program knows versions up to %3). It has been "
                           "left as it is; start the later program again, or use a copy of the "
                           "tables this program wrote.")
                .arg(QDir::toNativeSeparators(path))
                .arg(version)
                .arg(latestVersion(def.name)));
    return version;
}

// Looks into an existing table file without writing to it: its pages must be sound, and it must
// hold our table with every field, or nothing but SQLite's own bookkeeping. True when the table
// has yet to be made in it.
bool Database::inspectFile(const QString& path, const TableDef& def, int version) const {
    if (!QFileInfo::exists(path) || QFileInfo(path).size() == 0) return true;
    bool needsTable = false;
    const QString problem = lookInto(path, QStringLiteral("-inspect"), true, [&](QSqlQuery& q) -> QString {
        if (!q.exec(QStringLiteral("PRAGMA quick_check")) || !q.next()) return q.lastError().text();
        if (q.value(0).toString() != QLatin1String("ok"))
            return QStringLiteral("it is damaged (%1)").arg(q.value(0).toString());
        q.finish();
        QStringList tables;
        if (q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")))
            while (q.next())
                tables << q.value(0).toString();
        q.finish();
        if (!tables.contains(def.name, Qt::CaseInsensitive)) {
            needsTable = tables.isEmpty() || tables == QStringList{QStringLiteral("sqlite_sequence")};
            return needsTable ? QString() : QStringLiteral("it holds no table \"%1\"").arg(def.name);
        }
        QStringList columns;
        if (q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(def.name)))
            while (q.next())
                columns << q.value(1).toString();
        q.finish();
        for (const FieldDef& f : def.fields)
            if (f.since <= std::max(version, 1) && !columns.contains(f.name, Qt::CaseInsensitive))
                return QStringLiteral("its table has no field %1").arg(f.name);
        return QString();
    });
    if (!problem.isEmpty()) throw DataError(unusable(path, problem));
    return needsTable;
}

// Opens one table file on a connection of its own (read-only or not), hands a statement to
// `look`, and closes it again. The problem met, empty when none.
QString Database::lookInto(const QString& path, const QString& suffix, bool readOnly,
                           const std::function<QString(QSqlQuery&)>& look) const {
    const QString name = m_name + suffix;
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(readOnly ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=1500")
                                      : QStringLiteral("QSQLITE_BUSY_TIMEOUT=1500"));
        if (!db.open()) {
            problem = db.lastError().text();
        } else {
            QSqlQuery q(db);
            problem = look(q);
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return problem;
}

void Database::prepareFolder(const QString& dataDir) {
    const QFileInfo info(dataDir);
    if (info.exists() && !info.isDir())
        throw DataError(
            QStringLiteral("The data folder \"%1\" is a file, not a folder; the tables cannot be kept there.")
                .arg(QDir::toNativeSeparators(dataDir)));
    // A data folder the program makes is the user's alone; one that exists keeps its mode.
    if (!info.exists() && !platform::makePrivatePath(dataDir))
        throw DataError(QStringLiteral("The data folder \"%1\" does not exist and cannot be created.")
                            .arg(QDir::toNativeSeparators(dataDir)));
    if (!QFileInfo(dataDir).isWritable())
        throw DataError(
            QStringLiteral("The data folder \"%1\" is read-only; the tables cannot be written there.")
                .arg(QDir::toNativeSeparators(dataDir)));
}

// A table file whose last write was cut short is opened for writing on its own, so that SQLite
// rolls the write back (or finishes a commit that was already made), before anything else looks
// at it: a read-only look cannot do that, and would refuse a file that is only interrupted.
void Database::recoverInterruptedWrite(const QString& path) const {
    if (!QFileInfo(journalOf(path)).isFile()) return;
    // The first read takes the lock at which SQLite plays the journal back.
    const QString problem = lookInto(path, QStringLiteral("-recover"), false, [](QSqlQuery& q) {
        return q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) && q.next()
                   ? QString()
                   : q.lastError().text();
    });
    if (!problem.isEmpty())
        throw DataError(unusable(
            path, QStringLiteral("its last write, cut short, could not be rolled back (%1)").arg(problem)));
    qCInfo(lcData) << "rolled back the write cut short in" << path;
}

// A commit over several table files writes a super-journal beside the main file, and a crash can
// leave it behind, or leave a journal that SQLite no longer counts as hot. With a write lock on
// every table file no other writer can be half-way through a commit, and the recovery has rolled
// back what needed it: whatever journal of ours is left is a leftover.
void Database::removeLeftoverJournals() {
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) return; // another writer: its journals are its own
    const QDir dir(m_dir);
    QStringList ours;
    for (const TableDef& t : allTables())
        ours << t.fileName() + QStringLiteral("-mj*") << t.fileName() + QStringLiteral("-journal");
    for (const QString& leftover : dir.entryList(ours, QDir::Files | QDir::Hidden))
        QFile::remove(dir.filePath(leftover));
    q.exec(QStringLiteral("ROLLBACK"));
}

void Database::open(const QString& dataDir) {
    close();
    prepareFolder(dataDir);
    QDir dir(dataDir);
    m_dir = dir.absolutePath();

    // Every existing file is looked at, to its pages, before anything is opened or created, so
    // a bad one stops the opening before any file has been touched or added.
    QStringList toCreate;
    QHash<QString, int> versions;
    for (const TableDef& t : allTables())
        versions[t.name] = checkFile(dir.filePath(t.fileName()), t);
    for (const TableDef& t : allTables())
        recoverInterruptedWrite(dir.filePath(t.fileName()));
    for (const TableDef& t : allTables())
        if (inspectFile(dir.filePath(t.fileName()), t, versions[t.name])) toCreate << t.name;
    // Before a file is first upgraded, a copy of it as it was is kept beside it.
    for (const TableDef& t : allTables())
        if (!toCreate.contains(t.name) && std::max(versions[t.name], 1) < latestVersion(t.name))
            keepCopyBeforeUpgrade(dir.filePath(t.fileName()), std::max(versions[t.name], 1));
    // The tables hold a household's medical data: readable by its owner only.
    for (const TableDef& t : allTables()) {
        QFile f(dir.filePath(t.fileName()));
        if (!f.exists() && !f.open(QIODevice::WriteOnly))
            throw DataError(unusable(f.fileName(), f.errorString()));
        f.close();
        f.setPermissions(platform::kOwnerOnly);
    }

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
            attachTable(schemaOf(t.name), dir.filePath(t.fileName()), t.name, toCreate.contains(t.name));
        // A table made anew while others still point into it hands out keys above theirs, so a
        // new row never takes over what belonged to an old one.
        for (const QString& t : toCreate)
            keepKeysAboveReferences(tableDef(t));
        upgrade(versions, toCreate);
        m_created = toCreate;
        qCDebug(lcData) << "opened the tables in" << m_dir << "made anew:" << toCreate;
        removeLeftoverJournals();
    } catch (...) {
        close();
        throw;
    }
}

void Database::keepCopyBeforeUpgrade(const QString& path, int version) const {
    const QString copy = path + QStringLiteral(".version%1").arg(version);
    if (QFileInfo::exists(copy)) return; // the first upgrade's copy stays
    if (!QFile::copy(path, copy) || !QFile::setPermissions(copy, platform::kOwnerOnly)) {
        QFile::remove(copy);
        throw DataError(
            unusable(path, QStringLiteral("a copy of it cannot be kept before its upgrade (\"%1\")")
                               .arg(QDir::toNativeSeparators(copy))));
    }
    qCInfo(lcData) << "kept a copy of" << path << "as" << copy;
}

// Every file below its latest version is brought to it in one transaction: all of them are
// upgraded, or none is. A file made just now starts at version 1, as every file once did.
void Database::upgrade(const QHash<QString, int>& versions, const QStringList& created) {
    QStringList stale;
    for (const TableDef& t : allTables())
        if (versions.value(t.name) != latestVersion(t.name) || created.contains(t.name)) stale << t.name;
    if (stale.isEmpty()) return;
    transaction([&] {
        for (const QString& table : stale) {
            const int from = created.contains(table) ? 1 : std::max(versions.value(table), 1);
            for (const Migration& m : m_migrations)
                if (m.table.compare(table, Qt::CaseInsensitive) == 0 && m.version > from)
                    for (const QString& statement : m.statements)
                        run(statement.arg(schemaOf(table))).finish();
            run(QStringLiteral("PRAGMA %1.user_version = %2").arg(schemaOf(table)).arg(latestVersion(table)))
                .finish();
            if (from < latestVersion(table) && !created.contains(table))
                qCInfo(lcData) << "upgraded" << table << "from version" << from << "to"
                               << latestVersion(table);
        }
    });
}

void Database::attachTable(const QString& schema, const QString& path, const QString& table, bool create) {
    const TableDef& def = tableDef(table);
    QSqlQuery q(m_db);
    if (schema != QLatin1String("main")) {
        q.prepare(QStringLiteral("ATTACH DATABASE ? AS ") + schema);
        q.addBindValue(path);
        if (!q.exec()) throw DataError(unusable(path, q.lastError().text()));
    }
    if (create && !q.exec(def.createSql(schema))) throw DataError(unusable(path, q.lastError().text()));
    if (create)
        for (const QString& index : def.indexes)
            if (!q.exec(index.arg(schema))) throw DataError(unusable(path, q.lastError().text()));
    // The plans are what reminders stand on: they go to disk at every change. The calendar's
    // scratch rows are rebuilt at every refresh and need no such care.
    const char* sync = def.fullSync ? "FULL" : def.name == QLatin1String("drplanner") ? "OFF" : "NORMAL";
    q.exec(QStringLiteral("PRAGMA %1.synchronous = %2").arg(schema, QLatin1String(sync)));
}

void Database::keepKeysAboveReferences(const TableDef& def) {
    if (def.key.isEmpty()) return;
    qint64 highest = 0;
    QSqlQuery q(m_db);
    for (const TableDef& other : allTables()) {
        if (other.name == def.name || other.fieldIndex(def.key) < 0) continue;
        if (q.exec(
                QStringLiteral("SELECT max(%1) FROM %2.%3").arg(def.key, schemaOf(other.name), other.name)) &&
            q.next())
            highest = std::max(highest, q.value(0).toLongLong());
        q.finish();
    }
    if (highest <= 0) return;
    const QString schema = schemaOf(def.name);
    if (!q.exec(QStringLiteral("DELETE FROM %1.sqlite_sequence WHERE name = '%2'").arg(schema, def.name)) ||
        !q.exec(QStringLiteral("INSERT INTO %1.sqlite_sequence (name, seq) VALUES ('%2', %3)")
                    .arg(schema, def.name)
                    .arg(highest)))
        throw DataError(unusable(m_dir + QLatin1Char('/') + def.fileName(), q.lastError().text()));
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

void Database::fail(const QString& context, const QSqlError& error) const {
    const QString text = error.text();
    throw DataError(context.isEmpty() ? text : context + QStringLiteral(": ") + text, engineCode(error));
}

QSqlQuery& Database::statement(const QString& sql) {
    if (!m_open) throw DataError("The data store is closed.");
    // A statement whose rows are still being read (a loop over it is running) is never handed
    // out again: running it would pull the rows from under that loop. A second one is made.
    auto& pool = m_cache[sql];
    for (const auto& q : pool)
        if (!q->isActive()) return *q;
    auto q = std::make_shared<QSqlQuery>(m_db);
    // Rows are only ever read forward: without this, Qt keeps a copy of every row read until the
    // statement runs again, which for all the plans of a household is megabytes held all day.
    q->setForwardOnly(true);
    if (!q->prepare(sql)) fail(QString(), q->lastError());
    pool.push_back(q);
    return *q;
}

void Database::run(QSqlQuery& q) {
    ++m_statements;
    if (!q.exec()) {
        const QSqlError error = q.lastError();
        q.finish();
        fail(QString(), error);
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
    if (!m_db.transaction()) fail(QStringLiteral("Cannot begin a transaction"), m_db.lastError());
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
        const QSqlError error = m_db.lastError();
        m_db.rollback();
        fail(QStringLiteral("Cannot save the changes"), error);
    }
}

} // namespace vantrel::data
