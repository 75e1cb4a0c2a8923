#include <windows.h>

#include "app/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Components and the system are loaded from their own folders, never from the current one.
    SetDllDirectoryW(L"");
    brevanto::MainWindow window(instance);
    return window.Run();
}
