#include <gtest/gtest.h>

#include <string>

#include "tests/support/system_message.h"

namespace brevanto::testing {
namespace {

TEST(SystemMessage, AProductTextIsMatchedByWhatStandsAroundTheSystemsMessage) {
    const std::wstring head = L"Member \"PasswordDeptCode\" of ZELTAR_User.clsCurrentUser: ";
    const std::wstring tail = L" (0x80070005)";
    struct Case {
        const char* name;
        std::wstring text;
        bool embeds;
    };
    const Case cases[] = {
        {"Wine's message", head + L"Access denied" + tail, true},
        {"English Windows' message", head + L"Access is denied" + tail, true},
        {"a translated message", head + L"Zugriff verweigert" + tail, true},
        {"one character", head + L"x" + tail, true},
        {"no message", head + tail, false},
        {"another code", head + L"Access denied (0x80004005)", false},
        {"another member",
         L"Member \"LoginUser\" of ZELTAR_User.clsCurrentUser: Access denied" + tail, false},
        {"a message over two lines", head + L"Access\r\ndenied" + tail, false},
        {"a message ending in a line break", head + L"Access denied\n" + tail, false},
        {"head and tail only overlapping", L"Member \"PasswordDeptCode\" of (0x80070005)", false},
        {"empty", L"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(support::EmbedsSystemMessage(c.text, head, tail), c.embeds);
    }
}

} // namespace
} // namespace brevanto::testing
