#include "platform/registry_settings.h"

#include <vector>

#include "platform/unique_resource.h"

namespace brevanto {
namespace {

// The bytes of a value as read. Any value may be a secret (the password), so the bytes are
// wiped before they go back to the heap.
class WipedBuffer {
public:
    explicit WipedBuffer(std::size_t size) : bytes_(size) {}
    ~WipedBuffer() { Wipe(); }
    WipedBuffer(const WipedBuffer&) = delete;
    WipedBuffer& operator=(const WipedBuffer&) = delete;

    BYTE* Data() { return bytes_.data(); }
    std::size_t Size() const { return bytes_.size(); }
    // A new, empty buffer of the size; the old one is wiped first.
    void Renew(std::size_t size) {
        Wipe();
        bytes_ = std::vector<BYTE>(size);
    }

private:
    void Wipe() { SecureZeroMemory(bytes_.data(), bytes_.size()); }

    std::vector<BYTE> bytes_;
};

} // namespace

RegistrySettingsStore::RegistrySettingsStore(HKEY root, std::wstring basePath)
    : root_(root), basePath_(std::move(basePath)) {}

UniqueRegistryKey RegistrySettingsStore::OpenSection(std::wstring_view app,
                                                     std::wstring_view section) const {
    const std::wstring path = basePath_ + L"\\" + std::wstring(app) + L"\\" + std::wstring(section);
    UniqueRegistryKey sectionKey;
    RegOpenKeyExW(root_, path.c_str(), 0, KEY_QUERY_VALUE, sectionKey.Put());
    return sectionKey;
}

std::optional<DWORD> RegistrySettingsStore::TypeOf(std::wstring_view app, std::wstring_view section,
                                                   std::wstring_view key) const {
    const UniqueRegistryKey sectionKey = OpenSection(app, section);
    DWORD type = 0;
    if (!sectionKey || RegQueryValueExW(sectionKey.Get(), std::wstring(key).c_str(), nullptr, &type,
                                        nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return type;
}

std::optional<std::wstring> RegistrySettingsStore::TryRead(std::wstring_view app,
                                                           std::wstring_view section,
                                                           std::wstring_view key) const {
    const UniqueRegistryKey sectionKey = OpenSection(app, section);
    if (!sectionKey)
        return std::nullopt;

    const std::wstring valueName(key);
    WipedBuffer data(256);
    DWORD type = 0;
    DWORD size = 0;
    for (;;) {
        size = static_cast<DWORD>(data.Size());
        const LONG status = RegQueryValueExW(sectionKey.Get(), valueName.c_str(), nullptr, &type,
                                             data.Data(), &size);
        if (status == ERROR_MORE_DATA) {
            // The value may grow between two calls; ask again with what it needs now.
            data.Renew(size + sizeof(wchar_t));
            continue;
        }
        if (status != ERROR_SUCCESS)
            return std::nullopt;
        break;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return std::nullopt;

    // The byte count may be odd or lack the terminator; copy whole code units only.
    std::wstring text(size / sizeof(wchar_t), L'\0');
    std::copy(data.Data(), data.Data() + text.size() * sizeof(wchar_t),
              reinterpret_cast<BYTE*>(text.data()));
    if (const auto nul = text.find(L'\0'); nul != std::wstring::npos)
        text.resize(nul);
    return text;
}

} // namespace brevanto
