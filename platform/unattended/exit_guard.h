#pragma once

#include <windows.h>

namespace brevanto {

// The window thread ends the program when its exit timer fires. A component call that blocks
// without serving messages, or whose own message loop swallows the quit, would keep an
// unattended program alive for as long as the call lasts. The exit guard is a thread of its own
// that ends the process once the exit time has passed by more than kExitGraceMs, with the status
// last set. It ends the process from outside (TerminateProcess), so no component code runs on
// the way out: no DLL detach, no object release.
//
// Process-wide, started once; it keeps watching until the process ends. Its thread also does the
// duty given to it (crash reports): it is there from the start and never crashes with the window
// thread. It allocates nothing and takes no lock a stopped thread could hold (neither a heap's
// nor the loader's), so it ends the process on time whatever another thread holds.
inline constexpr DWORD kExitGraceMs = 1000;

// How long the guard's last words are given before it ends the process.
inline constexpr DWORD kLastWordsMs = 500;

// Starts the guard with the exit due dueInMs from now, and the thread its last words are spoken
// on, waiting. Call first thing, before OLE, any activation context or any DLL beyond the exe's
// imports is loaded: creating a thread runs every loaded DLL's thread-attach code, and needs the
// loader lock, which a crash inside a DLL's DllMain holds for good. False when a thread could not
// be started; the due time is set all the same.
bool StartExitGuard(DWORD dueInMs, int status);

// Work for the guard's thread besides the exit: a thread that is there from the start and waits
// is what serving a crash needs (a crash may leave too little stack, or the loader's lock held,
// to start one then). When the guard's thread starts it calls attach, which gives the event to
// wait for (null for none); once that event is set, it calls serve, which ends the process.
// Give it before StartExitGuard; the guard has one duty at most.
struct ExitGuardDuty {
    HANDLE (*attach)() = nullptr;
    void (*serve)() = nullptr;
};
void GiveExitGuardDuty(ExitGuardDuty duty);

// Moves the exit to dueInMs from now, as re-arming the exit timer does.
void MoveExitDue(DWORD dueInMs);

// The exit status the guard ends the process with.
void SetExitGuardStatus(int status);

// How long until the exit is due; 0 once it is.
DWORD ExitDueInMs();

// Called with the status on a thread of its own, started with the guard, just before the guard
// ends the process: the last chance to record how the run ended. The guard waits for it no longer
// than kLastWordsMs, so it may even be stopped by a lock another thread holds; it must not wait
// for the window thread.
using ExitGuardLastWords = void (*)(int status);
void SetExitGuardLastWords(ExitGuardLastWords lastWords);

} // namespace brevanto
