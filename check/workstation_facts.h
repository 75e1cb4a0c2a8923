#pragma once

#include <string>
#include <vector>

namespace brevanto::check {

// Everything the workstation check found, before it is judged. Texts are as the system or the
// settings store gave them; a secret setting's value is never kept.

struct HostFacts {
    int bits = 0;               // of this check, and so of the Brevanto.exe built beside it
    std::wstring windows;       // version as the system reports it
    std::wstring programFolder; // what Brevanto.exe beside it would report as its folder
};

struct ClassFacts {
    std::wstring role; // "user component", "viewer component"
    std::wstring progId;
    std::wstring clsid;      // empty: the ProgID is not registered
    std::wstring serverKind; // "InprocServer32" or "LocalServer32"; empty: neither is registered
    std::wstring serverPath;
    bool fileExists = false;
    int fileBits = 0; // 32 or 64 from the file's PE header; 0 when not known
    std::wstring threadingModel;
    bool created = false;
    std::wstring createError; // the description Brevanto would show
    std::vector<std::wstring> membersNeeded;
    std::vector<std::wstring> membersMissing; // of those, the ones GetIDsOfNames did not resolve
};

struct SettingFacts {
    std::wstring section;
    std::wstring key;
    bool stored = false;
    std::wstring wrongType; // the registry type of a value stored as other than text
    std::wstring value;     // what the job would read; empty for a secret
    bool secret = false;
};

// What the job would do with the numeric settings in part 7.
struct JobPath {
    bool stopsInPart7 = false;
    std::wstring stopCaption; // the failure caption it would show
    std::wstring stopKey;     // "Settings\\ViewMode", ...
    std::wstring stopValue;   // the text that is not a number
    bool viewOnly = false;
    bool print = false; // loadviewer, when not view only
    bool exportResults = false;
};

struct FolderFacts {
    std::wstring path;
    bool exists = false;
    bool writable = false;
    bool underProgramFiles = false;
    bool elevated = false;
};

struct WorkstationFacts {
    HostFacts host;
    std::vector<ClassFacts> classes;
    std::vector<SettingFacts> settings;
    JobPath job;
    FolderFacts exportFolder;
};

} // namespace brevanto::check
