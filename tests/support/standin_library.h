#pragma once

#include <windows.h>

#include <string>

#include "platform/base/unique_resource.h"

namespace brevanto::support {

inline constexpr wchar_t kScenarioVariable[] = L"BREVANTO_STANDIN_SCENARIO";

// BrevantoStandin.dll of a folder, loaded into this process. Throws std::runtime_error when it
// cannot be loaded or lacks what is asked of it.
class StandinLibrary {
public:
    explicit StandinLibrary(const std::wstring& folder);

    // Registers the stand-in components where this process's COM looks for them, as the test
    // runner does: in the machine's classes when it runs elevated (an elevated process, and an
    // administrator with UAC off, ignores the user's), in this user's otherwise.
    void Register() const;
    // Its DllInstall export as it is: registers, or with install false removes, the stand-ins in
    // the machine's classes ("machine") or in this user's ("user").
    HRESULT DllInstall(bool install, const wchar_t* commandLine) const;
    // Has it read kScenarioVariable again, as it does when it is loaded.
    void ReloadScenario() const;

private:
    void* Export(const char* name) const;

    std::wstring path_;
    UniqueModule module_;
};

inline void RegisterStandins(const std::wstring& folder) {
    StandinLibrary(folder).Register();
}

} // namespace brevanto::support
