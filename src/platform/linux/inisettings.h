#pragma once
#include "platform/settingsstore.h"

#include <map>
#include <string>
#include <vector>

namespace vantrel::platform {

// The settings store as a text file in the registry's export style:
//   [SOFTWARE\Vantrel\Planner]
//   "AutoStart"=dword:00000001
//   "SMTPServer"="mail.example.com"
class IniSettingsStore : public SettingsStore {
public:
    explicit IniSettingsStore(std::string path);

    bool keyExists(const std::string& key) const override;
    void createKey(const std::string& key) override;
    std::optional<StoredValue> value(const std::string& key, const std::string& name) const override;
    void setValue(const std::string& key, const std::string& name, const StoredValue& v) override;
    void removeValue(const std::string& key, const std::string& name) override;
    void save() override;
    std::string loadProblem() const override { return m_problem; }
    bool unreadable() const override { return m_unreadable; }

    // Beyond these sizes a file or a value is taken as damage, not read.
    static constexpr long long kMaxFileSize = 1024 * 1024;
    static constexpr size_t kMaxValueSize = 64 * 1024;

    static std::string serialize(const StoredValue& v);
    static std::optional<StoredValue> parseValue(const std::string& text);

private:
    struct Entry {
        std::string name;
        StoredValue value;
    };
    struct Section {
        std::string key; // spelled as first created
        std::vector<Entry> entries;
    };

    void load();
    Section* find(const std::string& key);
    const Section* find(const std::string& key) const;
    Section& ensure(const std::string& key);

    std::string m_path;
    std::vector<Section> m_sections;
    std::string m_problem;
    bool m_unreadable = false;
};

} // namespace vantrel::platform
