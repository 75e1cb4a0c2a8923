#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace brevanto::msi {

// One msiexec run, as a deployment tool sees it: the whole exit status (Wine's own loader cuts it
// to 8 bits on the Unix side; this is read on the Windows side) and its verbose log's path.
struct InstallerRun {
    DWORD status = 0;
    std::wstring log;
};

// The text of a run's verbose log, as Windows Installer wrote it (UTF-16 or the ANSI code page).
std::wstring LogText(const InstallerRun& run);

// Runs msiexec with arguments (e.g. L"/i \"x.msi\" /qn") plus a verbose log named after logName
// in the output folder, and waits for it; fails the test when it does not end within a minute.
InstallerRun Msiexec(const std::wstring& arguments, const std::wstring& logName);

// Runs msiexec with a basic user interface (/qb), waits for the message box it shows, reads its
// text and presses OK; nothing when no box appears.
struct RefusalSeen {
    std::optional<std::wstring> message;
    DWORD status = 0;
};
RefusalSeen MsiexecShowingMessage(const std::wstring& arguments, const std::wstring& logName);

// The folder for logs and copies the Linux side looks at, from BREVANTO_MSI_OUTPUT.
std::wstring OutputFolder();
// A package the runner built, named by its variable (BREVANTO_OLDER_PACKAGE, ...).
std::wstring PackagePath(const wchar_t* variable);

// A value of the package's Property table, read with Windows Installer's own API.
std::wstring PackageProperty(const std::wstring& package, const std::wstring& name);

// The ProductCodes installed with this UpgradeCode.
std::vector<std::wstring> InstalledProducts(const std::wstring& upgradeCode);

// An entry of Add/Remove Programs, from either registry view.
struct UninstallEntry {
    std::wstring key; // the ProductCode for a Windows Installer product
    std::wstring displayVersion;
    std::wstring publisher;
    std::wstring installLocation;
    DWORD noModify = 0;
};
std::vector<UninstallEntry> UninstallEntries(const std::wstring& displayName);

} // namespace brevanto::msi
