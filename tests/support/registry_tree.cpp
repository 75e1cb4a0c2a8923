#include "tests/support/registry_tree.h"

#include <cstdio>
#include <exception>

#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "tests/support/failure.h"

namespace brevanto::support {
namespace {

std::vector<std::wstring> SubkeyNames(HKEY key) {
    std::vector<std::wstring> names;
    wchar_t name[256];
    for (DWORD length = static_cast<DWORD>(std::size(name));
         RegEnumKeyExW(key, static_cast<DWORD>(names.size()), name, &length, nullptr, nullptr,
                       nullptr, nullptr) == ERROR_SUCCESS;
         length = static_cast<DWORD>(std::size(name)))
        names.emplace_back(name, length);
    return names;
}

std::vector<RegistryTree::Value> Values(HKEY key, const std::wstring& path) {
    DWORD count = 0, longestName = 0, largestData = 0;
    LSTATUS status = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                      &count, &longestName, &largestData, nullptr, nullptr);
    if (status != ERROR_SUCCESS)
        Fail("cannot read the values of " + Utf8(path), status);
    std::vector<RegistryTree::Value> values;
    for (DWORD index = 0; index < count; ++index) {
        std::wstring name(longestName + 1, L'\0');
        RegistryTree::Value value;
        value.data.resize(largestData);
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(value.data.size());
        status = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &value.type,
                               value.data.data(), &size);
        if (status != ERROR_SUCCESS)
            Fail("cannot read a value of " + Utf8(path), status);
        name.resize(nameLength);
        value.name = std::move(name);
        value.data.resize(size);
        values.push_back(std::move(value));
    }
    return values;
}

} // namespace

RegistryTree ReadRegistryTree(HKEY root, const std::wstring& path, REGSAM view) {
    RegistryTree tree;
    UniqueRegistryKey key;
    const LSTATUS status = RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.Put());
    if (status == ERROR_FILE_NOT_FOUND)
        return tree;
    if (status != ERROR_SUCCESS)
        Fail("cannot open " + Utf8(path), status);
    tree.exists = true;
    tree.values = Values(key.Get(), path);
    for (const std::wstring& name : SubkeyNames(key.Get()))
        tree.subkeys.push_back({name, ReadRegistryTree(root, path + L"\\" + name, view)});
    return tree;
}

void DeleteRegistryTree(HKEY root, const std::wstring& path, REGSAM view) {
    std::vector<std::wstring> children;
    {
        UniqueRegistryKey key;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.Put()) != ERROR_SUCCESS)
            return;
        children = SubkeyNames(key.Get());
    }
    for (const std::wstring& child : children)
        DeleteRegistryTree(root, path + L"\\" + child, view);
    const LSTATUS status = RegDeleteKeyExW(root, path.c_str(), view, 0);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        Fail("cannot delete " + Utf8(path), status);
}

void WriteRegistryTree(HKEY root, const std::wstring& path, REGSAM view, const RegistryTree& tree) {
    DeleteRegistryTree(root, path, view);
    if (!tree.exists)
        return;
    UniqueRegistryKey key;
    LSTATUS status = RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view,
                                     nullptr, key.Put(), nullptr);
    if (status != ERROR_SUCCESS)
        Fail("cannot create " + Utf8(path), status);
    for (const RegistryTree::Value& value : tree.values) {
        status = RegSetValueExW(key.Get(), value.name.c_str(), 0, value.type, value.data.data(),
                                static_cast<DWORD>(value.data.size()));
        if (status != ERROR_SUCCESS)
            Fail("cannot write " + Utf8(value.name) + " of " + Utf8(path), status);
    }
    for (const RegistryTree::Subkey& subkey : tree.subkeys)
        WriteRegistryTree(root, path + L"\\" + subkey.name, view, subkey.tree);
}

SavedRegistryKey::SavedRegistryKey(HKEY root, std::wstring path, REGSAM view)
    : root_(root), path_(std::move(path)), view_(view),
      found_(ReadRegistryTree(root_, path_, view_)) {}

SavedRegistryKey::~SavedRegistryKey() {
    if (restored_)
        return;
    try {
        Restore();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
    }
}

void SavedRegistryKey::Restore() {
    restored_ = true;
    WriteRegistryTree(root_, path_, view_, found_);
}

} // namespace brevanto::support
