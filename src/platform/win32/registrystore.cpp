#include "platform/win32/registrystore.h"

#include "platform/systemerror.h"

#include <windows.h>

namespace vantrel::platform {

std::wstring widen(const std::string& s, unsigned codePage) {
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
    return out;
}

std::string narrow(const std::wstring& s, unsigned codePage) {
    if (s.empty()) return {};
    const int n =
        WideCharToMultiByte(codePage, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

namespace {

std::string systemText(LONG code) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string out = text ? narrow(text) : "error " + std::to_string(code);
    if (text) LocalFree(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

// An open key that closes itself.
struct Key {
    HKEY h = nullptr;
    ~Key() {
        if (h) RegCloseKey(h);
    }
};

class RegistryStore : public SettingsStore {
public:
    bool keyExists(const std::string& key) const override {
        Key k;
        return RegOpenKeyExW(HKEY_CURRENT_USER, widen(key).c_str(), 0, KEY_READ, &k.h) == ERROR_SUCCESS;
    }

    void createKey(const std::string& key) override {
        Key k;
        const LONG r = RegCreateKeyExW(HKEY_CURRENT_USER, widen(key).c_str(), 0, nullptr, 0, KEY_WRITE,
                                       nullptr, &k.h, nullptr);
        if (r != ERROR_SUCCESS)
            throw SystemError("Cannot create the registry key \"" + key + "\": " + systemText(r));
    }

    std::optional<StoredValue> value(const std::string& key, const std::string& name) const override {
        Key k;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, widen(key).c_str(), 0, KEY_READ, &k.h) != ERROR_SUCCESS)
            return std::nullopt;
        const std::wstring n = widen(name);
        DWORD type = 0, size = 0;
        if (RegQueryValueExW(k.h, n.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        if (type == REG_DWORD) {
            DWORD v = 0;
            size = sizeof v;
            RegQueryValueExW(k.h, n.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&v), &size);
            return StoredValue::fromInteger(v);
        }
        // Texts, and any other type read as text, so that a reader expecting a number can tell
        // a mistyped value from a missing one.
        std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        RegQueryValueExW(k.h, n.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &size);
        text.resize(wcsnlen(text.c_str(), text.size()));
        return StoredValue::fromText(type == REG_SZ || type == REG_EXPAND_SZ ? narrow(text) : std::string());
    }

    void setValue(const std::string& key, const std::string& name, const StoredValue& v) override {
        createKey(key);
        Key k;
        RegOpenKeyExW(HKEY_CURRENT_USER, widen(key).c_str(), 0, KEY_WRITE, &k.h);
        LONG r;
        if (v.type == StoredValue::Type::Integer) {
            const DWORD d = v.integer;
            r = RegSetValueExW(k.h, widen(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&d),
                               sizeof d);
        } else {
            const std::wstring t = widen(v.text);
            r = RegSetValueExW(k.h, widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(t.c_str()),
                               static_cast<DWORD>((t.size() + 1) * sizeof(wchar_t)));
        }
        if (r != ERROR_SUCCESS)
            throw SystemError("Cannot write the registry value \"" + name + "\": " + systemText(r));
    }

    void removeValue(const std::string& key, const std::string& name) override {
        Key k;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, widen(key).c_str(), 0, KEY_WRITE, &k.h) != ERROR_SUCCESS) return;
        const LONG r = RegDeleteValueW(k.h, widen(name).c_str());
        if (r != ERROR_SUCCESS && r != ERROR_FILE_NOT_FOUND)
            throw SystemError("Cannot delete the registry value \"" + name + "\": " + systemText(r));
    }

    // Every value is written as it is set.
    void save() override {}
    std::string loadProblem() const override { return {}; }
};

} // namespace

std::unique_ptr<SettingsStore> openRegistrySettings() {
    return std::make_unique<RegistryStore>();
}

// On Windows the settings live in the registry, where other programs (and the user) look for
// them; there is no file.
std::unique_ptr<SettingsStore> openSettingsFile(const std::string&) {
    return openRegistrySettings();
}

} // namespace vantrel::platform
