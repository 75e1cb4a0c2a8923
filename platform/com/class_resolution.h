#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How COM finds a class's server from its name, over one or more classes roots, apart from the
// registry calls, so that the rules are tested without Windows.
namespace brevanto {

// Classes roots in precedence order. A key found in an earlier root hides the same key in the
// later ones, values and all, as HKEY_CLASSES_ROOT lets the user's classes
// (HKEY_CURRENT_USER\Software\Classes) hide the machine's on Windows.
class ClassesRoots {
public:
    virtual ~ClassesRoots() = default;
    virtual std::size_t Count() const = 0;
    virtual bool HasKey(std::size_t root, const std::wstring& key) const = 0;
    // A text value of the key in that root, expanded; nothing when absent or not text. A null
    // name is the key's default value.
    virtual std::optional<std::wstring> TryText(std::size_t root, const std::wstring& key,
                                                const wchar_t* name) const = 0;
};

struct ResolvedClass {
    std::wstring clsid;          // "{...}" of the ProgID; empty when it is not registered
    std::wstring treatAs;        // the class COM creates instead (TreatAs, followed); empty: none
    std::wstring serverKind;     // "InprocServer32" or "LocalServer32"; empty when neither is
    std::wstring serverValue;    // as registered, expanded
    std::wstring threadingModel; // empty when none is registered
    std::vector<bool> rootsUsed; // by root: whether a key read came from it
};

// ProgID\CLSID gives the class; CLSID\{...}\TreatAs is followed while it names another class
// (a loop or a chain of more than a few ends at the last class reached); then InprocServer32,
// else LocalServer32, of the class reached.
ResolvedClass ResolveClass(const ClassesRoots& roots, std::wstring_view progId);

// The program a command line starts (a LocalServer32 value, a debugger's command): its first,
// maybe quoted, part; unquoted, up to ".exe" when there is one, since the path may hold blanks.
std::wstring ProgramOfCommandLine(std::wstring_view commandLine);

} // namespace brevanto
