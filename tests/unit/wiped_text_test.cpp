#include <gtest/gtest.h>

#include <string>

#include "report/wiped_text.h"

namespace brevanto {
namespace {

// Every character of the buffer, up to its capacity, is zero.
bool BufferIsZero(const wchar_t* buffer, std::size_t capacity) {
    for (std::size_t i = 0; i < capacity; ++i)
        if (buffer[i] != L'\0')
            return false;
    return true;
}

TEST(WipedText, EveryCharacterUpToTheCapacityIsZeroedInPlace) {
    struct Case {
        const char* name;
        std::wstring earlier; // a longer text the buffer held before, or none
        std::wstring text;
    };
    const Case cases[] = {
        {"short text", L"", L"pw"},
        {"heap text", L"", L"a password long enough to live in a heap buffer"},
        {"shorter text over a longer one",
         L"an earlier, longer password whose tail stays in the buffer", L"new password 1234"},
        {"emptied text over a longer one", L"a secret that was cleared but not wiped", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring text = c.earlier;
        // Assigning a shorter text keeps the buffer: the old characters stay past its end.
        text = c.text;
        const wchar_t* buffer = text.data();
        const std::size_t capacity = text.capacity();
        ASSERT_GE(capacity, c.earlier.size());

        Wipe(text);

        EXPECT_TRUE(text.empty());
        EXPECT_EQ(text.data(), buffer) << "the buffer was replaced, not wiped";
        EXPECT_EQ(text.capacity(), capacity);
        EXPECT_TRUE(BufferIsZero(buffer, capacity));
    }
}

TEST(WipedText, WipeOnExitWipesOnEveryPath) {
    const std::wstring secret = L"a password long enough to live in a heap buffer";
    struct Case {
        const char* name;
        bool throws;
    };
    for (const Case c : {Case{"normal return", false}, Case{"exception", true}}) {
        SCOPED_TRACE(c.name);
        std::wstring text = secret;
        const wchar_t* buffer = text.data();
        const std::size_t capacity = text.capacity();
        try {
            const WipeOnExit wipe(text);
            if (c.throws)
                throw 1;
        } catch (int) {
        }
        EXPECT_TRUE(text.empty());
        EXPECT_TRUE(BufferIsZero(buffer, capacity));
    }
}

} // namespace
} // namespace brevanto
