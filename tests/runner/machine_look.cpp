#include "tests/runner/machine_look.h"

#include <windows.h>

#include <msi.h>

#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "platform/registry/registry_value.h"
#include "tests/runner/machine_facts.h"
#include "tests/runner/registry_trees.h"

namespace brevanto::runner {
namespace {

constexpr wchar_t kUpgradeCode[] = L"{8C6D0774-30E0-40D1-A34D-A012D352DA54}";
constexpr wchar_t kSettingsStore[] = L"Software\\VB and VBA Program Settings";
constexpr wchar_t kProductFamily[] = L"ZELTARPDFCreator";
constexpr wchar_t kLocalDumps[] =
    L"SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting\\LocalDumps";

// On 32-bit Windows the two views are one.
std::vector<const char*> Views() {
    if (SystemIs64Bit())
        return {"64", "32"};
    return {"32"};
}

std::optional<std::wstring> Text(HKEY root, const std::wstring& path, REGSAM view) {
    return TryReadRegistryText(root, path, nullptr, Expansion::AsStored, view);
}

void LookAtClasses(MachineSeen& seen) {
    for (const char* root : {"HKLM", "HKCU"}) {
        for (const char* view : Views()) {
            const HKEY rootKey = RootKey(root);
            const REGSAM viewFlag = ViewFlag(view);
            for (const wchar_t* progId :
                 {L"ZELTAR_User.clsCurrentUser", L"velmonic.labresultviewer"}) {
                const std::wstring classes = L"Software\\Classes\\";
                UniqueRegistryKey key;
                if (RegOpenKeyExW(rootKey, (classes + progId).c_str(), 0, KEY_READ | viewFlag,
                                  key.Put()) != ERROR_SUCCESS)
                    continue;
                ClassRegistrationSeen registration{
                    std::string(root) + " classes, " + view + "-bit view", Utf8(progId), {}, {}};
                if (const auto clsid = Text(rootKey, classes + progId + L"\\CLSID", viewFlag)) {
                    registration.clsid = Utf8(*clsid);
                    for (const wchar_t* server : {L"\\InprocServer32", L"\\LocalServer32"}) {
                        const auto path =
                            Text(rootKey, classes + L"CLSID\\" + *clsid + server, viewFlag);
                        if (path && registration.server.empty())
                            registration.server = Utf8(*path);
                    }
                }
                seen.classes.push_back(registration);
            }
        }
    }
}

void LookAtProducts(MachineSeen& seen) {
    wchar_t product[39] = {};
    for (DWORD i = 0; MsiEnumRelatedProductsW(kUpgradeCode, 0, i, product) == ERROR_SUCCESS; ++i)
        seen.installedProducts.push_back(Utf8(product));
}

// Every value below the key, named by its path from the key: "Settings\ViewMode".
void ValuesBelow(HKEY key, const std::wstring& path, std::vector<std::string>& values) {
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD length = std::size(name);
        if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        values.push_back(Utf8(path.empty() ? std::wstring(name) : path + L"\\" + name));
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = std::size(name);
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        UniqueRegistryKey sub;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, sub.Put()) == ERROR_SUCCESS)
            ValuesBelow(sub.Get(), path.empty() ? std::wstring(name) : path + L"\\" + name, values);
    }
}

void LookAtSettings(MachineSeen& seen) {
    UniqueRegistryKey store;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsStore, 0, KEY_READ, store.Put()) != ERROR_SUCCESS)
        return;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = std::size(name);
        if (RegEnumKeyExW(store.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        if (CompareStringOrdinal(name, -1, kProductFamily, -1, TRUE) != CSTR_EQUAL) {
            seen.otherSettingsKeys.push_back(Utf8(name));
            continue;
        }
        UniqueRegistryKey family;
        if (RegOpenKeyExW(store.Get(), name, 0, KEY_READ, family.Put()) == ERROR_SUCCESS)
            ValuesBelow(family.Get(), L"", seen.settingsValues);
    }
}

void LookAtLocalDumps(MachineSeen& seen) {
    for (const char* view : Views()) {
        UniqueRegistryKey key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kLocalDumps, 0, KEY_READ | ViewFlag(view),
                          key.Put()) == ERROR_SUCCESS)
            seen.localDumpsKeys.push_back("HKLM\\" + Utf8(kLocalDumps) + " (" + view +
                                          "-bit view)");
    }
}

} // namespace

MachineSeen LookAtMachine() {
    MachineSeen seen;
    LookAtClasses(seen);
    LookAtProducts(seen);
    LookAtSettings(seen);
    LookAtLocalDumps(seen);
    return seen;
}

} // namespace brevanto::runner
