#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "check/error_reporting.h"

namespace brevanto::check {

// Everything the workstation check found, before it is judged. Texts are as the system or the
// settings store gave them; a secret setting's value is never kept.

struct HostFacts {
    int bits = 0;               // of this check, and so of the Brevanto.exe built beside it
    std::wstring windows;       // version as the system reports it
    std::wstring programFolder; // what Brevanto.exe beside it would report as its folder
};

// How the process that created a class, looked its members up and released it ended.
enum class CreationOutcome {
    Finished, // every step came back; created says whether the object was made
    Crashed,  // the process ended in the middle of a step
    NoAnswer, // a step had not come back when the time limit ran out, and the process was ended
};

// The step under way when the creation process crashed or ran out of time.
enum class CreationStep {
    Create,
    LookUp,  // of stoppedMember
    Release, // of the object, and then the end of OLE
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
    CreationOutcome outcome = CreationOutcome::Finished;
    std::uint32_t crashCode = 0; // Crashed: the exit status, for a crash the exception code
    CreationStep stoppedIn = CreationStep::Create; // Crashed, NoAnswer
    std::wstring stoppedMember;                    // stopped in LookUp: the member
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
    unsigned creationTimeLimitMs = 0; // given to each class's creation process
    std::vector<ClassFacts> classes;
    std::vector<SettingFacts> settings;
    JobPath job;
    FolderFacts exportFolder;
    ErrorReportingFacts errorReporting;
};

} // namespace brevanto::check
