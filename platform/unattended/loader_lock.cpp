#include "platform/unattended/loader_lock.h"

#include <windows.h>

#include <atomic>

#include "platform/base/system_function.h"

namespace brevanto {
namespace {

// ntdll's own, exported since Windows XP and by Wine, though not in Microsoft's documentation.
using LockFunction = LONG(NTAPI*)(ULONG flags, ULONG* disposition, ULONG_PTR* cookie);
using UnlockFunction = LONG(NTAPI*)(ULONG flags, ULONG_PTR cookie);
constexpr ULONG kTryOnly = 0x2;
constexpr ULONG kAcquired = 1;

std::atomic<LockFunction> g_lock{nullptr};
std::atomic<UnlockFunction> g_unlock{nullptr};

// Takes the lock at once if it is free, and gives it back.
bool TakenAndGivenBack(LockFunction lock, UnlockFunction unlock) {
    ULONG disposition = 0;
    ULONG_PTR cookie = 0;
    if (lock(kTryOnly, &disposition, &cookie) < 0)
        return true; // cannot be told: as if it were free
    if (disposition != kAcquired)
        return false;
    unlock(0, cookie);
    return true;
}

} // namespace

void PrepareLoaderLockProbe() {
    const auto lock = SystemFunction<LockFunction>(L"ntdll.dll", "LdrLockLoaderLock");
    const auto unlock = SystemFunction<UnlockFunction>(L"ntdll.dll", "LdrUnlockLoaderLock");
    if (lock && unlock) {
        g_unlock = unlock;
        g_lock = lock;
    }
}

bool LoaderLockHeldElsewhere() {
    const LockFunction lock = g_lock.load();
    const UnlockFunction unlock = g_unlock.load();
    if (!lock || !unlock)
        return false;
    // A thread loading a DLL holds it for a moment; one that crashed or stopped holding it, for
    // good.
    constexpr int kAttempts = 10;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (TakenAndGivenBack(lock, unlock))
            return false;
        Sleep(5);
    }
    return true;
}

} // namespace brevanto
