#pragma once
// The tables, their fields, and the versions of their files. A table file carries its version in
// SQLite's user_version: 1 is the file as it first was (a file written before versions were kept
// holds 0 and is the same), and each later version only adds (a column with a default, a table
// file of its own).
#include <QString>
#include <QStringList>
#include <vector>

namespace vantrel::data {

enum class FieldType { AutoInc, Integer, String, Text, Memo, Boolean, DateTime };

struct FieldDef {
    QString name;
    FieldType type;
    int width = 0;             // String(n) only
    int since = 1;             // the version of its table's file that added it
    QString defaultValue = {}; // SQL, for a field added to a file that has rows
    QString upgradeValue = {}; // SQL that the rows already in the file get at the upgrade
};

struct TableDef {
    QString name;
    std::vector<FieldDef> fields;
    QString key; // the AutoInc field; empty where the table has none
    bool fullSync = false;
    QStringList indexes = {}; // made with the table: CREATE ... INDEX statements, %1 the schema

    QString fileName() const { return name + QStringLiteral(".DAT"); }
    int fieldIndex(const QString& field) const; // case-insensitive; -1 when unknown
    // The table as its file's first version has it; the later fields come by migration.
    QString createSql(const QString& schema) const;
};

const std::vector<TableDef>& allTables();
const TableDef& tableDef(const QString& name);

// One step of a table file's upgrade, from `version` - 1 to `version`. Its statements name the
// table's schema as %1.
struct Migration {
    QString table;
    int version;
    QStringList statements;
};
// The program's: a column added at a later version becomes an ALTER TABLE of that version.
std::vector<Migration> programMigrations();
// The version a table's file has once every migration has run: 1 when none has.
int latestVersion(const QString& table, const std::vector<Migration>& migrations);

bool isTextType(FieldType t);

} // namespace vantrel::data
