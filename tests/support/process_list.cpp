#include "tests/support/process_list.h"

#include <tlhelp32.h>

#include "platform/unique_resource.h"
#include "tests/support/failure.h"

namespace brevanto::support {

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

} // namespace brevanto::support
