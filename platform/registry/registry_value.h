#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace brevanto {

enum class Expansion {
    AsStored, // a REG_EXPAND_SZ value as it is stored, its variables unexpanded
    Expanded, // a REG_EXPAND_SZ value with its environment variables expanded
};

// The one reader of text values: the settings store, the class registrations and the setup
// action all read through it (rules in platform/registry/registry_text.h). A value that is absent
// or not REG_SZ or REG_EXPAND_SZ reads as nothing.
// A null key reads as nothing.
std::optional<std::wstring> TryReadRegistryText(HKEY key, const wchar_t* valueName,
                                                Expansion expansion);

// The same of root\subKey, opened for reading with the view flags given (KEY_WOW64_32KEY, ...).
std::optional<std::wstring> TryReadRegistryText(HKEY root, const std::wstring& subKey,
                                                const wchar_t* valueName, Expansion expansion,
                                                REGSAM view = 0);

// A REG_DWORD value; nothing when the key is null, or the value absent or of another type.
std::optional<DWORD> TryReadRegistryNumber(HKEY key, const wchar_t* valueName);

// A text with its environment variables expanded by the same rule, however long the expansion;
// the text itself when the expansion fails.
std::wstring ExpandedEnvironmentText(const std::wstring& text);

} // namespace brevanto
