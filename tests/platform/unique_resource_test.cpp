#include <gtest/gtest.h>

#include <windows.h>

#include "platform/base/unique_resource.h"

namespace brevanto::platform_test {
namespace {

// A holder freed on the way out of a failed call must not change the error the caller reads
// next, whether its own close succeeds or fails.
TEST(UniqueResource, ResetKeepsTheThreadsLastError) {
    constexpr DWORD kCallersError = ERROR_FILE_NOT_FOUND;
    struct Case {
        const char* name;
        HANDLE handle;
    };
    const Case cases[] = {
        {"a close that succeeds", CreateEventW(nullptr, TRUE, FALSE, nullptr)},
        // Not a handle of this process: CloseHandle fails and sets its own error.
        {"a close that fails", reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x7ff4))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(c.handle, nullptr);
        UniqueHandle holder(c.handle);
        SetLastError(kCallersError);
        holder.Reset();
        EXPECT_EQ(GetLastError(), kCallersError);
        EXPECT_FALSE(holder);
    }
}

void* g_closed = nullptr;
void RecordClose(void* resource) {
    g_closed = resource;
}

// HANDLE, HLOCAL and the like are void*, to which their own address converts too: the holder
// must hand Close the resource, not where it keeps it.
TEST(UniqueResource, ClosesTheResourceItselfNotItsAddress) {
    int resource = 0;
    { const UniqueResource<void*, &RecordClose> holder(&resource); }
    EXPECT_EQ(g_closed, &resource);

    const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    UniqueHandle(event).Reset();
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(event, &flags)) << "the event's handle is still open";
}

} // namespace
} // namespace brevanto::platform_test
