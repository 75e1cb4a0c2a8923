#include "tests/runner/registrations.h"

#include <windows.h>

#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "tests/runner/runner_error.h"

namespace brevanto::runner {
namespace {

bool ThisIs32BitOn64Bit() {
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

// regsvr32 of the DLL's bitness: from a 32-bit process on 64-bit Windows the 64-bit one is behind
// Sysnative, and from a 64-bit process the 32-bit one is in SysWOW64.
std::wstring Regsvr32For(const std::string& arch) {
    wchar_t windows[MAX_PATH] = {};
    GetSystemWindowsDirectoryW(windows, MAX_PATH);
    const bool runner64 = sizeof(void*) == 8;
    const char* folder = "System32";
    if (arch == "x64" && !runner64 && ThisIs32BitOn64Bit())
        folder = "Sysnative";
    else if (arch == "i686" && runner64)
        folder = "SysWOW64";
    return std::wstring(windows) + L"\\" + FromUtf8(folder) + L"\\regsvr32.exe";
}

DWORD RunRegsvr32(const std::string& arch, const std::wstring& arguments) {
    const std::wstring exe = Regsvr32For(arch);
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr, &startup, &info))
        ThrowRunnerError("cannot start " + Utf8(exe), GetLastError());
    const UniqueHandle process(info.hProcess);
    const UniqueHandle thread(info.hThread);
    DWORD status = 1;
    if (WaitForSingleObject(process.Get(), 60000) != WAIT_OBJECT_0) {
        TerminateProcess(process.Get(), 1);
        return status;
    }
    GetExitCodeProcess(process.Get(), &status);
    return status;
}

} // namespace

Registration RegisterStandins(const std::string& arch, const std::wstring& dll, bool elevated) {
    Registration registration{arch, elevated ? "machine" : "user", Utf8(dll)};
    const DWORD status =
        RunRegsvr32(arch, L"/s /n /i:" + FromUtf8(registration.scope) + L" \"" + dll + L"\"");
    if (status != 0)
        throw RunnerError("regsvr32 /n /i:" + registration.scope + " " + Utf8(dll) +
                          " failed with status " + std::to_string(status));
    return registration;
}

bool UnregisterStandins(const Registration& registration) {
    return RunRegsvr32(registration.arch, L"/s /u /n /i:" + FromUtf8(registration.scope) + L" \"" +
                                              FromUtf8(registration.dll) + L"\"") == 0;
}

} // namespace brevanto::runner
