#include "tests/runner/registry_trees.h"

#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "tests/runner/runner_error.h"

namespace brevanto::runner {
namespace {

std::wstring Below(const std::wstring& path, const std::string& relative) {
    return relative.empty() ? path : path + L"\\" + FromUtf8(relative);
}

void ReadKey(HKEY key, const std::string& relative, std::vector<SnapshotKey>& keys) {
    DWORD subKeys = 0;
    DWORD longestSubKey = 0;
    DWORD values = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &longestSubKey, nullptr, &values,
                         &longestName, &longestData, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    SnapshotKey snapshot{relative, {}};
    for (DWORD i = 0; i < values; ++i) {
        std::wstring name(longestName + 1, L'\0');
        std::vector<unsigned char> data(longestData);
        DWORD nameLength = longestName + 1;
        DWORD type = 0;
        DWORD size = longestData;
        if (RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type,
                          data.empty() ? nullptr : data.data(), &size) != ERROR_SUCCESS)
            continue;
        name.resize(nameLength);
        data.resize(size);
        snapshot.values.push_back({Utf8(name), type, std::move(data)});
    }
    keys.push_back(std::move(snapshot));
    for (DWORD i = 0; i < subKeys; ++i) {
        std::wstring name(longestSubKey + 1, L'\0');
        DWORD nameLength = longestSubKey + 1;
        if (RegEnumKeyExW(key, i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            continue;
        name.resize(nameLength);
        UniqueRegistryKey sub;
        if (RegOpenKeyExW(key, name.c_str(), 0, KEY_READ, sub.Put()) != ERROR_SUCCESS)
            continue;
        ReadKey(sub.Get(), relative.empty() ? Utf8(name) : relative + "\\" + Utf8(name), keys);
    }
}

void RemoveTree(HKEY root, const std::wstring& path, REGSAM view) {
    UniqueRegistryKey key;
    LSTATUS status = RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS | view, key.Put());
    if (status == ERROR_FILE_NOT_FOUND)
        return;
    if (status == ERROR_SUCCESS)
        status = RegDeleteTreeW(key.Get(), nullptr);
    key.Reset();
    if (status == ERROR_SUCCESS)
        status = RegDeleteKeyExW(root, path.c_str(), view, 0);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        ThrowRunnerError("cannot remove " + Utf8(path), static_cast<DWORD>(status));
}

} // namespace

HKEY RootKey(const std::string& root) {
    return root == "HKLM" ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

REGSAM ViewFlag(const std::string& view) {
    return view == "32" ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}

SnapshotTree ReadTree(const std::string& root, const std::string& view, const std::string& path) {
    SnapshotTree tree{root, view, path, false, {}};
    UniqueRegistryKey key;
    if (RegOpenKeyExW(RootKey(root), FromUtf8(path).c_str(), 0, KEY_READ | ViewFlag(view),
                      key.Put()) != ERROR_SUCCESS)
        return tree;
    tree.present = true;
    ReadKey(key.Get(), "", tree.keys);
    return tree;
}

void RestoreTree(const SnapshotTree& snapshot) {
    if (ReadTree(snapshot.root, snapshot.view, snapshot.path) == snapshot)
        return;
    const HKEY root = RootKey(snapshot.root);
    const REGSAM view = ViewFlag(snapshot.view);
    const std::wstring path = FromUtf8(snapshot.path);
    const std::string where =
        snapshot.root + "\\" + snapshot.path + " (" + snapshot.view + "-bit view)";
    RemoveTree(root, path, view);
    if (!snapshot.present)
        return;
    for (const SnapshotKey& saved : snapshot.keys) {
        UniqueRegistryKey key;
        LSTATUS status = RegCreateKeyExW(root, Below(path, saved.path).c_str(), 0, nullptr, 0,
                                         KEY_SET_VALUE | view, nullptr, key.Put(), nullptr);
        if (status != ERROR_SUCCESS)
            ThrowRunnerError("cannot put back " + where, static_cast<DWORD>(status));
        for (const SnapshotValue& value : saved.values) {
            status = RegSetValueExW(key.Get(), FromUtf8(value.name).c_str(), 0, value.type,
                                    value.data.empty() ? nullptr : value.data.data(),
                                    static_cast<DWORD>(value.data.size()));
            if (status != ERROR_SUCCESS)
                ThrowRunnerError("cannot put back a value of " + where, static_cast<DWORD>(status));
        }
    }
}

} // namespace brevanto::runner
