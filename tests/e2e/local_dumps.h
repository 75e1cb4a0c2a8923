#pragma once

#include <windows.h>

#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "tests/e2e/application_events.h"
#include "tests/support/removed_local_dumps.h"

// What the Wine tests of crashes and their dumps share: the LocalDumps keys they set, the folders
// the dumps go to, what a dump file shows, and when such a test cannot run.
namespace brevanto::e2e {

inline constexpr const wchar_t* kLocalDumps = support::kLocalDumpsKey;
inline constexpr wchar_t kOwnKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting\\LocalDumps\\Brevanto.exe";

// The LocalDumps keys a test sets, in the 64-bit view where there is one. Whatever LocalDumps
// held before is gone for the test, from both views, and put back afterwards.
class LocalDumpsKeys {
public:
    LocalDumpsKeys() = default;
    LocalDumpsKeys(const LocalDumpsKeys&) = delete;
    LocalDumpsKeys& operator=(const LocalDumpsKeys&) = delete;

    void Number(const wchar_t* key, const wchar_t* name, DWORD value);
    void Text(const wchar_t* key, const wchar_t* name, const std::wstring& value,
              DWORD type = REG_EXPAND_SZ);
    void Create(const wchar_t* key);

private:
    static void Store(const wchar_t* path, const wchar_t* name, DWORD type, const void* data,
                      DWORD size);

    const support::RemovedLocalDumps removed_;
};

// Why a crash test cannot run here, with its category: it sets LocalDumps, which only an elevated
// process may, and reads the run's event. Asked before the test changes anything.
struct CannotRun {
    std::string_view category;
    std::string why;
};
std::optional<CannotRun> WhyItCannotRun(const ApplicationEventWatch& events);

// A scratch folder under the driver's temporary folder, gone before and after the test.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

void RemoveTree(const std::wstring& path);
// The names of the files (not folders) in a folder.
std::set<std::wstring> FilesIn(const std::wstring& folder);
// A dump's file name, as Windows names it.
std::wstring DumpName(DWORD processId);

// What a minidump file shows: its signature, its exception stream and the dump type's flags.
struct DumpSeen {
    bool signature = false;
    bool exceptionStream = false;
    DWORD threadId = 0;
    DWORD code = 0;
    unsigned long long flags = 0; // the MINIDUMP_TYPE it was written with
};

DumpSeen ReadDump(const std::wstring& path);

} // namespace brevanto::e2e
