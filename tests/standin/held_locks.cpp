#include "held_locks.h"

#include "journal.h"

#include <windows.h>

#include <new>

namespace brevanto::standin {
namespace {

using LockLoaderFunction = LONG(NTAPI*)(ULONG flags, ULONG* disposition, ULONG_PTR* cookie);
using HeapHandleFunction = intptr_t(__cdecl*)();

template <typename Function> Function Export(const wchar_t* module, const char* name) {
    const HMODULE loaded = GetModuleHandleW(module);
    return loaded ? reinterpret_cast<Function>(
                        reinterpret_cast<void (*)()>(GetProcAddress(loaded, name)))
                  : nullptr;
}

void TakeLoaderLock() {
    if (const auto lock = Export<LockLoaderFunction>(L"ntdll.dll", "LdrLockLoaderLock")) {
        ULONG disposition = 0;
        ULONG_PTR cookie = 0;
        lock(0, &disposition, &cookie);
    }
}

void TakeHeapLocks() {
    HeapLock(GetProcessHeap());
    if (const auto heapOfMalloc = Export<HeapHandleFunction>(L"msvcrt.dll", "_get_heap_handle"))
        HeapLock(reinterpret_cast<HANDLE>(heapOfMalloc()));
}

} // namespace

void TakeLocksForGood(std::span<const HeldLock> locks, std::string_view object,
                      std::string_view member, std::string_view where) noexcept {
    for (const HeldLock lock : locks) {
        try {
            WriteEventJournal(JournalKind::Lock, object, member,
                              {SeenField("what", lock == HeldLock::Loader ? "loader" : "heap"),
                               SeenField("where", where)});
        } catch (const std::bad_alloc&) {
            // The line is lost; the lock is still taken.
        }
        if (lock == HeldLock::Loader)
            TakeLoaderLock();
        else
            TakeHeapLocks();
    }
}

} // namespace brevanto::standin
