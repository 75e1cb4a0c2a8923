#include "tests/support/process_list.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <vector>

#include "platform/base/system_function.h"
#include "platform/base/unique_resource.h"
#include "tests/support/failure.h"

namespace brevanto::support {
namespace {

// NtQueryInformationProcess's class for the command line, which it gives as a UNICODE_STRING
// followed by its text.
constexpr PROCESSINFOCLASS kProcessCommandLineInformation = static_cast<PROCESSINFOCLASS>(60);

using QueryInformationProcess = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);

} // namespace

std::vector<ProcessEntry> ProcessesNamed(const std::wstring& imageName) {
    const UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        Fail("cannot list the processes", GetLastError());
    std::vector<ProcessEntry> found;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry)) {
        if (CompareStringOrdinal(entry.szExeFile, -1, imageName.c_str(), -1, TRUE) == CSTR_EQUAL)
            found.push_back({entry.th32ProcessID, entry.th32ParentProcessID});
    }
    return found;
}

std::optional<std::wstring> ProcessCommandLine(DWORD processId) {
    const auto query =
        SystemFunction<QueryInformationProcess>(L"ntdll.dll", "NtQueryInformationProcess");
    const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!query || !process)
        return std::nullopt;
    ULONG size = 0;
    query(process.Get(), kProcessCommandLineInformation, nullptr, 0, &size);
    if (size < sizeof(UNICODE_STRING))
        return std::nullopt;
    // Aligned for the UNICODE_STRING at its start.
    std::vector<ULONG_PTR> buffer(size / sizeof(ULONG_PTR) + 1);
    const NTSTATUS status = query(process.Get(), kProcessCommandLineInformation, buffer.data(),
                                  static_cast<ULONG>(buffer.size() * sizeof(ULONG_PTR)), &size);
    if (status < 0) // an NTSTATUS error or warning
        return std::nullopt;
    const auto& line = *reinterpret_cast<const UNICODE_STRING*>(buffer.data());
    return std::wstring(line.Buffer, line.Length / sizeof(wchar_t));
}

} // namespace brevanto::support
