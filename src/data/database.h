#pragma once
// The data store: one SQLite connection with each table in a file of its own in the data
// directory. The patient file is the main database (so a transaction over several tables is
// atomic across their files); the other seven are attached under their table's name.
#include <QDir>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

#include "data/schema.h"

namespace vantrel::data {

struct TableDef;
struct Migration;

class Database {
public:
    // The program's migrations, and any given here after them (a test's own).
    explicit Database(QString connectionName = QStringLiteral("vandata"),
                      std::vector<Migration> extraMigrations = {});
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens (and where missing creates) the table files, and upgrades those of an earlier version
    // in one transaction after keeping a copy of each. Throws DataError naming the file when one
    // exists but is not a table file of ours, or is of a later version; such a file is left
    // untouched, and nothing is written.
    void open(const QString& dataDir);
    // Makes the data folder where it is missing (private to the user) and checks that the tables
    // can be written there; throws DataError naming the folder when not.
    static void prepareFolder(const QString& dataDir);
    void close();
    bool isOpen() const { return m_open; }
    QString dataDir() const { return m_dir; }
    QString schemaOf(const QString& table) const;

    // A prepared statement, kept for reuse while the connection is open. Every caller finishes
    // its statement when done with its rows; one still being read is never handed out twice.
    QSqlQuery& statement(const QString& sql);
    // Runs a statement with its bound values; throws DataError with the engine's text.
    void run(QSqlQuery& q);
    // Prepares, binds in order and runs one statement.
    QSqlQuery& run(const QString& sql, const QVariantList& values = {});

    // Runs the function inside one transaction: all of its writes land, or none do.
    void transaction(const std::function<void()>& work);
    bool inTransaction() const { return m_depth > 0; }

    // The version a table's file has once it is upgraded.
    int latestVersion(const QString& table) const;
    // The tables whose files the last opening made (an empty folder makes them all).
    const QStringList& createdTables() const { return m_created; }

    // How many statements have been executed since the connection opened.
    quint64 statementCount() const { return m_statements; }
    QSqlDatabase& connection() { return m_db; }

private:
    // The file's version (0 when it has none or does not exist yet).
    int checkFile(const QString& path, const TableDef& def) const;
    void recoverInterruptedWrite(const QString& path) const;
    QString lookInto(const QString& path, const QString& suffix, bool readOnly,
                     const std::function<QString(QSqlQuery&)>& look) const;
    void removeLeftoverJournals();
    bool inspectFile(const QString& path, const TableDef& def, int version) const;
    void keepCopyBeforeUpgrade(const QString& path, int version) const;
    void upgrade(const QHash<QString, int>& versions, const QStringList& created);
    void attachTable(const QString& schema, const QString& path, const QString& table, bool create);
    void keepKeysAboveReferences(const TableDef& def);
    void finishAll();
    [[noreturn]] void fail(const QString& context, const QSqlError& error) const;

    QString m_name;
    std::vector<Migration> m_migrations;
    QStringList m_created;
    QString m_dir;
    QSqlDatabase m_db;
    bool m_open = false;
    int m_depth = 0;
    quint64 m_statements = 0;
    QHash<QString, std::vector<std::shared_ptr<QSqlQuery>>> m_cache;
};

} // namespace vantrel::data
