#include "platform/records/local_dumps.h"

#include <optional>

#include "platform/base/program_directory.h"
#include "platform/registry/machine_registry.h"
#include "platform/registry/registry_value.h"

namespace brevanto {
namespace {

constexpr wchar_t kLocalDumpsKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting\\LocalDumps";

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
    const UniqueRegistryKey global = OpenMachineKey(globalPath);
    const UniqueRegistryKey own = OpenMachineKey(globalPath + L"\\" + std::wstring(exeName));
    LocalDumpSettings settings;
    settings.configured = global || own;
    if (!settings.configured)
        return settings;
    settings.folder = ExpandedEnvironmentText(
        ReadFirst<std::wstring>(own, global, L"DumpFolder", ReadRegistryText)
            .value_or(L"%LOCALAPPDATA%\\CrashDumps"));
    settings.count = ReadFirst<DWORD>(own, global, L"DumpCount", ReadRegistryNumber).value_or(10);
    settings.type =
        ReadFirst<DWORD>(own, global, L"DumpType", ReadRegistryNumber).value_or(kMiniDump);
    settings.customFlags = ReadFirst<DWORD>(own, global, L"CustomDumpFlags", ReadRegistryNumber)
                               .value_or(kDefaultCustomDumpFlags);
    return settings;
}

std::wstring ExeFileName() {
    const std::wstring path = ProgramPath();
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

} // namespace brevanto
