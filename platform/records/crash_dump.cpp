#include "platform/records/crash_dump.h"

#include <dbghelp.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/base/folder_creation.h"
#include "platform/base/folder_levels.h"
#include "platform/base/system_library.h"
#include "platform/base/unique_resource.h"
#include "platform/records/local_dumps.h"
#include "platform/security/accounts.h"
#include "platform/security/private_sddl.h"
#include "platform/unattended/crash_report.h"
#include "platform/unattended/standby_thread.h"

namespace brevanto {
namespace {

using MiniDumpWriteDumpFunction = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                                PMINIDUMP_EXCEPTION_INFORMATION,
                                                PMINIDUMP_USER_STREAM_INFORMATION,
                                                PMINIDUMP_CALLBACK_INFORMATION);
using SymGetOptionsFunction = DWORD(WINAPI*)();
using SymSetOptionsFunction = DWORD(WINAPI*)(DWORD);

// What the dump thread works from: made at start-up, read after the crash.
struct DumpWork {
    PreparedDump prepared;
    std::wstring folder;
    DWORD count = 10;
    MINIDUMP_TYPE type = MiniDumpNormal;
    MiniDumpWriteDumpFunction write = nullptr;
    UniqueModule dbghelp;
    UniqueLocal fileDescriptor;
    UniqueLocal folderDescriptor;
};

DumpWork g_work;
StandbyThread g_dumpThread;
// Set by the reporter before it signals the dump thread.
std::atomic<EXCEPTION_POINTERS*> g_exception{nullptr};
std::atomic<DWORD> g_crashedThread{0};

std::wstring ErrorText(const std::wstring& what, DWORD error) {
    return what + L" (error " + std::to_wstring(error) + L")";
}

MINIDUMP_TYPE DumpTypeFor(const LocalDumpSettings& settings) {
    switch (settings.type) {
    case kCustomDump:
        return static_cast<MINIDUMP_TYPE>(settings.customFlags);
    case kFullDump:
        return static_cast<MINIDUMP_TYPE>(MiniDumpWithFullMemory | MiniDumpWithHandleData |
                                          MiniDumpWithUnloadedModules);
    default:
        return MiniDumpNormal;
    }
}

// A dump needs no symbols. Wine's dbghelp would otherwise read every module's debug information
// while it writes the dump, which takes the 64-bit build seconds.
void LoadNoSymbols(HMODULE dbghelp) {
    const auto getOptions = ModuleFunction<SymGetOptionsFunction>(dbghelp, "SymGetOptions");
    const auto setOptions = ModuleFunction<SymSetOptionsFunction>(dbghelp, "SymSetOptions");
    if (getOptions && setOptions)
        setOptions(getOptions() | SYMOPT_DEFERRED_LOADS);
}

bool IsReparsePoint(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The first level of the folder that is a reparse point, as far as the folder exists; empty when
// none is.
std::wstring FirstReparsePoint(const std::wstring& folder) {
    for (const std::wstring& level : FolderLevels(folder)) {
        const DWORD attributes = GetFileAttributesW(level.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            break;
        if (IsReparsePoint(attributes))
            return level;
    }
    return std::wstring();
}

// Each missing level of the folder, made private; a level that is, or has meanwhile become, a
// reparse point stops it.
bool MakeFolder() {
    for (const std::wstring& level : FolderLevels(g_work.folder)) {
        const DWORD found = GetFileAttributesW(level.c_str());
        if (IsReparsePoint(found))
            return false;
        if (found != INVALID_FILE_ATTRIBUTES)
            continue;
        if (MakeOneFolder(level, g_work.folderDescriptor.Get()) == FolderMade::Failed)
            return false;
        if (IsReparsePoint(GetFileAttributesW(level.c_str())))
            return false;
    }
    return true;
}

void SetDeleteOnClose(HANDLE file, bool deleteIt) {
    FILE_DISPOSITION_INFO disposition{static_cast<BOOLEAN>(deleteIt ? TRUE : FALSE)};
    SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

// Keeps the newest `count` dump files of the folder, whoever's they are, as Windows counts them;
// what this user may not delete stays.
void DeleteOldestDumps() {
    struct Dump {
        FILETIME written;
        std::wstring name;
    };
    std::vector<Dump> dumps;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((g_work.folder + L"\\*.dmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
            dumps.push_back({found.ftLastWriteTime, found.cFileName});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(dumps.begin(), dumps.end(), [](const Dump& a, const Dump& b) {
        return CompareFileTime(&a.written, &b.written) > 0;
    });
    for (std::size_t i = std::max<DWORD>(g_work.count, 1); i < dumps.size(); ++i)
        DeleteFileW((g_work.folder + L"\\" + dumps[i].name).c_str());
}

// On the dump thread, after the crash's event is written: this may allocate and wait, the
// reporter waiting for it no longer than the crash's deadline.
void WriteDump() {
    if (!MakeFolder())
        return;
    const std::wstring& path = g_work.prepared.path;
    // An earlier process of this id may have left a dump of this name: never written through.
    DeleteFileW(path.c_str());
    SECURITY_ATTRIBUTES attributes{sizeof attributes, g_work.fileDescriptor.Get(), FALSE};
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                FILE_SHARE_READ, &attributes, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file)
        return;
    // Until it is whole: a process that ends meanwhile leaves no partial dump.
    SetDeleteOnClose(file.Get(), true);
    EXCEPTION_POINTERS* const exception = g_exception.load();
    MINIDUMP_EXCEPTION_INFORMATION information{g_crashedThread.load(), exception, FALSE};
    if (!g_work.write(GetCurrentProcess(), GetCurrentProcessId(), file.Get(), g_work.type,
                      exception ? &information : nullptr, nullptr, nullptr))
        return;
    SetDeleteOnClose(file.Get(), false);
    file.Reset();
    DeleteOldestDumps();
}

void Refuse(std::wstring problem) {
    g_work.prepared.readiness = DumpReadiness::Refused;
    g_work.prepared.problem = std::move(problem);
}

} // namespace

const PreparedDump& PrepareLocalDump(std::wstring_view exeName) {
    const LocalDumpSettings settings = ReadLocalDumpSettings(exeName);
    if (!settings.configured)
        return g_work.prepared;
    g_work.folder = settings.folder;
    g_work.count = settings.count;
    g_work.type = DumpTypeFor(settings);
    g_work.prepared.type = settings.type;
    while (g_work.folder.size() > 3 && g_work.folder.back() == L'\\')
        g_work.folder.pop_back();
    if (g_work.folder.empty()) {
        Refuse(L"DumpFolder is empty");
        return g_work.prepared;
    }
    if (const std::wstring link = FirstReparsePoint(g_work.folder); !link.empty()) {
        Refuse(
            L"the folder " + link +
            L" is a link or junction (a reparse point), and dumps are never written through one");
        return g_work.prepared;
    }
    const std::wstring sid = SidText(CurrentUserSid().data());
    g_work.fileDescriptor = DescriptorFromSddl(PrivateSddl(sid, PrivateTo::File));
    g_work.folderDescriptor = DescriptorFromSddl(PrivateSddl(sid, PrivateTo::Folder));
    if (!g_work.fileDescriptor || !g_work.folderDescriptor) {
        Refuse(
            ErrorText(L"no descriptor could be made to keep it to this account", GetLastError()));
        return g_work.prepared;
    }
    g_work.dbghelp = UniqueModule(LoadSystemLibrary(L"dbghelp.dll"));
    g_work.write =
        ModuleFunction<MiniDumpWriteDumpFunction>(g_work.dbghelp.Get(), "MiniDumpWriteDump");
    if (!g_work.write) {
        Refuse(ErrorText(L"dbghelp.dll could not be loaded", GetLastError()));
        return g_work.prepared;
    }
    LoadNoSymbols(g_work.dbghelp.Get());
    g_work.prepared.path = g_work.folder + L"\\" + std::wstring(exeName) + L"." +
                           std::to_wstring(GetCurrentProcessId()) + L".dmp";
    DWORD threadId = 0;
    // Its stack is all dbghelp needs. Should the dump throw, there is none; the process ends with
    // the crash's code all the same.
    if (!g_dumpThread.Start(&WriteDump, &threadId)) {
        Refuse(ErrorText(L"no thread could be started to write it", GetLastError()));
        return g_work.prepared;
    }
    CountAsCrashReporter(threadId);
    g_work.prepared.readiness = DumpReadiness::Ready;
    return g_work.prepared;
}

bool StartDump(EXCEPTION_POINTERS* exception, DWORD crashedThreadId) {
    if (g_work.prepared.readiness != DumpReadiness::Ready)
        return false;
    g_exception = exception;
    g_crashedThread = crashedThreadId;
    return g_dumpThread.Run();
}

bool WaitForDump(ULONGLONG deadlineTick) {
    if (g_work.prepared.readiness != DumpReadiness::Ready)
        return false;
    const ULONGLONG now = GetTickCount64();
    const DWORD wait = deadlineTick > now ? static_cast<DWORD>(deadlineTick - now) : 0;
    return g_dumpThread.WaitDone(wait);
}

} // namespace brevanto
