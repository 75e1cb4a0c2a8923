#include <windows.h>

#include "app/main_window.h"
#include "platform/com_apartment.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Components and the system are loaded from their own folders, never from the current one.
    SetDllDirectoryW(L"");
    const brevanto::ComApartment apartment;
    brevanto::MainWindow window(instance);
    return window.Run();
}
