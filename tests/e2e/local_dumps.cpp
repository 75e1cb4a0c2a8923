#include "tests/e2e/local_dumps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "platform/security/accounts.h"
#include "tests/conformance/conformance.h"
#include "tests/support/environment_variable.h"

namespace brevanto::e2e {
namespace {

// LocalDumps is the machine's: only an elevated driver can set it.
constexpr char kLocalDumpsNeedElevation[] =
    "LocalDumps is under HKEY_LOCAL_MACHINE, which only an elevated process may change";

} // namespace

void LocalDumpsKeys::Number(const wchar_t* key, const wchar_t* name, DWORD value) {
    Store(key, name, REG_DWORD, &value, sizeof value);
}

void LocalDumpsKeys::Text(const wchar_t* key, const wchar_t* name, const std::wstring& value,
                          DWORD type) {
    Store(key, name, type, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void LocalDumpsKeys::Create(const wchar_t* key) {
    Store(key, nullptr, 0, nullptr, 0);
}

void LocalDumpsKeys::Store(const wchar_t* path, const wchar_t* name, DWORD type, const void* data,
                           DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0,
                              KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (name) {
        EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }
    RegCloseKey(key);
}

std::optional<CannotRun> WhyItCannotRun(const ApplicationEventWatch& events) {
    if (!ProcessIsElevated())
        return CannotRun{runner::kNeedsElevationSkip, kLocalDumpsNeedElevation};
    if (!events.NoWitness().empty())
        return CannotRun{runner::kNoWitnessSkip, events.NoWitness()};
    return std::nullopt;
}

ScratchFolder::ScratchFolder(const std::wstring& name)
    : path_(support::EnvironmentValue(L"TEMP") + L"\\brevanto-dumps-" + name) {
    RemoveTree(path_);
}

ScratchFolder::~ScratchFolder() {
    RemoveTree(path_);
}

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            // A link is removed, never followed.
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveTree(path + L"\\" + name);
            else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryW((path + L"\\" + name).c_str());
            else
                DeleteFileW((path + L"\\" + name).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

std::set<std::wstring> FilesIn(const std::wstring& folder) {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.insert(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::wstring DumpName(DWORD processId) {
    return L"Brevanto.exe." + std::to_wstring(processId) + L".dmp";
}

DumpSeen ReadDump(const std::wstring& path) {
    DumpSeen seen;
    std::ifstream file(path.c_str(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    const auto u32 = [&bytes](std::size_t at) -> DWORD {
        DWORD value = 0;
        if (at + 4 <= bytes.size())
            std::copy_n(bytes.data() + at, 4, reinterpret_cast<char*>(&value));
        return value;
    };
    seen.signature = bytes.compare(0, 4, "MDMP") == 0;
    seen.flags = u32(24) | static_cast<unsigned long long>(u32(28)) << 32;
    const DWORD streams = u32(8);
    const DWORD directory = u32(12);
    constexpr DWORD kExceptionStream = 6;
    for (DWORD i = 0; seen.signature && i < streams; ++i) {
        const std::size_t entry = directory + i * 12;
        if (u32(entry) != kExceptionStream)
            continue;
        const DWORD rva = u32(entry + 8);
        seen.exceptionStream = rva + 12 <= bytes.size();
        seen.threadId = u32(rva);
        seen.code = u32(rva + 8);
    }
    return seen;
}

} // namespace brevanto::e2e
