#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace brevanto {

// Where Windows Error Reporting's LocalDumps asks for crash dumps of an exe:
// HKLM\SOFTWARE\Microsoft\Windows\Windows Error Reporting\LocalDumps, and its <exe name> subkey,
// whose values win over the global ones, value by value. Both are read in the 64-bit view where
// there is one, as administrators and Windows keep them there.
struct LocalDumpSettings {
    bool configured = false; // either key exists
    std::wstring folder;     // DumpFolder, expanded; default %LOCALAPPDATA%\CrashDumps
    DWORD count = 10;        // DumpCount: the most dump files kept in the folder, all counted
    DWORD type = 1;          // DumpType: 0 custom (customFlags), 1 mini, 2 full
    DWORD customFlags = 0;   // CustomDumpFlags, MINIDUMP_TYPE bits
};

// Windows' CustomDumpFlags when none is set: MiniDumpWithDataSegs, MiniDumpWithUnloadedModules
// and MiniDumpWithProcessThreadData.
inline constexpr DWORD kDefaultCustomDumpFlags = 0x121;

inline constexpr DWORD kCustomDump = 0;
inline constexpr DWORD kMiniDump = 1;
inline constexpr DWORD kFullDump = 2;

LocalDumpSettings ReadLocalDumpSettings(std::wstring_view exeName);

} // namespace brevanto
