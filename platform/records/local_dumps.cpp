#include "platform/records/local_dumps.h"

#include <optional>

#include "platform/registry/machine_registry.h"
#include "platform/registry/registry_value.h"

namespace brevanto {
namespace {

constexpr wchar_t kLocalDumpsKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting\\LocalDumps";

// An empty DumpFolder counts as none: the global key's, or the default, applies.
std::optional<std::wstring> TryReadFolder(HKEY key, const wchar_t* name) {
    auto text = TryReadRegistryText(key, name, Expansion::AsStored);
    if (!text || text->empty())
        return std::nullopt;
    return text;
}

// The program's own subkey first, then the global key.
template <typename T, typename Read>
std::optional<T> TryReadFirst(const UniqueRegistryKey& own, const UniqueRegistryKey& global,
                              const wchar_t* name, Read read) {
    if (auto value = read(own.Get(), name))
        return value;
    return read(global.Get(), name);
}

} // namespace

LocalDumpSettings ReadLocalDumpSettings(std::wstring_view exeName) {
    const std::wstring globalPath = kLocalDumpsKey;
    const UniqueRegistryKey global = OpenMachineKey(globalPath);
    const UniqueRegistryKey own = OpenMachineKey(globalPath + L"\\" + std::wstring(exeName));
    LocalDumpSettings settings;
    settings.configured = global || own;
    if (!settings.configured)
        return settings;
    settings.folder = ExpandedEnvironmentText(
        TryReadFirst<std::wstring>(own, global, L"DumpFolder", TryReadFolder)
            .value_or(L"%LOCALAPPDATA%\\CrashDumps"));
    settings.count =
        TryReadFirst<DWORD>(own, global, L"DumpCount", TryReadRegistryNumber).value_or(10);
    settings.type =
        TryReadFirst<DWORD>(own, global, L"DumpType", TryReadRegistryNumber).value_or(kMiniDump);
    settings.customFlags =
        TryReadFirst<DWORD>(own, global, L"CustomDumpFlags", TryReadRegistryNumber)
            .value_or(kDefaultCustomDumpFlags);
    return settings;
}

} // namespace brevanto
