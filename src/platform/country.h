#pragma once
#include <optional>
#include <string>

namespace vantrel::platform {

// The English name of the country of the user's regional settings ("United States"),
// or nothing when the system names none.
std::optional<std::string> regionalCountryName();

} // namespace vantrel::platform
