#include "platform/mailaddress.h"

#include <cstring>

namespace vantrel::platform {

namespace {

// Printable ASCII that never belongs in a plain mailbox: blanks and the specials of RFC 5322,
// and "?", "&", "%" and "=" of a mailto: address.
bool forbidden(unsigned char c) {
    return c < 0x21 || c == 0x7f || std::strchr("()<>[]\\,;:\"?&%=", c) != nullptr;
}

bool domainByte(unsigned char c) {
    return c >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '-' || c == '.';
}

} // namespace

std::string mailboxProblem(const std::string& a) {
    if (a.empty()) return "it is empty";
    if (a.front() == '-') return "it begins with \"-\"";
    const size_t at = a.find('@');
    if (at == std::string::npos || at != a.rfind('@')) return "it does not hold exactly one \"@\"";
    const std::string local = a.substr(0, at), domain = a.substr(at + 1);
    if (local.empty() || domain.empty()) return "a part before or after the \"@\" is missing";
    if (local.size() > 64 || domain.size() > 255) return "it is too long";
    for (unsigned char c : a)
        if (forbidden(c)) return "it holds a blank or a character that is not part of an address";
    if (local.front() == '.' || local.back() == '.' || local.find("..") != std::string::npos)
        return "its part before the \"@\" has a misplaced dot";
    for (unsigned char c : domain)
        if (!domainByte(c)) return "its part after the \"@\" is no host name";
    if (domain.front() == '.' || domain.back() == '.' || domain.front() == '-' ||
        domain.find("..") != std::string::npos)
        return "its part after the \"@\" is no host name";
    return {};
}

bool isAsciiAddress(const std::string& a) {
    for (unsigned char c : a)
        if (c >= 0x80) return false;
    return true;
}

} // namespace vantrel::platform
