#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/event_record.h"

namespace brevanto::testing {
namespace {

using support::EventRecord;
using support::ReadEventRecord;

void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutText(std::vector<std::uint8_t>& bytes, const std::u16string& text) {
    for (const char16_t c : text + u'\0') {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
}

// A record laid out as the event log service writes one: the fixed part (56 bytes), the source
// and computer names, the user's SID if there is one, the strings, then the length again.
std::vector<std::uint8_t> Record(std::uint32_t number, std::uint32_t id, std::uint16_t type,
                                 const std::u16string& source,
                                 const std::vector<std::u16string>& strings,
                                 const std::vector<std::uint8_t>& userSid = {}) {
    std::vector<std::uint8_t> bytes(56, 0);
    Put32(bytes, 4, 0x654C664C); // "LfLe"
    Put32(bytes, 8, number);
    Put32(bytes, 20, id);
    bytes[24] = static_cast<std::uint8_t>(type);
    bytes[26] = static_cast<std::uint8_t>(strings.size());
    PutText(bytes, source);
    PutText(bytes, u"LAB-PC-07");
    while (bytes.size() % 4)
        bytes.push_back(0);
    if (!userSid.empty()) {
        Put32(bytes, 40, static_cast<std::uint32_t>(userSid.size()));
        Put32(bytes, 44, static_cast<std::uint32_t>(bytes.size()));
        bytes.insert(bytes.end(), userSid.begin(), userSid.end());
    }
    Put32(bytes, 36, static_cast<std::uint32_t>(bytes.size()));
    for (const auto& text : strings)
        PutText(bytes, text);
    while (bytes.size() % 4)
        bytes.push_back(0);
    bytes.resize(bytes.size() + 4);
    Put32(bytes, 0, static_cast<std::uint32_t>(bytes.size()));
    Put32(bytes, bytes.size() - 4, static_cast<std::uint32_t>(bytes.size()));
    return bytes;
}

TEST(EventRecord, TheFieldsAndStringsAreReadFromTheRecordsLayout) {
    const auto completed =
        Record(4711, 1000, 4, u"Brevanto", {u"The report job completed.", u"Part: 8", u""});
    auto twoRecords = Record(12, 1100, 1, u"Brevanto", {u"Faulting module: x"});
    const auto next = Record(13, 1000, 4, u"Other", {});
    twoRecords.insert(twoRecords.end(), next.begin(), next.end());
    auto badSignature = completed;
    badSignature[4] = 0;
    auto unendedString = Record(1, 1000, 4, u"Brevanto", {u"cut"});
    unendedString.resize(unendedString.size() - 6); // the string's NUL and the length
    Put32(unendedString, 0, static_cast<std::uint32_t>(unendedString.size()));
    auto stringsOutside = completed;
    Put32(stringsOutside, 36, static_cast<std::uint32_t>(completed.size() + 8));

    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        std::size_t size; // of the buffer given
        bool read;
        std::uint32_t length, number, id;
        std::uint16_t type;
        std::u16string source;
        std::vector<std::u16string> strings;
    };
    const Case cases[] = {
        {"a record with strings, an empty one last",
         completed,
         completed.size(),
         true,
         static_cast<std::uint32_t>(completed.size()),
         4711,
         1000,
         4,
         u"Brevanto",
         {u"The report job completed.", u"Part: 8", u""}},
        {"the first of two, whose length is where the second starts",
         twoRecords,
         twoRecords.size(),
         true,
         static_cast<std::uint32_t>(twoRecords.size() - next.size()),
         12,
         1100,
         1,
         u"Brevanto",
         {u"Faulting module: x"}},
        {"a record without strings",
         next,
         next.size(),
         true,
         static_cast<std::uint32_t>(next.size()),
         13,
         1000,
         4,
         u"Other",
         {}},
        {"a buffer shorter than the record",
         completed,
         completed.size() - 1,
         false,
         0,
         0,
         0,
         0,
         u"",
         {}},
        {"a buffer shorter than the fixed part", completed, 40, false, 0, 0, 0, 0, u"", {}},
        {"no record signature", badSignature, badSignature.size(), false, 0, 0, 0, 0, u"", {}},
        {"a string not ended within the record",
         unendedString,
         unendedString.size(),
         false,
         0,
         0,
         0,
         0,
         u"",
         {}},
        {"strings beyond the record",
         stringsOutside,
         stringsOutside.size(),
         false,
         0,
         0,
         0,
         0,
         u"",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto record = ReadEventRecord(c.bytes.data(), c.size);
        ASSERT_EQ(record.has_value(), c.read);
        if (!record)
            continue;
        EXPECT_EQ(record->length, c.length);
        EXPECT_EQ(record->recordNumber, c.number);
        EXPECT_EQ(record->eventId, c.id);
        EXPECT_EQ(record->eventType, c.type);
        EXPECT_TRUE(record->source == c.source);
        EXPECT_EQ(record->strings.size(), c.strings.size());
        EXPECT_TRUE(record->strings == c.strings);
    }
}

// The event's User column: the SID it was written with.
TEST(EventRecord, TheUserSidIsReadWhereTheRecordSaysItIs) {
    // S-1-5-21-1-2-3-1001, as a SID structure.
    const std::vector<std::uint8_t> sid = {1, 5, 0, 0, 0, 0, 0, 5, 21, 0, 0,    0, 1, 0,
                                           0, 0, 2, 0, 0, 0, 3, 0, 0,  0, 0xE9, 3, 0, 0};
    const auto withSid = Record(7, 1000, 4, u"Brevanto", {u"The report job completed."}, sid);
    auto sidOutside = withSid;
    Put32(sidOutside, 44, static_cast<std::uint32_t>(withSid.size() - 8));
    auto sidBeforeTheNames = withSid;
    Put32(sidBeforeTheNames, 44, 40);

    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        bool read;
        std::vector<std::uint8_t> userSid;
        std::vector<std::u16string> strings;
    };
    const Case cases[] = {
        {"a record with the user's SID", withSid, true, sid, {u"The report job completed."}},
        {"a record without one", Record(8, 1000, 4, u"Brevanto", {u"x"}), true, {}, {u"x"}},
        {"a SID running past the record", sidOutside, false, {}, {}},
        {"a SID inside the fixed part", sidBeforeTheNames, false, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto record = ReadEventRecord(c.bytes.data(), c.bytes.size());
        ASSERT_EQ(record.has_value(), c.read);
        if (!record)
            continue;
        EXPECT_EQ(record->userSid, c.userSid);
        EXPECT_TRUE(record->strings == c.strings);
    }
}

} // namespace
} // namespace brevanto::testing
