#pragma once
// The profiles of the household, as the windows and the command line look them up.
#include <QString>
#include <optional>

namespace vantrel::data {

class Database;

// The name of the profile, empty when there is no such profile.
QString profileName(Database& db, int patientRef);
int profileCount(Database& db);
// The key of the first profile of that name, or nothing.
std::optional<int> profileNamed(Database& db, const QString& name);

} // namespace vantrel::data
