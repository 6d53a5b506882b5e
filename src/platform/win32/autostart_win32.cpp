#include "platform/autostart.h"
#include "platform/settingsstore.h"
#include "platform/systemerror.h"
#include "platform/win32/registrystore.h"

namespace vantrel::platform {

namespace {

const std::string kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// A part of a command line: in double quotes where it holds a blank.
std::string quoted(const std::string& s) {
    return s.find_first_of(" \t") == std::string::npos ? s : "\"" + s + "\"";
}

// The value under the Run key: the program path and its arguments, run at logon.
class RunKeyEntry : public AutoStartEntry {
public:
    void write(const std::string& title, const std::string& programPath,
               const std::vector<std::string>& arguments) override {
        std::string command = quoted(programPath);
        for (const std::string& a : arguments)
            command += " " + quoted(a);
        m_store->setValue(kRun, title, StoredValue::fromText(command));
    }
    void remove(const std::string& title) override { m_store->removeValue(kRun, title); }
    std::optional<std::string> command(const std::string& title) const override {
        const auto v = m_store->value(kRun, title);
        if (!v) return std::nullopt;
        return v->text;
    }
    std::string location(const std::string& title) const override {
        return "HKEY_CURRENT_USER\\" + kRun + "\\" + title;
    }

private:
    std::unique_ptr<SettingsStore> m_store = openRegistrySettings();
};

} // namespace

std::unique_ptr<AutoStartEntry> makeAutoStartEntry(const std::string&) {
    return std::make_unique<RunKeyEntry>();
}

} // namespace vantrel::platform
