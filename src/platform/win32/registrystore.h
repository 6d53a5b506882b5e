#pragma once
// The settings in the per-user registry: each key a registry key under HKEY_CURRENT_USER, each
// value REG_DWORD or REG_SZ, written at once.
#include "platform/settingsstore.h"

namespace vantrel::platform {

std::unique_ptr<SettingsStore> openRegistrySettings();

// The system's wide strings and 8-bit text, UTF-8 unless another code page is named.
constexpr unsigned kUtf8CodePage = 65001; // CP_UTF8
std::wstring widen(const std::string& s, unsigned codePage = kUtf8CodePage);
std::string narrow(const std::wstring& s, unsigned codePage = kUtf8CodePage);

} // namespace vantrel::platform
