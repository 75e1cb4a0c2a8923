#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace brevanto {

// What a crash can have of the dump LocalDumps asks for, as known at start-up.
enum class DumpReadiness {
    NotConfigured, // no LocalDumps key: no file, as Windows would write none either
    Refused,       // one will not be written; problem says why
    Ready,         // the dump thread waits for a crash
};

struct PreparedDump {
    DumpReadiness readiness = DumpReadiness::NotConfigured;
    std::wstring path;    // Ready: <folder>\<exe name>.<pid>.dmp
    std::wstring problem; // Refused
    DWORD type = 0;       // Ready: DumpType (0 custom, 1 mini, 2 full)
};

// Prepares, at start-up, what the dump LocalDumps asks for needs, for a crash that may leave
// neither the heap nor the loader lock to this process: the folder is walked, and refused when it
// is, or sits under, a reparse point (a link or junction could lead the dump anywhere); the
// descriptors that keep the folder and the dump to the running user, SYSTEM and Administrators
// are made; dbghelp is loaded, from the system folder only (it is no KnownDLL), and the thread
// that will write the dump is started, waiting. Without LocalDumps nothing is done. Call once.
const PreparedDump& PrepareLocalDump(std::wstring_view exeName);

// At the crash, from a thread that did not crash: hands the crash to the dump thread, which
// writes the dump with the crashed thread's exception record and context (exception may be null,
// after abort). Allocates nothing and takes no lock. False when no dump is prepared.
bool StartDump(EXCEPTION_POINTERS* exception, DWORD crashedThreadId);

// Waits for the dump thread until deadlineTick (GetTickCount64); true when it is done. A dump
// still being written then is left to the end of the process, which deletes its file: the file
// is created to be deleted when closed unless it is finished, so no partial dump is ever left.
bool WaitForDump(ULONGLONG deadlineTick);

} // namespace brevanto
