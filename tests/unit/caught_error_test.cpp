#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "report/caught_error.h"
#include "report/run_error.h"

namespace brevanto::testing {
namespace {

struct NotStandard {};

TEST(CaughtError, EachKindOfExceptionGivesTheTextItsCatcherShows) {
    struct Case {
        const char* name;
        std::function<void()> raise;
        CaughtErrorWords words;
        std::wstring text;
    };
    const CaughtErrorWords plain{L"Unknown"};
    const CaughtErrorWords withMemory{L"Unknown", L"Out of memory"};
    const Case cases[] = {
        {"a run error's description", [] { throw RunError(L"Class not registered"); }, plain,
         L"Class not registered"},
        {"an empty description stays empty", [] { throw RunError(L""); }, plain, L""},
        {"a run error is ours even with an out-of-memory text",
         [] { throw RunError(L"Part failed"); }, withMemory, L"Part failed"},
        {"a standard exception's what()", [] { throw std::runtime_error("disk full"); }, plain,
         L"disk full"},
        {"a derived standard exception", [] { throw std::out_of_range("vector index"); }, plain,
         L"vector index"},
        {"out of memory named", [] { throw std::bad_alloc(); }, withMemory, L"Out of memory"},
        {"out of memory as its what()", [] { throw std::bad_alloc(); }, plain, L"std::bad_alloc"},
        {"an exception of no standard kind", [] { throw NotStandard(); }, plain, L"Unknown"},
        {"a thrown number", [] { throw 42; }, withMemory, L"Unknown"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring text = L"(nothing caught)";
        try {
            c.raise();
        } catch (...) {
            text = CaughtErrorText(c.words);
        }
        EXPECT_EQ(text, c.text);
    }
}

} // namespace
} // namespace brevanto::testing
