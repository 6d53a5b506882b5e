#pragma once
// A per-user store of typed values grouped under keys, the way the registry keeps them:
// key names ignore letter case, a key is a path of names separated by "\", and a value is
// either a 32-bit integer or a text, so a value of the wrong type can be told from a missing one.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vantrel::platform {

struct StoredValue {
    enum class Type { Integer, Text };
    Type type = Type::Integer;
    std::uint32_t integer = 0;
    std::string text;

    static StoredValue fromInteger(std::uint32_t v) { return {Type::Integer, v, {}}; }
    static StoredValue fromText(std::string t) { return {Type::Text, 0, std::move(t)}; }
    bool operator==(const StoredValue&) const = default;
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // True when the key or one of its subkeys holds anything or was created.
    virtual bool keyExists(const std::string& key) const = 0;
    virtual void createKey(const std::string& key) = 0;
    virtual std::optional<StoredValue> value(const std::string& key, const std::string& name) const = 0;
    virtual void setValue(const std::string& key, const std::string& name, const StoredValue& v) = 0;
    // Removing a value that does not exist is no error.
    virtual void removeValue(const std::string& key, const std::string& name) = 0;
    // Writes everything set so far to permanent storage; throws PlatformError when it cannot.
    virtual void save() = 0;
    // A description of what could not be read when the store was loaded, empty when nothing.
    virtual std::string loadProblem() const = 0;
    // True when the store exists but could not be read at all: it is left as it is, and saving
    // writes nothing over it for the rest of the run.
    virtual bool unreadable() const { return false; }
};

// The store kept in a file at the given path (the Linux side keeps one text file, readable by
// its owner only, replaced atomically on every save; the Windows side ignores the path and
// opens the per-user registry).
std::unique_ptr<SettingsStore> openSettingsFile(const std::string& path);

} // namespace vantrel::platform
