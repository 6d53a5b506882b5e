#include "data/filter.h"

#include "base/errors.h"
#include "data/schema.h"

#include <QRegularExpression>

namespace vantrel::data {

std::vector<Comparison> parseFilter(const QString& text, const TableDef& table) {
    static const QRegularExpression one(
        QStringLiteral(R"(^\s*([A-Za-z_][A-Za-z0-9_]*)\s*=\s*(-?\d{1,18})\s*$)"));
    static const QRegularExpression andWord(QStringLiteral(R"(\s+and\s+)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QStringList parts = text.split(andWord);
    if (text.trimmed().isEmpty() || parts.size() > 2)
        throw DataError(QStringLiteral("Invalid filter \"%1\" on table %2").arg(text, table.name));
    std::vector<Comparison> out;
    for (const QString& part : parts) {
        const auto m = one.match(part);
        if (!m.hasMatch())
            throw DataError(QStringLiteral("Invalid filter \"%1\" on table %2").arg(text, table.name));
        const int field = table.fieldIndex(m.captured(1));
        if (field < 0)
            throw DataError(
                QStringLiteral("Field '%1' not found in table %2").arg(m.captured(1), table.name));
        out.push_back({field, m.captured(2).toLongLong()});
    }
    return out;
}

} // namespace vantrel::data
