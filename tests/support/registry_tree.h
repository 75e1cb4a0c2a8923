#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace brevanto::support {

// A registry key with everything below it, as read at one moment.
struct RegistryTree {
    struct Value {
        std::wstring name;
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
        bool operator==(const Value&) const = default;
    };
    struct Subkey;

    bool exists = false;
    std::vector<Value> values;   // in the order the registry enumerates them
    std::vector<Subkey> subkeys; // likewise

    bool operator==(const RegistryTree&) const;
};

struct RegistryTree::Subkey {
    std::wstring name;
    RegistryTree tree;
    bool operator==(const Subkey&) const = default;
};

inline bool RegistryTree::operator==(const RegistryTree& other) const {
    return exists == other.exists && values == other.values && subkeys == other.subkeys;
}

// root\path in a registry view (0, KEY_WOW64_32KEY or KEY_WOW64_64KEY). Throws
// std::runtime_error when a key that is there cannot be read.
RegistryTree ReadRegistryTree(HKEY root, const std::wstring& path, REGSAM view = 0);

// Deletes root\path with everything below it, each key opened by its whole path in the view
// given (a key opened relative to a handle of the other view is redirected back to the caller's
// own view). A key that is not there is fine; throws std::runtime_error on any other failure.
void DeleteRegistryTree(HKEY root, const std::wstring& path, REGSAM view = 0);

// Makes root\path hold exactly what tree holds: deleted, then written again when tree exists.
void WriteRegistryTree(HKEY root, const std::wstring& path, REGSAM view, const RegistryTree& tree);

// A key the tests change, put back as it was found: the same values and subkeys, or no key when
// there was none. A test that needs it gone or empty removes it itself.
class SavedRegistryKey {
public:
    // Throws std::runtime_error when the key cannot be read.
    SavedRegistryKey(HKEY root, std::wstring path, REGSAM view = 0);
    // Puts it back unless Restore did; a failure then is only printed on the standard error.
    ~SavedRegistryKey();
    SavedRegistryKey(const SavedRegistryKey&) = delete;
    SavedRegistryKey& operator=(const SavedRegistryKey&) = delete;

    // Puts it back now; throws std::runtime_error when it cannot.
    void Restore();
    const RegistryTree& Found() const { return found_; }

private:
    HKEY root_;
    std::wstring path_;
    REGSAM view_;
    RegistryTree found_;
    bool restored_ = false;
};

} // namespace brevanto::support
