#include "platform/base/own_version.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <optional>
#include <string_view>

namespace brevanto {

namespace {

// One block of a version resource: a key, a value and the blocks within it. Each starts on a
// 32-bit boundary: wLength, wValueLength, wType, the key with its NUL, then the value, then the
// children.
struct VersionBlock {
    std::wstring_view key;
    const BYTE* value = nullptr;
    std::size_t valueBytes = 0;
    const BYTE* children = nullptr;
    const BYTE* end = nullptr;
};

const BYTE* AlignedTo32Bits(const BYTE* at) {
    return reinterpret_cast<const BYTE*>((reinterpret_cast<std::uintptr_t>(at) + 3) &
                                         ~std::uintptr_t{3});
}

std::optional<VersionBlock> ReadBlock(const BYTE* at, const BYTE* limit) {
    WORD header[3];
    if (limit - at < static_cast<std::ptrdiff_t>(sizeof header))
        return std::nullopt;
    std::memcpy(header, at, sizeof header);
    const WORD length = header[0];
    if (length < sizeof header || length > limit - at)
        return std::nullopt;
    VersionBlock block;
    block.end = at + length;
    const auto* key = reinterpret_cast<const wchar_t*>(at + sizeof header);
    std::size_t keyLength = 0;
    while (reinterpret_cast<const BYTE*>(key + keyLength + 1) <= block.end && key[keyLength])
        ++keyLength;
    block.key = std::wstring_view(key, keyLength);
    block.value = AlignedTo32Bits(reinterpret_cast<const BYTE*>(key + keyLength + 1));
    // A text value (wType 1) counts characters, with its NUL; a binary one bytes.
    block.valueBytes = header[2] == 1 ? header[1] * sizeof(wchar_t) : header[1];
    if (block.value > block.end ||
        block.valueBytes > static_cast<std::size_t>(block.end - block.value))
        return std::nullopt;
    block.children = std::min(AlignedTo32Bits(block.value + block.valueBytes), block.end);
    return block;
}

// The child block of that key, if the parent holds one.
std::optional<VersionBlock> Child(const VersionBlock& parent, std::wstring_view key) {
    for (const BYTE* at = parent.children; at < parent.end;) {
        const auto child = ReadBlock(at, parent.end);
        if (!child)
            return std::nullopt;
        if (child->key == key)
            return child;
        at = AlignedTo32Bits(child->end);
    }
    return std::nullopt;
}

} // namespace

std::wstring OwnFileVersion() {
    // From the exe's own resource, already mapped, read here rather than through version.dll:
    // no file is read and no DLL is loaded, which also holds when a crash is being reported.
    const HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    const HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
    const auto* bytes = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    if (!bytes)
        return std::wstring();
    auto block = ReadBlock(bytes, bytes + SizeofResource(nullptr, resource));
    for (const wchar_t* key : {L"StringFileInfo", L"040904B0", L"FileVersion"}) {
        if (!block)
            return std::wstring();
        block = Child(*block, key);
    }
    if (!block)
        return std::wstring();
    std::wstring text(reinterpret_cast<const wchar_t*>(block->value),
                      block->valueBytes / sizeof(wchar_t));
    text.resize(std::wcslen(text.c_str()));
    return text;
}

} // namespace brevanto
