#pragma once

#include <windows.h>

#include <string_view>

namespace brevanto::standin {

// Makes a hidden top-level window of the stand-ins' own class on the calling thread and sets a
// timer of milliseconds on it, as a component that keeps a window for its own work. When the
// thread's message loop serves the timer, the window procedure journals a crash line
// (where=timer) and writes through a null pointer. The window stays, and the DLL stays loaded,
// until the process ends. object and member must live as long as the DLL, as the member tables'
// names do. Journals a crashlater line once the timer is set.
void ArmLaterCrash(std::string_view object, std::string_view member, UINT milliseconds) noexcept;

} // namespace brevanto::standin
