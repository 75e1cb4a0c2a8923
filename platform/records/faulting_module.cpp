#include "platform/records/faulting_module.h"

#include <windows.h>

#include <psapi.h>

#include <array>
#include <cstddef>

#include "platform/base/nt_path.h"

namespace brevanto {
namespace {

constexpr std::size_t kDeviceNameCapacity = 128;
constexpr std::size_t kPathCapacity = 1024;

std::array<std::array<wchar_t, kDeviceNameCapacity>, 26> g_deviceNames{};
std::array<DriveDevice, 26> g_drives{};
std::size_t g_driveCount = 0;
wchar_t g_mapped[kPathCapacity];
wchar_t g_path[kPathCapacity];

} // namespace

void PrepareModuleNaming() {
    const DWORD letters = GetLogicalDrives();
    g_driveCount = 0;
    for (int i = 0; i < 26; ++i) {
        if (!(letters & (1u << i)))
            continue;
        const wchar_t drive[] = {static_cast<wchar_t>(L'A' + i), L':', L'\0'};
        auto& name = g_deviceNames[g_driveCount];
        // The first of the names the device list holds.
        const DWORD length = QueryDosDeviceW(drive, name.data(), kDeviceNameCapacity);
        if (!length)
            continue;
        g_drives[g_driveCount] = {drive[0], std::wstring_view(name.data())};
        ++g_driveCount;
    }
}

ModuleAt ModuleHolding(const void* address) {
    MEMORY_BASIC_INFORMATION region{};
    if (!address || !VirtualQuery(address, &region, sizeof region) || region.Type != MEM_IMAGE ||
        !region.AllocationBase)
        return {};
    const DWORD length = K32GetMappedFileNameW(GetCurrentProcess(), region.AllocationBase, g_mapped,
                                               static_cast<DWORD>(kPathCapacity));
    if (!length || length >= kPathCapacity)
        return {};
    const std::size_t pathLength = DosPathOf(
        std::wstring_view(g_mapped, length),
        std::span<const DriveDevice>(g_drives.data(), g_driveCount), g_path, kPathCapacity);
    if (!pathLength)
        return {};
    return {std::wstring_view(g_path, pathLength),
            reinterpret_cast<std::uintptr_t>(address) -
                reinterpret_cast<std::uintptr_t>(region.AllocationBase)};
}

} // namespace brevanto
