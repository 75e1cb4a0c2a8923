#include "platform/unattended/crash_handling.h"

#include <csignal>
#include <exception>

#include "platform/base/system_function.h"
#include "platform/base/windows_version.h"
#include "platform/unattended/crash_report.h"

namespace brevanto {
namespace {

// Without SEM_NOGPFAULTERRORBOX: our filter ends our own process, and the processes the
// components start inherit the mode and keep Windows Error Reporting.
constexpr UINT kErrorMode = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
// Room the system keeps for the handler when the thread's stack overflows.
constexpr ULONG kStackGuaranteeBytes = 64 * 1024;

constexpr DWORD kWerFaultReportingNoUi = 0x20;
constexpr DWORD kProcessCallbackFilterEnabled = 0x1;
constexpr DWORD kUoiTimerProcExceptionSuppression = 7;

using WerSetFlagsFunction = HRESULT(WINAPI*)(DWORD);
using GetExceptionPolicyFunction = BOOL(WINAPI*)(LPDWORD);
using SetExceptionPolicyFunction = BOOL(WINAPI*)(DWORD);
using SetStackGuaranteeFunction = BOOL(WINAPI*)(PULONG);

LONG WINAPI EndOnUnhandledException(EXCEPTION_POINTERS* exception) {
    // As little as possible here: after a stack overflow only the guaranteed stack is left.
    EndAfterCrash(exception && exception->ExceptionRecord
                      ? exception->ExceptionRecord->ExceptionCode
                      : static_cast<DWORD>(EXCEPTION_NONCONTINUABLE_EXCEPTION),
                  exception);
}

// 64-bit Wine dispatches a stack overflow with under 2 KiB of stack left: the search for a
// handler runs out of it and leaves the thread hung for ever, never reaching the filter. There
// the overflow ends the process first, before that search.
LONG WINAPI EndOnStackOverflow(EXCEPTION_POINTERS* exception) {
    if (exception && exception->ExceptionRecord &&
        exception->ExceptionRecord->ExceptionCode == EXCEPTION_STACK_OVERFLOW)
        EndAfterCrash(EXCEPTION_STACK_OVERFLOW, exception);
    return EXCEPTION_CONTINUE_SEARCH;
}

// Everywhere else (Windows, 32-bit Wine) the overflow is dispatched on the stack the system keeps
// for it, so a component's own frame handler takes it first (the Visual Basic runtime makes it
// its trappable "Out of stack space"), and one that nobody takes reaches the filter.
bool OverflowNeedsEndingBeforeHandlers() {
#ifdef _WIN64
    return RunsUnderWine();
#else
    return false;
#endif
}

void EndOnAbort(int) {
    EndAfterCrash(kAbortStatus, nullptr);
}

void SetErrorModeFlags() {
    // SetErrorMode replaces the whole mode; keep what is there and add ours.
    const UINT previous = SetErrorMode(kErrorMode);
    SetErrorMode(previous | kErrorMode);
}

// 64-bit Windows 7 swallows exceptions raised in window procedures called back from the kernel,
// and every Windows swallows those of timer procedures; a component crashing there would run on
// with broken state instead of ending.
void LetCallbackExceptionsThrough() {
    const auto getPolicy = SystemFunction<GetExceptionPolicyFunction>(
        L"kernel32.dll", "GetProcessUserModeExceptionPolicy");
    const auto setPolicy = SystemFunction<SetExceptionPolicyFunction>(
        L"kernel32.dll", "SetProcessUserModeExceptionPolicy");
    DWORD policy = 0;
    if (getPolicy && setPolicy && getPolicy(&policy))
        setPolicy(policy & ~kProcessCallbackFilterEnabled);
    BOOL suppress = FALSE;
    SetUserObjectInformationW(GetCurrentProcess(), kUoiTimerProcExceptionSuppression, &suppress,
                              sizeof suppress);
}

} // namespace

void InstallCrashHandling() {
    SetErrorModeFlags();
    if (const auto werSetFlags =
            SystemFunction<WerSetFlagsFunction>(L"kernel32.dll", "WerSetFlags"))
        werSetFlags(kWerFaultReportingNoUi);
    if (const auto guarantee =
            SystemFunction<SetStackGuaranteeFunction>(L"kernel32.dll", "SetThreadStackGuarantee")) {
        ULONG bytes = kStackGuaranteeBytes;
        guarantee(&bytes);
    }
    LetCallbackExceptionsThrough();
    std::set_terminate([] { EndAfterCrash(kAbortStatus, nullptr); });
    std::signal(SIGABRT, &EndOnAbort);
    if (OverflowNeedsEndingBeforeHandlers())
        AddVectoredExceptionHandler(1, &EndOnStackOverflow);
    SetUnhandledExceptionFilter(&EndOnUnhandledException);
}

void ReassertCrashHandling() {
    SetUnhandledExceptionFilter(&EndOnUnhandledException);
    SetErrorModeFlags();
}

void EndProcessNow(UINT status) {
    // A crash being reported ends the process with its code.
    if (!CrashBeingReported())
        TerminateProcess(GetCurrentProcess(), status);
    // TerminateProcess of the own process does not return; this is for the compiler.
    for (;;)
        Sleep(INFINITE);
}

} // namespace brevanto
