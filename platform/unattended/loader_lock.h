#pragma once

namespace brevanto {

// Looks up, at start-up, ntdll's LdrLockLoaderLock and LdrUnlockLoaderLock: looking a function up
// later could itself wait for the loader lock.
void PrepareLoaderLockProbe();

// Whether another thread holds the loader lock, and keeps holding it for a while (it is asked a
// few times over about 50 ms): a thread that crashed or stopped inside a DLL's DllMain, whose
// lock nothing waiting for it will ever get. Asked with the lock's try-only flag, so this never
// waits for it. False when it cannot be told.
bool LoaderLockHeldElsewhere();

} // namespace brevanto
