#include <gtest/gtest.h>

#include <windows.h>

#include <thread>
#include <vector>

#include "platform/base/utf8.h"
#include "platform/com/com_object.h"
#include "platform/com/ole_apartment.h"
#include "report/report_job.h"
#include "report/run_error.h"
#include "tests/support/journal_file.h"

namespace brevanto::e2e {
namespace {

// The check's creation processes and a component's own threads write the journal at the same
// moment; a line lost there would read as a call never made or an object never released.
TEST(StandinJournal, KeepsEveryLineWrittenFromSeveralThreadsAtOnce) {
    constexpr int kThreads = 6;
    constexpr int kObjectsEach = 600;
    const support::JournalFile journal;
    std::vector<std::wstring> errors(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&error = errors[t]] {
            const OleApartment apartment;
            try {
                ComFactory factory;
                for (int i = 0; i < kObjectsEach; ++i)
                    factory.Create(kUserClass).reset();
            } catch (const RunError& e) {
                error = e.Description();
            }
        });
    for (auto& thread : threads)
        thread.join();
    for (const auto& error : errors)
        EXPECT_EQ(Utf8(error), "");

    const auto lines = journal.Read();
    EXPECT_EQ(LinesOfKind(lines, "create").size(), std::size_t{kThreads * kObjectsEach});
    EXPECT_EQ(LinesOfKind(lines, "destroy").size(), std::size_t{kThreads * kObjectsEach});
}

} // namespace
} // namespace brevanto::e2e
