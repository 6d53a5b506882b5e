#pragma once
// The entry that starts the program at logon.
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::platform {

class AutoStartEntry {
public:
    virtual ~AutoStartEntry() = default;
    // Writes the entry so that the program runs at logon with the given arguments, each quoted
    // as the system needs. Throws PlatformError.
    virtual void write(const std::string& title, const std::string& programPath,
                       const std::vector<std::string>& arguments) = 0;
    // Deletes the entry; a missing entry is no error. Throws PlatformError.
    virtual void remove(const std::string& title) = 0;
    // The command line the entry runs, or nothing when there is no entry.
    virtual std::optional<std::string> command(const std::string& title) const = 0;
    // Where the entry lives, for messages.
    virtual std::string location(const std::string& title) const = 0;
};

// configDir is the user's configuration folder (on Linux $XDG_CONFIG_HOME or ~/.config).
std::unique_ptr<AutoStartEntry> makeAutoStartEntry(const std::string& configDir);

} // namespace vantrel::platform
