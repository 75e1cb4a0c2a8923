#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "check/core/error_reporting.h"

namespace brevanto::check {

// Everything the workstation check found, before it is judged. Texts are as the system or the
// settings store gave them; a secret setting's value is never kept.

struct HostFacts {
    int bits = 0;               // of this check, and so of the Brevanto.exe built beside it
    std::wstring windows;       // version as the system reports it
    std::wstring programFolder; // what Brevanto.exe beside it would report as its folder
    bool underWine = false;
};

// The account the check runs as, whose settings it reads and with whose rights it creates the
// components.
struct AccountFacts {
    std::wstring name; // "DOMAIN\\user"
    std::wstring sid;
    bool elevated = false;
    bool serviceAccount = false; // SYSTEM, LocalService, NetworkService or a virtual account
};

// Where the registration Windows uses for this user comes from.
enum class ClassOrigin {
    Machine,         // HKEY_LOCAL_MACHINE\Software\Classes
    UserOnly,        // HKEY_CURRENT_USER\Software\Classes; the machine registers no server
    UserOverMachine, // the user's registration hides the machine's
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
    std::wstring clsid;   // empty: the ProgID is not registered
    std::wstring treatAs; // the class COM creates instead (TreatAs); empty: none
    ClassOrigin origin = ClassOrigin::Machine;
    std::wstring machineServerPath; // UserOverMachine: the server the machine registers
    std::wstring userServerPath;    // UserOnly, UserOverMachine: the server this user registers
    // The check ran elevated: COM reads only the machine's classes for it, and so does what the
    // class's facts below show.
    bool machineClassesOnly = false;
    std::wstring serverKind; // "InprocServer32" or "LocalServer32"; empty: neither is registered
    std::wstring serverPath;
    bool fileExists = false;
    int fileBits = 0; // 32 or 64 from the file's PE header; 0 when not known
    std::wstring threadingModel;
    bool creationTried = true;    // false: the check did not create it
    std::wstring notTriedBecause; // why, when not for the account: "non-administrators can ..."
    bool created = false;
    std::wstring servedBy;    // the module that serves the object made in-process; empty: none
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
    std::wstring virtualStore; // where Windows would redirect a virtualised write to it
    bool virtualStoreExists = false;
};

// Who besides administrators can change a folder Brevanto runs or loads code from, a folder on
// the way to it or the programs and DLLs in it that run.
struct ProgramFolderFacts {
    std::wstring path;
    std::wstring roles;   // "program folder", "user component", ...
    bool judged = false;  // false: it could not be judged (problem says why)
    std::wstring problem; // "\"C:\Lab\Link\" is a link (a reparse point)", ...
    // "BUILTIN\Users (S-1-5-32-545): add files, ..." for the folder itself; for a folder above
    // it or a file, led by its path: "C:\Lab (above it): ...", "C:\Lab\user.dll: ...".
    std::vector<std::wstring> changers;
};

struct WorkstationFacts {
    HostFacts host;
    AccountFacts account;
    unsigned creationTimeLimitMs = 0; // given to each class's creation process
    std::vector<ClassFacts> classes;
    std::vector<SettingFacts> settings;
    JobPath job;
    FolderFacts exportFolder;
    std::vector<ProgramFolderFacts> programFolders;
    ErrorReportingFacts errorReporting;
};

} // namespace brevanto::check
