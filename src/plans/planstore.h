#pragma once
// Plans in and out of the tables. A plan and its reminder row are written together in one
// transaction, as the wizards' Finish writes them: the old reminder row goes, a new one is
// appended, and the plan points to it.
#include "plans/plan.h"

#include <QList>
#include <optional>

namespace vantrel::data {
class Database;
}

namespace vantrel::plans {

class PlanStore {
public:
    explicit PlanStore(data::Database& db) : m_db(db) {}

    std::optional<Plan> load(int apptId) const;
    // Every plan in table order, of one profile or of all.
    QList<Plan> loadAll(std::optional<int> patientRef = std::nullopt) const;
    // Writes the plan with a new reminder row (its old one deleted) in one transaction; a plan
    // with APPTID -1 is added. Sets the plan's APPTID and NOTIFREF, and returns the APPTID.
    int save(Plan& plan);
    // The plan and its reminder row.
    void remove(int apptId);

private:
    QList<Plan> select(const QString& where, const QVariantList& values) const;
    data::Database& m_db;
};

} // namespace vantrel::plans
