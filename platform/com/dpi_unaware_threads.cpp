#include <windows.h>

#include "platform/base/system_function.h"
#include "platform/base/windows_version.h"

// Linked into each exe the components are loaded into, as an object of its own: the loader calls
// an exe's TLS callbacks on every thread, before the thread's own code runs.
namespace brevanto {
namespace {

using GetThreadContextFunction = DPI_AWARENESS_CONTEXT(WINAPI*)();
using SetThreadContextFunction = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
using GetAwarenessFunction = DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT);

// Filled in once, at process attach, and only under Wine. Plain pointers with constant
// initialisation: the callback runs before the C runtime has made any object of ours.
GetThreadContextFunction g_getThreadContext = nullptr;
SetThreadContextFunction g_setThreadContext = nullptr;
GetAwarenessFunction g_awarenessOf = nullptr;

// A thread starts with the process default awareness, unaware as the components' older host
// was; our own window alone is made per-monitor aware. Windows starts every thread so by the
// manifest, and there this callback does nothing at all: it runs under the loader lock, where
// Microsoft's DLL guidance rules out user32. Wine starts every thread per-monitor aware whatever
// the manifest says, so there a thread a component starts (a print worker, a progress window) is
// made unaware here, before its code runs.
void NTAPI StartThreadDpiUnaware(PVOID, DWORD reason, PVOID) {
    if (reason == DLL_PROCESS_ATTACH && RunsUnderWine()) {
        g_getThreadContext =
            SystemFunction<GetThreadContextFunction>(L"user32.dll", "GetThreadDpiAwarenessContext");
        g_setThreadContext =
            SystemFunction<SetThreadContextFunction>(L"user32.dll", "SetThreadDpiAwarenessContext");
        g_awarenessOf = SystemFunction<GetAwarenessFunction>(L"user32.dll",
                                                             "GetAwarenessFromDpiAwarenessContext");
    }
    if (reason != DLL_PROCESS_ATTACH && reason != DLL_THREAD_ATTACH)
        return;
    if (g_getThreadContext && g_setThreadContext && g_awarenessOf &&
        g_awarenessOf(g_getThreadContext()) != DPI_AWARENESS_UNAWARE)
        g_setThreadContext(DPI_AWARENESS_CONTEXT_UNAWARE);
}

} // namespace
} // namespace brevanto

// Between the C runtime's first and last TLS callback entries (.CRT$XLA and .CRT$XLZ).
extern "C" __attribute__((section(".CRT$XLB"), used))
const PIMAGE_TLS_CALLBACK brevanto_start_thread_dpi_unaware = &brevanto::StartThreadDpiUnaware;
