#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// How a text value of the registry is turned into text, apart from the calls that fetch it, so
// that every reader follows the same rules and the rules are tested without Windows.
namespace brevanto {

inline constexpr std::uint32_t kRegistryText = 1;       // REG_SZ
inline constexpr std::uint32_t kRegistryExpandText = 2; // REG_EXPAND_SZ

enum class QueryStatus { Done, MoreData, Failed };

// One RegQueryValueEx: gives the value's type and size, and fills the buffer when it is large
// enough (Done) or tells that it is not (MoreData, with the size it needs now).
using ValueQuery =
    std::function<QueryStatus(std::uint32_t& type, std::byte* buffer, std::uint32_t& size)>;

// One ExpandEnvironmentStrings: writes the expansion with its terminator when it fits into the
// capacity (in characters), and returns the characters the whole expansion needs, terminator
// included; 0 when it fails.
using EnvironmentExpansion =
    std::function<std::uint32_t(const wchar_t* text, wchar_t* buffer, std::uint32_t capacity)>;

// The text of a REG_SZ or REG_EXPAND_SZ value's bytes: whole UTF-16 code units only (an odd last
// byte is dropped), up to the first NUL, or all of them when the terminator is missing. Each code
// unit is one character of the text.
std::wstring TextOfValueBytes(const std::byte* bytes, std::size_t size);

// The value's text, read whatever its size, even when it grows between two queries. A value of
// another type, like an absent one, reads as nothing. With an expansion, a REG_EXPAND_SZ value
// comes back expanded (as stored when the expansion fails). The bytes read are wiped before
// they go back to the heap: a value may be a secret.
std::optional<std::wstring> TryReadRegistryText(const ValueQuery& query,
                                                const EnvironmentExpansion* expansion = nullptr);

// The text with its environment variables expanded, however long the expansion; the text itself
// when the expansion fails.
std::wstring ExpandedText(const std::wstring& text, const EnvironmentExpansion& expansion);

} // namespace brevanto
