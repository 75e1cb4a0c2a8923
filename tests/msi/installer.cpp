#include "tests/msi/installer.h"

#include <gtest/gtest.h>

#include <msi.h>
#include <msiquery.h>

#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "tests/msi/registry_views.h"
#include "tests/support/child_process.h"
#include "tests/support/failure.h"

namespace brevanto::msi {
namespace {

constexpr DWORD kInstallerTimeoutMs = 60000;

std::wstring MsiexecPath() {
    wchar_t system[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    return std::wstring(system, length) + L"\\msiexec.exe";
}

std::wstring Variable(const wchar_t* name) {
    wchar_t value[MAX_PATH * 2];
    const DWORD length = GetEnvironmentVariableW(name, value, static_cast<DWORD>(std::size(value)));
    if (length == 0 || length >= std::size(value))
        support::Fail("the runner set no " + Utf8(name), GetLastError());
    return std::wstring(value, length);
}

std::wstring TextOfWindow(HWND window) {
    wchar_t text[2048] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 2000, &copied))
        return L"";
    return std::wstring(text, copied);
}

support::ChildProcess StartMsiexec(const std::wstring& arguments, const std::wstring& logName,
                                   std::wstring& log) {
    log = OutputFolder() + L"\\" + logName + L".log";
    DeleteFileW(log.c_str());
    return support::ChildProcess(MsiexecPath(), L"msiexec " + arguments + L" /l*v \"" + log + L"\"",
                                 L"C:\\");
}

DWORD WaitForInstaller(support::ChildProcess& installer, const std::wstring& log) {
    if (!installer.WaitForExit(kInstallerTimeoutMs)) {
        ADD_FAILURE() << "msiexec did not end; its log: " << Utf8(log);
        installer.Kill();
    }
    return installer.ExitStatus();
}

std::wstring RegistryText(HKEY key, const wchar_t* name) {
    wchar_t text[1024] = {};
    DWORD size = sizeof text;
    if (RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                     nullptr, text, &size) != ERROR_SUCCESS)
        return L"";
    return text;
}

DWORD RegistryNumber(HKEY key, const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    RegGetValueW(key, nullptr, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

} // namespace

InstallerRun Msiexec(const std::wstring& arguments, const std::wstring& logName) {
    InstallerRun run;
    support::ChildProcess installer = StartMsiexec(arguments, logName, run.log);
    run.status = WaitForInstaller(installer, run.log);
    return run;
}

std::wstring LogText(const InstallerRun& run) {
    const UniqueFile file(CreateFileW(run.log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    const DWORD size = file ? GetFileSize(file.Get(), nullptr) : 0;
    std::string bytes(size == INVALID_FILE_SIZE ? 0 : size, '\0');
    DWORD read = 0;
    if (bytes.empty() || !ReadFile(file.Get(), bytes.data(), size, &read, nullptr))
        return L"";
    bytes.resize(read);
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE')
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2),
                            (bytes.size() - 2) / sizeof(wchar_t));
    std::wstring text(bytes.size(), L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                           text.data(), static_cast<int>(text.size()));
    text.resize(length > 0 ? length : 0);
    return text;
}

RefusalSeen MsiexecShowingMessage(const std::wstring& arguments, const std::wstring& logName) {
    std::wstring log;
    support::ChildProcess installer = StartMsiexec(arguments + L" /qb", logName, log);
    RefusalSeen seen;
    if (const HWND box = installer.WaitForWindow(L"#32770", 30000)) {
        // A message box's text is its static control 0xFFFF, on Windows and on Wine.
        seen.message = TextOfWindow(GetDlgItem(box, 0xFFFF));
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    seen.status = WaitForInstaller(installer, log);
    return seen;
}

std::wstring OutputFolder() {
    return Variable(L"BREVANTO_MSI_OUTPUT");
}

std::wstring PackagePath(const wchar_t* variable) {
    return Variable(variable);
}

std::wstring PackageProperty(const std::wstring& package, const std::wstring& name) {
    PMSIHANDLE database;
    if (MsiOpenDatabaseW(package.c_str(), MSIDBOPEN_READONLY, &database) != ERROR_SUCCESS)
        support::Fail("cannot open " + Utf8(package), GetLastError());
    PMSIHANDLE view;
    const std::wstring query = L"SELECT `Value` FROM `Property` WHERE `Property` = '" + name + L"'";
    PMSIHANDLE record;
    if (MsiDatabaseOpenViewW(database, query.c_str(), &view) != ERROR_SUCCESS ||
        MsiViewExecute(view, 0) != ERROR_SUCCESS || MsiViewFetch(view, &record) != ERROR_SUCCESS)
        return L"";
    wchar_t value[256] = {};
    DWORD size = std::size(value);
    MsiRecordGetStringW(record, 1, value, &size);
    return value;
}

std::vector<std::wstring> InstalledProducts(const std::wstring& upgradeCode) {
    std::vector<std::wstring> products;
    wchar_t product[39];
    for (DWORD index = 0;
         MsiEnumRelatedProductsW(upgradeCode.c_str(), 0, index, product) == ERROR_SUCCESS; ++index)
        products.emplace_back(product);
    return products;
}

std::vector<UninstallEntry> UninstallEntries(const std::wstring& displayName) {
    std::vector<UninstallEntry> entries;
    // Both views: Windows keeps a Windows Installer product's entry in the 64-bit one, Wine in
    // the package's.
    for (const REGSAM view : RegistryViews()) {
        UniqueRegistryKey uninstall;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                          L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                          KEY_READ | view, uninstall.Put()) != ERROR_SUCCESS)
            continue;
        wchar_t name[256];
        for (DWORD index = 0;; ++index) {
            DWORD length = std::size(name);
            if (RegEnumKeyExW(uninstall.Get(), index, name, &length, nullptr, nullptr, nullptr,
                              nullptr) != ERROR_SUCCESS)
                break;
            UniqueRegistryKey entry;
            if (RegOpenKeyExW(uninstall.Get(), name, 0, KEY_READ | view, entry.Put()) !=
                    ERROR_SUCCESS ||
                RegistryText(entry.Get(), L"DisplayName") != displayName)
                continue;
            entries.push_back({name, RegistryText(entry.Get(), L"DisplayVersion"),
                               RegistryText(entry.Get(), L"Publisher"),
                               RegistryText(entry.Get(), L"InstallLocation"),
                               RegistryNumber(entry.Get(), L"NoModify")});
        }
    }
    return entries;
}

} // namespace brevanto::msi
