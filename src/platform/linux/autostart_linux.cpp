#include "platform/autostart.h"

#include "base/errors.h"
#include "platform/qt/savefile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace vantrel::platform {

namespace {

// Quoting of an Exec argument as the desktop entry format wants it: a path with blanks or
// reserved characters goes inside double quotes, with ", `, $ and \ escaped; % is doubled.
std::string execArgument(const std::string& arg) {
    bool needsQuotes = arg.find_first_of(" \t\n\"'\\><~|&;$*?#()`") != std::string::npos;
    std::string out;
    for (char c : arg) {
        if (c == '%') {
            out += "%%";
            continue;
        }
        if (needsQuotes && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
        out += c;
    }
    return needsQuotes ? "\"" + out + "\"" : out;
}

class XdgAutoStart : public AutoStartEntry {
public:
    explicit XdgAutoStart(std::string configDir) : m_dir(std::move(configDir) + "/autostart") {}

    std::string location(const std::string&) const override { return m_dir + "/vantrel-planner.desktop"; }

    void write(const std::string& title, const std::string& programPath,
               const std::vector<std::string>& arguments) override {
        std::string exec = execArgument(programPath);
        for (const std::string& a : arguments)
            exec += ' ' + execArgument(a);
        std::ostringstream text;
        text << "[Desktop Entry]\n"
             << "Type=Application\n"
             << "Name=" << title << "\n"
             << "Comment=Starts " << title << " hidden in the notification area\n"
             << "Exec=" << exec << "\n"
             << "Terminal=false\n"
             << "X-GNOME-Autostart-enabled=true\n";
        const QString path = QString::fromStdString(location(title));
        // Readable by the desktop, writable by its owner only.
        saveFileAtomically(path, QByteArray::fromStdString(text.str()),
                           kOwnerOnly | QFileDevice::ReadGroup | QFileDevice::ReadOther,
                           QStringLiteral("\"%1\"").arg(path));
    }

    void remove(const std::string& title) override {
        const std::string path = location(title);
        if (::unlink(path.c_str()) != 0 && errno != ENOENT)
            throw PlatformError("Cannot delete \"" + path + "\": " + std::strerror(errno));
    }

    std::optional<std::string> command(const std::string& title) const override {
        std::ifstream in(location(title));
        if (!in) return std::nullopt;
        std::string line;
        while (std::getline(in, line))
            if (line.rfind("Exec=", 0) == 0) return line.substr(5);
        return std::string();
    }

private:
    std::string m_dir;
};

} // namespace

std::unique_ptr<AutoStartEntry> makeAutoStartEntry(const std::string& configDir) {
    return std::make_unique<XdgAutoStart>(configDir);
}

} // namespace vantrel::platform
