#include "platform/crash_dump.h"

#include <dbghelp.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/system_library.h"
#include "platform/unique_resource.h"

namespace brevanto {
namespace {

using MiniDumpWriteDumpFunction = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                                PMINIDUMP_EXCEPTION_INFORMATION,
                                                PMINIDUMP_USER_STREAM_INFORMATION,
                                                PMINIDUMP_CALLBACK_INFORMATION);
using SymGetOptionsFunction = DWORD(WINAPI*)();
using SymSetOptionsFunction = DWORD(WINAPI*)(DWORD);

template <typename Function>
Function DbgHelpFunction(const UniqueModule& dbghelp, const char* name) {
    return ModuleFunction<Function>(dbghelp.Get(), name);
}

// A dump needs no symbols. Wine's dbghelp would otherwise read every module's debug information
// while it writes the dump, which takes the 64-bit build seconds.
void LoadNoSymbols(const UniqueModule& dbghelp) {
    const auto getOptions = DbgHelpFunction<SymGetOptionsFunction>(dbghelp, "SymGetOptions");
    const auto setOptions = DbgHelpFunction<SymSetOptionsFunction>(dbghelp, "SymSetOptions");
    if (getOptions && setOptions)
        setOptions(getOptions() | SYMOPT_DEFERRED_LOADS);
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

std::wstring ErrorText(const wchar_t* what, DWORD error) {
    return std::wstring(what) + L" (error " + std::to_wstring(error) + L")";
}

// Creates the folder and any of its parents that are missing.
bool CreateFolder(const std::wstring& folder) {
    if (CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
        return true;
    if (GetLastError() != ERROR_PATH_NOT_FOUND)
        return false;
    const auto slash = folder.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash == 0 || !CreateFolder(folder.substr(0, slash)))
        return false;
    return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

UniqueModule LoadDbgHelp() {
    return UniqueModule(LoadSystemLibrary(L"dbghelp.dll"));
}

// What the writing thread needs; it outlives a writer left behind at the deadline.
struct DumpJob {
    MiniDumpWriteDumpFunction write = nullptr;
    HANDLE file = INVALID_HANDLE_VALUE;
    MINIDUMP_TYPE type = MiniDumpNormal;
    MINIDUMP_EXCEPTION_INFORMATION exception{};
    bool withException = false;
    BOOL written = FALSE;
    DWORD error = 0;
};

DWORD WINAPI WriteDump(void* parameter) {
    auto* job = static_cast<DumpJob*>(parameter);
    job->written = job->write(GetCurrentProcess(), GetCurrentProcessId(), job->file, job->type,
                              job->withException ? &job->exception : nullptr, nullptr, nullptr);
    job->error = job->written ? 0 : GetLastError();
    return 0;
}

// Keeps the newest `count` dumps of the exe, as Windows does.
void DeleteOldestDumps(const std::wstring& folder, std::wstring_view exeName, DWORD count) {
    struct Dump {
        FILETIME written;
        std::wstring name;
    };
    std::vector<Dump> dumps;
    const std::wstring pattern = folder + L"\\" + std::wstring(exeName) + L".*.dmp";
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            dumps.push_back({found.ftLastWriteTime, found.cFileName});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(dumps.begin(), dumps.end(), [](const Dump& a, const Dump& b) {
        return CompareFileTime(&a.written, &b.written) > 0;
    });
    for (std::size_t i = std::max<DWORD>(count, 1); i < dumps.size(); ++i)
        DeleteFileW((folder + L"\\" + dumps[i].name).c_str());
}

DWORD MsUntil(ULONGLONG deadlineTick) {
    const ULONGLONG now = GetTickCount64();
    return deadlineTick > now ? static_cast<DWORD>(deadlineTick - now) : 0;
}

} // namespace

DumpResult WriteLocalDump(const LocalDumpSettings& settings, std::wstring_view exeName,
                          EXCEPTION_POINTERS* exception, DWORD crashedThreadId,
                          ULONGLONG deadlineTick) {
    DumpResult result;
    if (!settings.configured)
        return result;
    result.outcome = DumpOutcome::Failed;
    if (!CreateFolder(settings.folder)) {
        result.problem = ErrorText(L"the folder could not be created", GetLastError());
        return result;
    }
    UniqueModule dbghelp = LoadDbgHelp();
    const auto write = DbgHelpFunction<MiniDumpWriteDumpFunction>(dbghelp, "MiniDumpWriteDump");
    if (!write) {
        result.problem = ErrorText(L"dbghelp.dll could not be loaded", GetLastError());
        return result;
    }
    LoadNoSymbols(dbghelp);
    result.path = settings.folder + L"\\" + std::wstring(exeName) + L"." +
                  std::to_wstring(GetCurrentProcessId()) + L".dmp";
    // Shared for deletion, so a dump cut short can be deleted while its writer still holds it.
    UniqueFile file(CreateFileW(result.path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        result.problem = ErrorText(L"the file could not be created", GetLastError());
        return result;
    }

    auto job = std::make_unique<DumpJob>();
    job->write = write;
    job->file = file.Get();
    job->type = DumpTypeFor(settings);
    job->withException = exception != nullptr;
    job->exception = {crashedThreadId, exception, FALSE};
    const UniqueHandle writer(CreateThread(nullptr, 0, &WriteDump, job.get(), 0, nullptr));
    if (!writer) {
        result.problem = ErrorText(L"no thread could be started to write it", GetLastError());
        file.Reset();
        DeleteFileW(result.path.c_str());
        return result;
    }
    if (WaitForSingleObject(writer.Get(), MsUntil(deadlineTick)) != WAIT_OBJECT_0) {
        // The writer still holds the file and dbghelp; both go with the process.
        DeleteFileW(result.path.c_str());
        file.Release();
        static_cast<void>(job.release());
        dbghelp.Release();
        result.outcome = DumpOutcome::CutShort;
        return result;
    }
    file.Reset();
    if (!job->written) {
        DeleteFileW(result.path.c_str());
        result.problem = ErrorText(L"MiniDumpWriteDump failed", job->error);
        return result;
    }
    result.outcome = DumpOutcome::Written;
    DeleteOldestDumps(settings.folder, exeName, settings.count);
    return result;
}

} // namespace brevanto
