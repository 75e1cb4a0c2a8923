#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace brevanto::e2e {

inline constexpr wchar_t kSettingsRoot[] =
    L"Software\\VB and VBA Program Settings\\ZELTARPDFCreator";

// Empties the program's settings in this prefix's HKCU.
void ClearSettings();
void StoreSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value);
// Stores raw bytes with any registry type, for values the product family never writes itself.
void StoreRawSetting(const std::wstring& section, const std::wstring& key, DWORD type,
                     const std::vector<BYTE>& data);

// Registers the stand-in components (BrevantoStandin.dll beside the driver).
void RegisterStandins();

// Removes a registry key under HKEY_CLASSES_ROOT for the lifetime of the guard, then registers
// the stand-ins again.
class ClassesKeyRemoved {
public:
    explicit ClassesKeyRemoved(std::wstring subKey);
    ~ClassesKeyRemoved();
    ClassesKeyRemoved(const ClassesKeyRemoved&) = delete;
    ClassesKeyRemoved& operator=(const ClassesKeyRemoved&) = delete;
};

inline constexpr wchar_t kUserProgId[] = L"ZELTAR_User.clsCurrentUser";
inline constexpr wchar_t kViewerProgId[] = L"velmonic.labresultviewer";
inline constexpr wchar_t kUserClsidKey[] = L"CLSID\\{B7A3C2D1-5E4F-4A6B-9C8D-1E2F3A4B5C01}";
inline constexpr wchar_t kViewerClsidKey[] = L"CLSID\\{B7A3C2D1-5E4F-4A6B-9C8D-1E2F3A4B5C02}";

} // namespace brevanto::e2e
