#include "platform/registry/registry_text.h"

#include <algorithm>
#include <vector>

namespace brevanto {
namespace {

constexpr std::uint32_t kFirstBufferBytes = 256;
// A variable that keeps growing between two expansions is given up on, not chased for ever.
constexpr int kExpansionAttempts = 8;

// Wiped before the heap takes the bytes back.
class WipedBytes {
public:
    explicit WipedBytes(std::size_t size) : bytes_(size) {}
    ~WipedBytes() { Wipe(); }
    WipedBytes(const WipedBytes&) = delete;
    WipedBytes& operator=(const WipedBytes&) = delete;

    std::byte* Data() { return bytes_.data(); }
    std::size_t Size() const { return bytes_.size(); }
    void Renew(std::size_t size) {
        Wipe();
        bytes_ = std::vector<std::byte>(size);
    }

private:
    void Wipe() {
        volatile std::byte* bytes = bytes_.data();
        for (std::size_t i = 0; i < bytes_.size(); ++i)
            bytes[i] = std::byte{0};
    }

    std::vector<std::byte> bytes_;
};

} // namespace

std::wstring TextOfValueBytes(const std::byte* bytes, std::size_t size) {
    // UTF-16 code units, little-endian as Windows stores them, one per character of the text.
    std::wstring text(size / 2, L'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<wchar_t>(std::to_integer<unsigned>(bytes[2 * i]) |
                                       std::to_integer<unsigned>(bytes[2 * i + 1]) << 8);
    if (const auto nul = text.find(L'\0'); nul != std::wstring::npos)
        text.resize(nul);
    return text;
}

std::optional<std::wstring> TryReadRegistryText(const ValueQuery& query,
                                                const EnvironmentExpansion* expansion) {
    WipedBytes data(kFirstBufferBytes);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    for (;;) {
        size = static_cast<std::uint32_t>(data.Size());
        const QueryStatus status = query(type, data.Data(), size);
        if (status == QueryStatus::Failed)
            return std::nullopt;
        if (status == QueryStatus::Done)
            break;
        // The value may grow between two calls; ask again with what it needs now.
        data.Renew(std::max<std::size_t>(size + 2, data.Size() + 1));
    }
    if (type != kRegistryText && type != kRegistryExpandText)
        return std::nullopt;
    std::wstring text = TextOfValueBytes(data.Data(), std::min<std::size_t>(size, data.Size()));
    if (type == kRegistryExpandText && expansion)
        return ExpandedText(text, *expansion);
    return text;
}

std::wstring ExpandedText(const std::wstring& text, const EnvironmentExpansion& expansion) {
    std::vector<wchar_t> buffer(text.size() + 1);
    for (int attempt = 0; attempt < kExpansionAttempts; ++attempt) {
        const auto capacity = static_cast<std::uint32_t>(buffer.size());
        const std::uint32_t needed = expansion(text.c_str(), buffer.data(), capacity);
        if (needed == 0)
            return text;
        if (needed <= capacity)
            return std::wstring(buffer.data(),
                                std::find(buffer.data(), buffer.data() + needed, L'\0'));
        buffer.assign(needed, L'\0');
    }
    return text;
}

} // namespace brevanto
