#pragma once

#include <windows.h>

#include <string>

#include "platform/unique_resource.h"

namespace brevanto::support {

inline constexpr wchar_t kScenarioVariable[] = L"BREVANTO_STANDIN_SCENARIO";

// BrevantoStandin.dll of a folder, loaded into this process. Throws std::runtime_error when it
// cannot be loaded or lacks what is asked of it.
class StandinLibrary {
public:
    explicit StandinLibrary(const std::wstring& folder);

    // Registers the stand-in components for this prefix's user (DllRegisterServer).
    void Register() const;
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
