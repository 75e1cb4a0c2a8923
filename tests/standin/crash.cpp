#include "crash.h"

#include "journal.h"
#include "module.h"

#include <windows.h>

#include <cstdint>
#include <iterator>
#include <new>

namespace brevanto::standin {
namespace {

// What MSVC's throw raises: its exception code and the magic number of its first parameter.
constexpr DWORD kMsvcExceptionCode = 0xE06D7363;
constexpr ULONG_PTR kMsvcMagic = 0x19930520;

// Read at run time, so the compiler can neither see the null pointer (and plant a trap
// instruction instead of the write) nor the end of the recursion.
int* volatile g_nowhere = nullptr;
volatile std::uint32_t g_deepestFrame = UINT32_MAX;

void WriteThroughNull() {
    *g_nowhere = 0;
}

void ThrowAsMsvcDoes() {
    static int thrown = 0;
    // The thrown object, then its throw information, which nobody reads here; 64-bit MSVC adds
    // the module whose image the information's offsets are relative to.
    const ULONG_PTR parameters[] = {
        kMsvcMagic,
        reinterpret_cast<ULONG_PTR>(&thrown),
        0,
#ifdef _WIN64
        reinterpret_cast<ULONG_PTR>(ThisModule()),
#endif
    };
    RaiseException(kMsvcExceptionCode, EXCEPTION_NONCONTINUABLE,
                   static_cast<DWORD>(std::size(parameters)), parameters);
}

// Each frame holds a volatile buffer read after the inner call returns, so the call is no tail
// call and the recursion can become neither a loop nor nothing.
[[gnu::noinline]] std::uint32_t Recurse(std::uint32_t depth) {
    volatile char frame[512];
    frame[0] = static_cast<char>(depth);
    if (depth == g_deepestFrame)
        return frame[0];
    return Recurse(depth + 1) + static_cast<std::uint32_t>(frame[0]);
}

} // namespace

void RecurseUntilTheStackOverflows() {
    Recurse(0);
}

void CrashNow(CrashKind kind, std::string_view object, std::string_view member,
              std::string_view where) {
    try {
        WriteEventJournal(JournalKind::Crash, object, member,
                          {SeenField("how", CrashKindName(kind)), SeenField("where", where)});
    } catch (const std::bad_alloc&) {
        // The line is lost; the crash still happens.
    }
    switch (kind) {
    case CrashKind::AccessViolation:
        WriteThroughNull();
        break;
    case CrashKind::CppException:
        ThrowAsMsvcDoes();
        break;
    case CrashKind::StackOverflow:
        RecurseUntilTheStackOverflows();
        break;
    }
    // Reached only when a handler resumed after the crash: the call must not go on as if nothing
    // had happened.
    for (;;)
        Sleep(INFINITE);
}

} // namespace brevanto::standin
