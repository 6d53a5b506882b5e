#include "platform/linux/inisettings.h"

#include "base/errors.h"
#include "platform/qt/savefile.h"

#include <QFileInfo>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace vantrel::platform {

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// "\SOFTWARE\x\" and "software\x" name the same key.
std::string normalKey(const std::string& key) {
    std::string k = lower(key);
    while (!k.empty() && k.front() == '\\')
        k.erase(k.begin());
    while (!k.empty() && k.back() == '\\')
        k.pop_back();
    return k;
}

bool sameName(const std::string& a, const std::string& b) {
    return lower(a) == lower(b);
}

std::string quote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out + "\"";
}

// Reads a quoted text starting at pos; returns the position after the closing quote or npos.
size_t unquote(const std::string& line, size_t pos, std::string& out) {
    if (pos >= line.size() || line[pos] != '"') return std::string::npos;
    out.clear();
    for (size_t i = pos + 1; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') return i + 1;
        if (c == '\\') {
            if (++i >= line.size()) return std::string::npos;
            char e = line[i];
            out += e == 'n' ? '\n' : e == 'r' ? '\r' : e;
        } else {
            out += c;
        }
    }
    return std::string::npos;
}

} // namespace

IniSettingsStore::IniSettingsStore(std::string path) : m_path(std::move(path)) {
    load();
}

std::string IniSettingsStore::serialize(const StoredValue& v) {
    if (v.type == StoredValue::Type::Text) return quote(v.text);
    char buf[16];
    std::snprintf(buf, sizeof buf, "dword:%08x", v.integer);
    return buf;
}

std::optional<StoredValue> IniSettingsStore::parseValue(const std::string& text) {
    if (text.rfind("dword:", 0) == 0) {
        std::string hex = text.substr(6);
        if (hex.empty() || hex.size() > 8 ||
            hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            return std::nullopt;
        return StoredValue::fromInteger(static_cast<std::uint32_t>(std::stoul(hex, nullptr, 16)));
    }
    std::string s;
    size_t end = unquote(text, 0, s);
    if (end != text.size()) return std::nullopt;
    return StoredValue::fromText(s);
}

void IniSettingsStore::load() {
    const QFileInfo info(QString::fromStdString(m_path));
    if (!info.exists() && !info.isSymLink()) return; // no file yet: an empty store
    std::ifstream in(m_path, std::ios::binary);
    char probe = 0;
    if (!info.isFile() || !in || (in.get(probe), in.bad())) {
        m_unreadable = true;
        m_problem = "it cannot be read";
        return;
    }
    in.clear();
    in.seekg(0);
    if (info.size() > kMaxFileSize) {
        m_problem = "it is larger than 1 MiB";
        return;
    }
    std::string line;
    Section* current = nullptr;
    int lineNo = 0;
    auto complain = [&](const std::string& what) {
        if (m_problem.empty()) m_problem = "line " + std::to_string(lineNo) + ": " + what;
    };
    while (std::getline(in, line)) {
        ++lineNo;
        // A file saved by an editor may begin with a byte-order mark and end its lines with CR LF.
        if (lineNo == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line[0] == '[') {
            if (line.back() != ']' || line.size() < 3) {
                complain("a key name without its closing bracket");
                current = nullptr;
                continue;
            }
            current = &ensure(line.substr(1, line.size() - 2));
            continue;
        }
        std::string name;
        size_t pos = unquote(line, 0, name);
        if (pos == std::string::npos || pos >= line.size() || line[pos] != '=') {
            complain("not a value line");
            continue;
        }
        if (line.size() - pos > kMaxValueSize) {
            complain("the value of \"" + name + "\" is longer than 64 KiB");
            continue;
        }
        auto v = parseValue(line.substr(pos + 1));
        if (!v) {
            complain("the value of \"" + name + "\" is neither a number nor a text");
            continue;
        }
        if (!current) {
            complain("a value outside any key");
            continue;
        }
        current->entries.push_back({name, *v});
    }
}

IniSettingsStore::Section* IniSettingsStore::find(const std::string& key) {
    std::string k = normalKey(key);
    for (auto& s : m_sections)
        if (normalKey(s.key) == k) return &s;
    return nullptr;
}

const IniSettingsStore::Section* IniSettingsStore::find(const std::string& key) const {
    return const_cast<IniSettingsStore*>(this)->find(key);
}

IniSettingsStore::Section& IniSettingsStore::ensure(const std::string& key) {
    if (Section* s = find(key)) return *s;
    std::string spelled = key;
    while (!spelled.empty() && spelled.front() == '\\')
        spelled.erase(spelled.begin());
    m_sections.push_back({spelled, {}});
    return m_sections.back();
}

bool IniSettingsStore::keyExists(const std::string& key) const {
    std::string k = normalKey(key);
    for (const auto& s : m_sections) {
        std::string sk = normalKey(s.key);
        if (sk == k || sk.rfind(k + "\\", 0) == 0) return true;
    }
    return false;
}

void IniSettingsStore::createKey(const std::string& key) {
    ensure(key);
}

std::optional<StoredValue> IniSettingsStore::value(const std::string& key, const std::string& name) const {
    if (const Section* s = find(key))
        for (const auto& e : s->entries)
            if (sameName(e.name, name)) return e.value;
    return std::nullopt;
}

void IniSettingsStore::setValue(const std::string& key, const std::string& name, const StoredValue& v) {
    Section& s = ensure(key);
    for (auto& e : s.entries)
        if (sameName(e.name, name)) {
            e.value = v;
            return;
        }
    s.entries.push_back({name, v});
}

void IniSettingsStore::removeValue(const std::string& key, const std::string& name) {
    if (Section* s = find(key))
        std::erase_if(s->entries, [&](const Entry& e) { return sameName(e.name, name); });
}

void IniSettingsStore::save() {
    // What could not be read is not written over; the start said so.
    if (m_unreadable) return;
    std::ostringstream out;
    out << "; Vantrel Planner settings. Values are dword:<hex> numbers or quoted texts.\n";
    for (const auto& s : m_sections) {
        out << "\n[" << s.key << "]\n";
        for (const auto& e : s.entries)
            out << quote(e.name) << '=' << serialize(e.value) << '\n';
    }
    std::string data = out.str();
    QByteArray bytes = QByteArray::fromStdString(data);
    // The text holds the SMTP password: its copies are overwritten before their memory goes back.
    const auto wipe = [&] {
        std::fill(data.begin(), data.end(), '\0');
        bytes.fill('\0');
    };
    const QString path = QString::fromStdString(m_path);
    try {
        saveFileAtomically(path, bytes, kOwnerOnly, QStringLiteral("the settings file \"%1\"").arg(path));
    } catch (...) {
        wipe();
        throw;
    }
    wipe();
}

std::unique_ptr<SettingsStore> openSettingsFile(const std::string& path) {
    return std::make_unique<IniSettingsStore>(path);
}

} // namespace vantrel::platform
