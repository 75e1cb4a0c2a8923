#include "tests/support/event_record.h"

namespace brevanto::support {
namespace {

// EVENTLOGRECORD's fields, by their offsets in the record.
constexpr std::size_t kLength = 0;
constexpr std::size_t kSignature = 4;
constexpr std::size_t kRecordNumber = 8;
constexpr std::size_t kEventId = 20;
constexpr std::size_t kEventType = 24;
constexpr std::size_t kNumStrings = 26;
constexpr std::size_t kStringOffset = 36;
constexpr std::size_t kUserSidLength = 40;
constexpr std::size_t kUserSidOffset = 44;
constexpr std::size_t kSourceName = 56; // the fixed part's end
constexpr std::uint32_t kLfLe = 0x654C664C;

class RecordBytes {
public:
    RecordBytes(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}

    std::uint32_t U32(std::size_t at) const {
        return bytes_[at] | bytes_[at + 1] << 8 | bytes_[at + 2] << 16 |
               static_cast<std::uint32_t>(bytes_[at + 3]) << 24;
    }
    std::uint16_t U16(std::size_t at) const {
        return static_cast<std::uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
    }
    // The NUL-ended UTF-16 text at 'at', and where the next one starts; nothing when it is not
    // ended within the record.
    std::optional<std::u16string> Text(std::size_t& at) const {
        std::u16string text;
        for (; at + 2 <= size_; at += 2) {
            const char16_t c = U16(at);
            if (c == u'\0') {
                at += 2;
                return text;
            }
            text += c;
        }
        return std::nullopt;
    }

private:
    const std::uint8_t* bytes_;
    std::size_t size_;
};

} // namespace

std::optional<EventRecord> ReadEventRecord(const std::uint8_t* bytes, std::size_t size) {
    if (size < kSourceName)
        return std::nullopt;
    const RecordBytes whole(bytes, size);
    EventRecord record;
    record.length = whole.U32(kLength);
    if (record.length < kSourceName || record.length > size || whole.U32(kSignature) != kLfLe)
        return std::nullopt;
    const RecordBytes fields(bytes, record.length);
    record.recordNumber = fields.U32(kRecordNumber);
    record.eventId = fields.U32(kEventId);
    record.eventType = fields.U16(kEventType);
    std::size_t at = kSourceName;
    auto source = fields.Text(at);
    if (!source)
        return std::nullopt;
    record.source = std::move(*source);
    at = fields.U32(kStringOffset);
    for (std::uint16_t i = 0, count = fields.U16(kNumStrings); i < count; ++i) {
        auto text = fields.Text(at);
        if (!text)
            return std::nullopt;
        record.strings.push_back(std::move(*text));
    }
    const std::uint32_t sidLength = fields.U32(kUserSidLength);
    const std::uint32_t sidOffset = fields.U32(kUserSidOffset);
    if (sidLength) {
        if (sidOffset < kSourceName || sidOffset > record.length ||
            sidLength > record.length - sidOffset)
            return std::nullopt;
        record.userSid.assign(bytes + sidOffset, bytes + sidOffset + sidLength);
    }
    return record;
}

} // namespace brevanto::support
