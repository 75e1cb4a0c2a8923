#include "platform/class_registration.h"

#include <windows.h>

#include <objbase.h>

#include <cwctype>
#include <optional>
#include <vector>

#include "platform/unique_resource.h"

namespace brevanto {
namespace {

std::optional<std::wstring> ReadText(HKEY root, const std::wstring& path, const wchar_t* name) {
    UniqueRegistryKey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring text(data.data());
    if (type == REG_EXPAND_SZ) {
        std::vector<wchar_t> expanded(32768);
        if (ExpandEnvironmentStringsW(text.c_str(), expanded.data(),
                                      static_cast<DWORD>(expanded.size())))
            text = expanded.data();
    }
    return text;
}

// A LocalServer32 value is a command line: the program is the first, maybe quoted, part.
std::wstring ProgramOf(const std::wstring& commandLine) {
    if (!commandLine.empty() && commandLine.front() == L'"') {
        const auto close = commandLine.find(L'"', 1);
        return commandLine.substr(1, close == std::wstring::npos ? close : close - 1);
    }
    const auto lower = [&](std::size_t i) {
        return static_cast<wchar_t>(std::towlower(commandLine[i]));
    };
    // Unquoted: up to ".exe" when there is one, since the path may hold blanks.
    for (std::size_t i = 0; i + 4 <= commandLine.size(); ++i) {
        if (lower(i) == L'.' && lower(i + 1) == L'e' && lower(i + 2) == L'x' &&
            lower(i + 3) == L'e')
            return commandLine.substr(0, i + 4);
    }
    return commandLine.substr(0, commandLine.find(L' '));
}

// A bare file name is found the way the loader finds it: on the search path.
std::wstring Located(const std::wstring& path) {
    if (path.find_first_of(L"\\/") != std::wstring::npos)
        return path;
    wchar_t found[MAX_PATH];
    const DWORD length = SearchPathW(nullptr, path.c_str(), nullptr, MAX_PATH, found, nullptr);
    return length && length < MAX_PATH ? std::wstring(found, length) : path;
}

// The CLSID a ProgID names in the machine's classes, as its "{...}" text.
std::wstring MachineClassId(HKEY classes, std::wstring_view progId) {
    const auto text = ReadText(classes, std::wstring(progId) + L"\\CLSID", nullptr);
    CLSID clsid;
    if (!text || FAILED(CLSIDFromString(text->c_str(), &clsid)))
        return {};
    wchar_t normal[64] = {};
    StringFromGUID2(clsid, normal, static_cast<int>(std::size(normal)));
    return normal;
}

std::wstring MergedClassId(std::wstring_view progId) {
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(std::wstring(progId).c_str(), &clsid)))
        return {};
    wchar_t text[64] = {};
    StringFromGUID2(clsid, text, static_cast<int>(std::size(text)));
    return text;
}

} // namespace

ClassRegistration ReadClassRegistration(std::wstring_view progId, ClassesView view) {
    ClassRegistration registration;
    UniqueRegistryKey machine;
    HKEY classes = HKEY_CLASSES_ROOT;
    if (view == ClassesView::Machine32) {
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes", 0, KEY_READ | KEY_WOW64_32KEY,
                          machine.Put()) != ERROR_SUCCESS)
            return registration;
        classes = machine.Get();
    }
    registration.clsid =
        view == ClassesView::Machine32 ? MachineClassId(classes, progId) : MergedClassId(progId);
    if (registration.clsid.empty())
        return registration;

    const std::wstring classKey = L"CLSID\\" + registration.clsid + L"\\";
    for (const wchar_t* kind : {L"InprocServer32", L"LocalServer32"}) {
        const auto value = ReadText(classes, classKey + kind, nullptr);
        if (!value)
            continue;
        registration.serverKind = kind;
        registration.serverPath =
            registration.serverKind == L"LocalServer32" ? ProgramOf(*value) : *value;
        if (registration.serverPath.size() >= 2 && registration.serverPath.front() == L'"' &&
            registration.serverPath.back() == L'"')
            registration.serverPath =
                registration.serverPath.substr(1, registration.serverPath.size() - 2);
        // The machine's registration is taken as written: a bare name is no folder.
        if (view == ClassesView::Merged)
            registration.serverPath = Located(registration.serverPath);
        registration.threadingModel =
            ReadText(classes, classKey + kind, L"ThreadingModel").value_or(L"");
        break;
    }
    return registration;
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace brevanto
