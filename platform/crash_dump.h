#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/local_dumps.h"

namespace brevanto {

enum class DumpOutcome {
    NotConfigured, // no LocalDumps key: no file, as Windows would write none either
    Written,
    CutShort, // not finished by the deadline, and deleted
    Failed,
};

struct DumpResult {
    DumpOutcome outcome = DumpOutcome::NotConfigured;
    std::wstring path;    // Written, CutShort: the dump's file
    std::wstring problem; // Failed: what went wrong
};

// Writes the dump LocalDumps asks for, <exe name>.<pid>.dmp in its folder (made if missing),
// with the crashed thread's exception record and context, then deletes the oldest dumps of the
// exe beyond the count. Call it from a thread that did not crash, while the crashed one waits.
// The writing runs on a thread of its own; one not finished at deadlineTick (GetTickCount64) is
// left to the end of the process, and its file is deleted. dbghelp is loaded from the system
// folder only now: it is no KnownDLL, and a copy beside the exe must never be picked up.
DumpResult WriteLocalDump(const LocalDumpSettings& settings, std::wstring_view exeName,
                          EXCEPTION_POINTERS* exception, DWORD crashedThreadId,
                          ULONGLONG deadlineTick);

} // namespace brevanto
