#include <windows.h>

#include "platform/system_function.h"

// Linked into each exe the components are loaded into, as an object of its own: the loader calls
// an exe's TLS callbacks on every thread, before the thread's own code runs.
namespace brevanto {
namespace {

using GetThreadContextFunction = DPI_AWARENESS_CONTEXT(WINAPI*)();
using SetThreadContextFunction = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
using GetAwarenessFunction = DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT);

// A thread starts with the process default awareness, unaware as the components' older host
// was; our own window alone is made per-monitor aware. Wine starts every thread per-monitor
// aware whatever the manifest says, so a thread a component starts (a print worker, a progress
// window) is made unaware here, before its code runs. Where a thread already starts unaware
// nothing is changed.
void NTAPI StartThreadDpiUnaware(PVOID, DWORD reason, PVOID) {
    if (reason != DLL_PROCESS_ATTACH && reason != DLL_THREAD_ATTACH)
        return;
    // Looked up on each call: nothing here may depend on the order in which the loader runs
    // initialisers. Before Windows 10 1607 these do not exist and the process is unaware.
    const auto get =
        SystemFunction<GetThreadContextFunction>(L"user32.dll", "GetThreadDpiAwarenessContext");
    const auto set =
        SystemFunction<SetThreadContextFunction>(L"user32.dll", "SetThreadDpiAwarenessContext");
    const auto awareness =
        SystemFunction<GetAwarenessFunction>(L"user32.dll", "GetAwarenessFromDpiAwarenessContext");
    if (get && set && awareness && awareness(get()) != DPI_AWARENESS_UNAWARE)
        set(DPI_AWARENESS_CONTEXT_UNAWARE);
}

} // namespace
} // namespace brevanto

// Between the C runtime's first and last TLS callback entries (.CRT$XLA and .CRT$XLZ).
extern "C" __attribute__((section(".CRT$XLB"), used))
const PIMAGE_TLS_CALLBACK brevanto_start_thread_dpi_unaware = &brevanto::StartThreadDpiUnaware;
