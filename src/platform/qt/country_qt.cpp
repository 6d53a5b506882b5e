#include "platform/country.h"

#include <QLocale>

namespace vantrel::platform {

std::optional<std::string> regionalCountryName() {
    const QLocale system = QLocale::system();
    if (system.territory() == QLocale::AnyTerritory) return std::nullopt;
    return QLocale::territoryToString(system.territory()).toStdString();
}

} // namespace vantrel::platform
