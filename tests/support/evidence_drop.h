#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <string_view>

#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "tests/runner/core/driver_environment.h"

namespace brevanto::support {

// The folder the test runner names for what a failing test should leave behind; empty when the
// driver runs without the runner. The runner files what is there under the test that ends, and
// removes it when that test passed.
inline std::wstring EvidenceDropFolder() {
    const std::wstring name = FromUtf8(runner::kEvidenceDropVariable);
    std::wstring folder(GetEnvironmentVariableW(name.c_str(), nullptr, 0), L'\0');
    if (folder.empty())
        return folder;
    folder.resize(
        GetEnvironmentVariableW(name.c_str(), folder.data(), static_cast<DWORD>(folder.size())));
    return folder;
}

// A name no other drop of this process or another driver's takes: "<what>-<pid>-<n>.txt".
inline std::wstring EvidenceDropName(std::wstring_view what) {
    static std::atomic<int> counter{0};
    return std::wstring(what) + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter) + L".txt";
}

// Keeps bytes as evidence (the check's output); nothing without the runner.
inline void DropEvidence(std::wstring_view what, std::string_view bytes) {
    const std::wstring folder = EvidenceDropFolder();
    if (folder.empty())
        return;
    const UniqueFile file(CreateFileW((folder + L"\\" + EvidenceDropName(what)).c_str(),
                                      GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file)
        WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Moves a file the test is done with into the drop (the stand-ins' journal); deletes it without
// the runner.
inline void DropOrDelete(const std::wstring& path, std::wstring_view what) {
    const std::wstring folder = EvidenceDropFolder();
    if (folder.empty() ||
        !MoveFileExW(path.c_str(), (folder + L"\\" + EvidenceDropName(what)).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
        DeleteFileW(path.c_str());
}

} // namespace brevanto::support
