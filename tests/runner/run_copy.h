#pragma once

#include <string>
#include <vector>

namespace brevanto::runner {

// Where the drivers run from: a copy of the bundle's programs and packages in a folder the
// account running them can trust. Elevated, under %ProgramFiles%\Brevanto tests, which only
// administrators may change: an elevated driver then loads no DLL a standard user could have
// placed. Not elevated, under %LOCALAPPDATA%\Brevanto tests. Each copy loses its Zone.Identifier,
// which CopyFile keeps: a downloaded bundle's programs would otherwise run as downloaded.
std::wstring CopyFolderFor(bool elevated, const std::wstring& runName);

// Copies mingw-<arch>\bin (the files the tests run, in the build's layout, so that a test finds the
// other build beside its own) for each arch the bundle has, and the packages folder's files into
// packages\.
// Throws RunnerError when it cannot.
void CopyBundle(const std::wstring& bundle, const std::wstring& packages, const std::wstring& copy,
                bool adminOnly);

// The programs of a build the tests run.
inline constexpr const wchar_t* kBundledPrograms[] = {
    L"Brevanto.exe",
    L"brevanto-check.exe",
    L"BrevantoStandin.dll",
    L"brevanto_wine_tests.exe",
    L"brevanto_crash_probe.exe",
    L"brevanto_msi_tests.exe",
};

} // namespace brevanto::runner
