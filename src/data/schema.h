#pragma once
// The eight tables and their fields.
#include <QString>
#include <QStringList>
#include <vector>

namespace vantrel::data {

enum class FieldType { AutoInc, Integer, String, Text, Memo, Boolean, DateTime };

struct FieldDef {
    QString name;
    FieldType type;
    int width = 0; // String(n) only
};

struct TableDef {
    QString name;
    std::vector<FieldDef> fields;
    QString key; // the AutoInc field; empty where the table has none
    bool fullSync = false;

    QString fileName() const { return name + QStringLiteral(".DAT"); }
    int fieldIndex(const QString& field) const; // case-insensitive; -1 when unknown
    QString createSql(const QString& schema) const;
};

const std::vector<TableDef>& allTables();
const TableDef& tableDef(const QString& name);

bool isTextType(FieldType t);

} // namespace vantrel::data
