#include "module.h"

#include "active_scenario.h"
#include "class_factory.h"
#include "creatable_classes.h"
#include "journal.h"
#include "live_objects.h"
#include "platform/base/unique_resource.h"
#include "registration.h"

#include <objbase.h>
#include <olectl.h>

namespace brevanto::standin {
namespace {

HMODULE g_module = nullptr;
LONG g_locks = 0;

// As a component whose detach waits for a thread of its own to stop, and that thread is gone.
void WaitForever() {
    const UniqueHandle never(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (never)
        WaitForSingleObject(never.Get(), INFINITE);
    for (;;)
        Sleep(INFINITE);
}

// A line on every detach, so a test can tell whether the host ran detach code at all.
void Detach(bool processEnding) noexcept {
    const bool hang = ActiveScenario().HangsOnDetach();
    try {
        WriteEventJournal(JournalKind::Detach, "Standin", "-",
                          {SeenField("unload", processEnding ? "process" : "library"),
                           SeenField("then", hang ? "hang" : "return")});
    } catch (const std::bad_alloc&) {
        // The line is lost; the detach goes on.
    }
    if (hang)
        WaitForever();
}

} // namespace

HMODULE ThisModule() {
    return g_module;
}

bool PinModule() {
    HMODULE pinned = nullptr;
    return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                  GET_MODULE_HANDLE_EX_FLAG_PIN,
                              reinterpret_cast<LPCWSTR>(&PinModule), &pinned);
}

void LockModule() {
    InterlockedIncrement(&g_locks);
}

void UnlockModule() {
    InterlockedDecrement(&g_locks);
}

} // namespace brevanto::standin

using namespace brevanto::standin;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
        // Read once, in the client process, before any object exists: a test sets it before
        // starting the program under test.
        LoadScenarioFromEnvironment();
    } else if (reason == DLL_PROCESS_DETACH) {
        // Non-null when the process is ending, null when the DLL is freed.
        Detach(reserved != nullptr);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    const CreatableClass* creatable = FindCreatableClass(clsid);
    if (!creatable || ActiveScenario().RefusesClass(JournalName(creatable->kind)))
        return CLASS_E_CLASSNOTAVAILABLE;
    return GetClassFactory(*creatable, iid, result);
}

STDAPI DllCanUnloadNow() {
    return (g_locks == 0 && !AnyLiveObjects()) ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
    return RegisterServer(RegistrationScope::Machine);
}

STDAPI DllUnregisterServer() {
    return UnregisterServer(RegistrationScope::Machine);
}

// regsvr32 [/u] /n /i:machine|user: the machine's classes, or the user's, which a process that is
// not elevated sees over the machine's and an elevated one never sees.
extern "C" HRESULT STDAPICALLTYPE DllInstall(BOOL install, PCWSTR commandLine) {
    const auto scope = ScopeNamed(commandLine ? commandLine : L"");
    if (!scope)
        return E_INVALIDARG;
    return install ? RegisterServer(*scope) : UnregisterServer(*scope);
}

// For tests that drive the stand-ins inside their own process: take up a new scenario from the
// environment without reloading the DLL.
extern "C" void STDAPICALLTYPE BrevantoStandinReloadScenario() {
    LoadScenarioFromEnvironment();
}
