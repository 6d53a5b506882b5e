#include "data/schema.h"

#include "base/errors.h"

#include <algorithm>

namespace vantrel::data {

namespace {

using FT = FieldType;

// The local time now as the tables keep date-times: days since 1899-12-30 (Julian day 2415018.5).
const QString kNowAsDateTime = QStringLiteral("julianday('now', 'localtime') - 2415018.5");

std::vector<TableDef> makeTables() {
    return {
        {"patient", {{"PATIENTREF", FT::AutoInc}, {"NAME", FT::Text}}, "PATIENTREF"},
        {"doctor",
         {{"DRREF", FT::AutoInc},
          {"LASTNAME", FT::String, 20},
          {"FIRSTNAME", FT::String, 15},
          {"MINITIAL", FT::String, 1},
          {"SPECIALTY", FT::String, 35},
          {"POFFICE", FT::String, 15},
          {"PMOBILE", FT::String, 15},
          {"PHOME", FT::String, 15},
          {"PFAX", FT::String, 15},
          {"COMMENTS", FT::Memo}},
         "DRREF"},
        {"dlref", {{"DLREF", FT::AutoInc}, {"PATIENTREF", FT::Integer}, {"DRREF", FT::Integer}}, "DLREF"},
        {"medicine",
         {{"MEDREF", FT::AutoInc},
          {"NAME", FT::Text},
          {"ACTIVEIN", FT::Text},
          {"SIDEEFFECTS", FT::Text},
          {"WARNINGS", FT::Memo},
          {"COMMENTS", FT::Memo}},
         "MEDREF"},
        {"mlref",
         {{"MLREF", FT::AutoInc},
          {"PATIENTREF", FT::Integer},
          {"MEDREF", FT::Integer},
          {"rxnum", FT::Text},
          // Pills on hand: empty when not counted; the dose in pills; the days left that warn.
          {"PILLSONHAND", FT::Integer, 0, 2},
          {"PILLSPERDOSE", FT::Integer, 0, 2, "1"},
          {"REFILLDAYS", FT::Integer, 0, 2, "7"}},
         "MLREF"},
        {"planlist",
         {{"APPTID", FT::AutoInc},
          {"PATIENTREF", FT::Integer},
          {"APPTTYPE", FT::String, 1},
          {"DRREF", FT::Integer},
          {"MEDREF", FT::Integer},
          {"STARTTIME", FT::DateTime},
          {"ENDTIME", FT::DateTime},
          {"REPTYPE", FT::String, 1},
          {"REPDAYS", FT::Integer},
          {"REPEND", FT::DateTime},
          {"NOTIFREF", FT::Integer},
          // When the plan was last written; a plan of an earlier file counts from the upgrade.
          // Reminders that came due before it are never caught up.
          {"CHANGEDAT", FT::DateTime, 0, 2, "", kNowAsDateTime}},
         "APPTID",
         true},
        {"notif",
         {{"NOTIFREF", FT::AutoInc},
          {"NOTIFTYPE", FT::String, 1},
          {"NOTIFMIN", FT::Integer},
          {"NOTIFTEXT", FT::Text},
          {"PLAYAUDIO", FT::Boolean},
          {"AUDIOFILE", FT::Text},
          {"SENDEMAIL", FT::Boolean},
          {"EMAILFROM", FT::Text},
          {"EMAILTO", FT::Text},
          {"EMAILSUBJECT", FT::Text},
          {"EMAILMESSAGE", FT::Text}},
         "NOTIFREF"},
        // What happened to each occurrence of a plan: one row each, its names copied so that the
        // history outlives a rename or a removal.
        {"doselog",
         {{"LOGID", FT::AutoInc},
          {"PATIENTREF", FT::Integer},
          {"APPTID", FT::Integer},
          {"APPTTYPE", FT::String, 1},
          {"ITEMNAME", FT::Text},
          {"EVENTTIME", FT::DateTime},
          {"RAISEDAT", FT::DateTime},
          {"STATE", FT::String, 1},
          {"ACTEDAT", FT::DateTime},
          {"SNOOZEUNTIL", FT::DateTime},
          {"NOTE", FT::Memo}},
         "LOGID",
         true,
         {"CREATE UNIQUE INDEX %1.doselog_occurrence ON doselog (APPTID, EVENTTIME)",
          "CREATE INDEX %1.doselog_patient ON doselog (PATIENTREF, EVENTTIME)"}},
        {"drplanner",
         {{"PLANNERKEY", FT::Text},
          {"STARTTIME", FT::DateTime},
          {"ENDTIME", FT::DateTime},
          {"SUBJECT", FT::Text},
          {"COLOR", FT::Integer},
          {"APPTTYPE", FT::String, 1},
          {"DRREF", FT::Integer},
          {"MEDREF", FT::Integer}},
         ""},
    };
}

QString sqlType(const FieldDef& f) {
    switch (f.type) {
    case FT::AutoInc:
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case FT::Integer:
    case FT::Boolean:
        return QStringLiteral("INTEGER");
    case FT::DateTime:
        return QStringLiteral("REAL");
    case FT::String:
        return QStringLiteral("VARCHAR(%1)").arg(f.width);
    case FT::Text:
        return QStringLiteral("TEXT");
    case FT::Memo:
        return QStringLiteral("MEMO");
    }
    return {};
}

} // namespace

int TableDef::fieldIndex(const QString& field) const {
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name.compare(field, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
    return -1;
}

QString TableDef::createSql(const QString& schema) const {
    QStringList cols;
    for (const FieldDef& f : fields)
        if (f.since <= 1) cols << f.name + QLatin1Char(' ') + sqlType(f);
    return QStringLiteral("CREATE TABLE %1.%2 (%3)").arg(schema, name, cols.join(QStringLiteral(", ")));
}

std::vector<Migration> programMigrations() {
    std::vector<Migration> out;
    for (const TableDef& t : allTables())
        for (const FieldDef& f : t.fields) {
            if (f.since <= 1) continue;
            QString column = f.name + QLatin1Char(' ') + sqlType(f);
            if (!f.defaultValue.isEmpty()) column += QStringLiteral(" DEFAULT ") + f.defaultValue;
            const QString statement =
                QStringLiteral("ALTER TABLE %1.") + t.name + QStringLiteral(" ADD COLUMN ") + column;
            auto step = std::find_if(out.begin(), out.end(), [&](const Migration& m) {
                return m.table == t.name && m.version == f.since;
            });
            QStringList statements{statement};
            if (!f.upgradeValue.isEmpty())
                statements << QStringLiteral("UPDATE %1.") + t.name + QStringLiteral(" SET ") + f.name +
                                  QStringLiteral(" = ") + f.upgradeValue;
            if (step == out.end())
                out.push_back({t.name, f.since, statements});
            else
                step->statements << statements;
        }
    std::sort(out.begin(), out.end(),
              [](const Migration& a, const Migration& b) { return a.version < b.version; });
    return out;
}

int latestVersion(const QString& table, const std::vector<Migration>& migrations) {
    int v = 1;
    for (const Migration& m : migrations)
        if (m.table.compare(table, Qt::CaseInsensitive) == 0) v = std::max(v, m.version);
    return v;
}

const std::vector<TableDef>& allTables() {
    static const std::vector<TableDef> tables = makeTables();
    return tables;
}

const TableDef& tableDef(const QString& name) {
    for (const TableDef& t : allTables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0) return t;
    throw DataError(QStringLiteral("Table '%1' does not exist").arg(name));
}

bool isTextType(FieldType t) {
    return t == FT::String || t == FT::Text || t == FT::Memo;
}

} // namespace vantrel::data
