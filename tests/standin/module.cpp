#include "module.h"

#include "active_scenario.h"
#include "class_factory.h"
#include "creatable_classes.h"
#include "live_objects.h"
#include "registration.h"

#include <objbase.h>
#include <olectl.h>

namespace brevanto::standin {
namespace {

HMODULE g_module = nullptr;
LONG g_locks = 0;

} // namespace

HMODULE ThisModule() {
    return g_module;
}

void LockModule() {
    InterlockedIncrement(&g_locks);
}

void UnlockModule() {
    InterlockedDecrement(&g_locks);
}

} // namespace brevanto::standin

using namespace brevanto::standin;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
        // Read once, in the client process, before any object exists: a test sets it before
        // starting the program under test.
        LoadScenarioFromEnvironment();
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
    return RegisterServer();
}

STDAPI DllUnregisterServer() {
    return UnregisterServer();
}

// For tests that drive the stand-ins inside their own process: take up a new scenario from the
// environment without reloading the DLL.
extern "C" void STDAPICALLTYPE BrevantoStandinReloadScenario() {
    LoadScenarioFromEnvironment();
}
