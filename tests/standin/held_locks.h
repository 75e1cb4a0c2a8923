#pragma once

#include "scenario.h"

#include <span>
#include <string_view>

namespace brevanto::standin {

// Journals a lock line (what=loader|heap, where=call|create) for each lock, then takes it and
// never gives it back, so that what the host does next happens while this thread holds it:
// - loader: the loader lock, through ntdll's LdrLockLoaderLock (looked up at run time), as a
//   fault in a DLL's DllMain holds it. A fault inside DllMain itself would not do: the loader
//   catches it and fails the load instead.
// - heap: the process heap's lock and that of the heap the C runtime's malloc allocates from
//   (msvcrt's _get_heap_handle, the stand-in's C runtime), both through HeapLock: a fault inside
//   RtlAllocateHeap or RtlFreeHeap of a corrupted heap holds that heap's lock, and a component's
//   own allocations go through its C runtime's heap.
// The thread that holds them may still use them itself: both kinds are recursive.
void TakeLocksForGood(std::span<const HeldLock> locks, std::string_view object,
                      std::string_view member, std::string_view where) noexcept;

} // namespace brevanto::standin
