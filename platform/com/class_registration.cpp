#include "platform/com/class_registration.h"

#include <vector>

#include "platform/base/unique_resource.h"
#include "platform/com/class_resolution.h"
#include "platform/registry/registry_value.h"

namespace brevanto {
namespace {

// Registry keys as classes roots; a root that cannot be opened has no keys.
class RegistryClassesRoots : public ClassesRoots {
public:
    void Add(HKEY root, const wchar_t* subKey, REGSAM view = 0) {
        UniqueRegistryKey key;
        RegOpenKeyExW(root, subKey, 0, KEY_READ | view, key.Put());
        roots_.push_back(std::move(key));
    }
    std::size_t Count() const override { return roots_.size(); }
    bool HasKey(std::size_t root, const std::wstring& key) const override {
        UniqueRegistryKey opened;
        return roots_[root] && RegOpenKeyExW(roots_[root].Get(), key.c_str(), 0, KEY_QUERY_VALUE,
                                             opened.Put()) == ERROR_SUCCESS;
    }
    std::optional<std::wstring> TryText(std::size_t root, const std::wstring& key,
                                        const wchar_t* name) const override {
        if (!roots_[root])
            return std::nullopt;
        return TryReadRegistryText(roots_[root].Get(), key, name, Expansion::Expanded);
    }

private:
    std::vector<UniqueRegistryKey> roots_;
};

// A bare file name is found the way the loader finds it: on the search path.
std::wstring Located(const std::wstring& path) {
    if (path.find_first_of(L"\\/") != std::wstring::npos)
        return path;
    wchar_t found[MAX_PATH];
    const DWORD length = SearchPathW(nullptr, path.c_str(), nullptr, MAX_PATH, found, nullptr);
    return length && length < MAX_PATH ? std::wstring(found, length) : path;
}

// userFirst: the first root is the user's classes. locate: a bare file name is looked up as the
// loader would look it up; the machine's registration is taken as written, where a bare name is
// no folder.
ClassRegistration Read(const ClassesRoots& roots, std::wstring_view progId, bool userFirst,
                       bool locate = true) {
    const ResolvedClass resolved = ResolveClass(roots, progId);
    ClassRegistration registration;
    registration.clsid = resolved.clsid;
    registration.treatAs = resolved.treatAs;
    registration.serverKind = resolved.serverKind;
    registration.threadingModel = resolved.threadingModel;
    registration.fromUserClasses = userFirst && resolved.rootsUsed[0];
    std::wstring& path = registration.serverPath;
    path = registration.serverKind == L"LocalServer32" ? ProgramOfCommandLine(resolved.serverValue)
                                                       : resolved.serverValue;
    if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"')
        path = path.substr(1, path.size() - 2);
    if (locate && !path.empty())
        path = Located(path);
    return registration;
}

} // namespace

ClassRegistration ReadClassRegistration(std::wstring_view progId) {
    RegistryClassesRoots roots;
    roots.Add(HKEY_CLASSES_ROOT, nullptr);
    return Read(roots, progId, false);
}

ClassRegistration ReadMergedClassRegistration(std::wstring_view progId) {
    RegistryClassesRoots roots;
    roots.Add(HKEY_CURRENT_USER, L"Software\\Classes");
    roots.Add(HKEY_CLASSES_ROOT, nullptr);
    return Read(roots, progId, true);
}

ClassRegistration ReadMachineClassRegistration(std::wstring_view progId, REGSAM view) {
    RegistryClassesRoots roots;
    roots.Add(HKEY_LOCAL_MACHINE, L"Software\\Classes", view);
    return Read(roots, progId, false, false);
}

ClassRegistration ReadElevatedClassRegistration(std::wstring_view progId) {
    RegistryClassesRoots roots;
    roots.Add(HKEY_LOCAL_MACHINE, L"Software\\Classes");
    return Read(roots, progId, false);
}

} // namespace brevanto
