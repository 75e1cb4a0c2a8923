#pragma once

#include <string>

namespace brevanto::e2e {

// Removes a registry key under HKEY_CLASSES_ROOT for the lifetime of the guard, then registers
// the stand-ins again.
class ClassesKeyRemoved {
public:
    explicit ClassesKeyRemoved(std::wstring subKey);
    ~ClassesKeyRemoved();
    ClassesKeyRemoved(const ClassesKeyRemoved&) = delete;
    ClassesKeyRemoved& operator=(const ClassesKeyRemoved&) = delete;
};

// Registers another file as a class's in-process server for the lifetime of the guard, then
// registers the stand-ins again.
class ServerPathReplaced {
public:
    ServerPathReplaced(const std::wstring& clsidKey, const std::wstring& path);
    ~ServerPathReplaced();
    ServerPathReplaced(const ServerPathReplaced&) = delete;
    ServerPathReplaced& operator=(const ServerPathReplaced&) = delete;
};

inline constexpr wchar_t kUserProgId[] = L"ZELTAR_User.clsCurrentUser";
inline constexpr wchar_t kViewerProgId[] = L"velmonic.labresultviewer";
inline constexpr wchar_t kUserClsidKey[] = L"CLSID\\{B7A3C2D1-5E4F-4A6B-9C8D-1E2F3A4B5C01}";
inline constexpr wchar_t kViewerClsidKey[] = L"CLSID\\{B7A3C2D1-5E4F-4A6B-9C8D-1E2F3A4B5C02}";

} // namespace brevanto::e2e
