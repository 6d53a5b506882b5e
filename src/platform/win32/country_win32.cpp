#include "platform/country.h"
#include "platform/win32/registrystore.h"

#include <windows.h>

namespace vantrel::platform {

// The regional value "sCountry" of the user, else the English country name of the user's locale.
std::optional<std::string> regionalCountryName() {
    if (const auto v = openRegistrySettings()->value("Control Panel\\International", "sCountry");
        v && v->type == StoredValue::Type::Text && !v->text.empty())
        return v->text;
    wchar_t name[128] = {0};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SENGLISHCOUNTRYNAME, name, 128) > 0 && name[0])
        return narrow(name);
    return std::nullopt;
}

} // namespace vantrel::platform
