#pragma once
// Filter texts of the cursors: one "FIELD = number" comparison, or two joined by AND.
// They are parsed, never pasted into SQL; the numbers are bound.
#include <QString>
#include <vector>

namespace vantrel::data {

struct TableDef;

struct Comparison {
    int field; // index into the table's fields
    qint64 value;
};

// Throws DataError when the text is not of that form or names an unknown field.
std::vector<Comparison> parseFilter(const QString& text, const TableDef& table);

} // namespace vantrel::data
