#pragma once
// The settings in the per-user registry: each key a registry key under HKEY_CURRENT_USER, each
// value REG_DWORD or REG_SZ, written at once.
#include "platform/settingsstore.h"

namespace vantrel::platform {

std::unique_ptr<SettingsStore> openRegistrySettings();

// UTF-8 and the system's wide strings.
std::wstring widen(const std::string& s);
std::string narrow(const std::wstring& s);

} // namespace vantrel::platform
