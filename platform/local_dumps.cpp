#include "platform/local_dumps.h"

#include <optional>
#include <vector>

#include "platform/program_directory.h"
#include "platform/unique_resource.h"

namespace brevanto {
namespace {

constexpr wchar_t kLocalDumpsKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting\\LocalDumps";

UniqueRegistryKey OpenLocalDumps(const std::wstring& path) {
    UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, key.Put()) !=
        ERROR_SUCCESS)
        key.Reset();
    return key;
}

std::optional<DWORD> ReadNumber(const UniqueRegistryKey& key, const wchar_t* name) {
    if (!key)
        return std::nullopt;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

std::optional<std::wstring> ReadText(const UniqueRegistryKey& key, const wchar_t* name) {
    if (!key)
        return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring text(buffer.data());
    return text.empty() ? std::nullopt : std::optional(text);
}

std::wstring Expanded(const std::wstring& text) {
    const DWORD length = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (length == 0)
        return text;
    std::wstring expanded(length, L'\0');
    ExpandEnvironmentStringsW(text.c_str(), expanded.data(), length);
    expanded.resize(length - 1);
    return expanded;
}

// The program's own subkey first, then the global key.
template <typename T, typename Read>
std::optional<T> ReadFirst(const UniqueRegistryKey& own, const UniqueRegistryKey& global,
                           const wchar_t* name, Read read) {
    if (auto value = read(own, name))
        return value;
    return read(global, name);
}

} // namespace

LocalDumpSettings ReadLocalDumpSettings(std::wstring_view exeName) {
    const std::wstring globalPath = kLocalDumpsKey;
    const UniqueRegistryKey global = OpenLocalDumps(globalPath);
    const UniqueRegistryKey own = OpenLocalDumps(globalPath + L"\\" + std::wstring(exeName));
    LocalDumpSettings settings;
    settings.configured = global || own;
    if (!settings.configured)
        return settings;
    settings.folder = Expanded(ReadFirst<std::wstring>(own, global, L"DumpFolder", ReadText)
                                   .value_or(L"%LOCALAPPDATA%\\CrashDumps"));
    settings.count = ReadFirst<DWORD>(own, global, L"DumpCount", ReadNumber).value_or(10);
    settings.type = ReadFirst<DWORD>(own, global, L"DumpType", ReadNumber).value_or(kMiniDump);
    settings.customFlags =
        ReadFirst<DWORD>(own, global, L"CustomDumpFlags", ReadNumber).value_or(0);
    return settings;
}

std::wstring ExeFileName() {
    const std::wstring path = ProgramPath();
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

} // namespace brevanto
