#pragma once

#include <string>
#include <string_view>

namespace brevanto {

// How a COM class is registered, as this process sees the classes root (its own registry view,
// the user's classes merged over the machine's).
struct ClassRegistration {
    std::wstring clsid;          // "{...}"; empty when the ProgID is not registered
    std::wstring serverKind;     // "InprocServer32" or "LocalServer32"; empty when neither is
    std::wstring serverPath;     // as registered, environment variables expanded, quotes removed
    std::wstring threadingModel; // empty when none is registered
};

// Which classes are read: the classes root this process sees, or only the machine's classes
// (HKLM\SOFTWARE\Classes) in the 32-bit view, which no user can change.
enum class ClassesView { Merged, Machine32 };

ClassRegistration ReadClassRegistration(std::wstring_view progId,
                                        ClassesView view = ClassesView::Merged);

// Whether a file (not a folder) is at the path.
bool FileExists(const std::wstring& path);

} // namespace brevanto
