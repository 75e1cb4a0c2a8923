#pragma once

#include <string>
#include <utility>
#include <vector>

namespace brevanto::check {

// What Windows keeps of a crashed or ended Brevanto.exe, and whether a crash of a program the
// components start waits for a person: reported as information, never as a problem, as all are
// the administrator's choice.
struct ErrorReportingFacts {
    bool dumpsConfigured = false; // LocalDumps asks for dumps of Brevanto.exe
    std::wstring dumpFolder;      // expanded
    unsigned dumpCount = 0;
    unsigned dumpType = 0; // 0 custom, 1 mini, 2 full
    bool sourceRegistered = false;
    std::wstring messageFile; // the source's EventMessageFile
    // The dump folder's permissions, when dumps are asked for and it is there.
    bool dumpFolderExists = false;
    bool dumpFolderJudged = false; // its permissions could be read
    // Accounts besides this user, SYSTEM and administrators that may read the dumps made there:
    // "BUILTIN\\Users (S-1-5-32-545): read the files made in it".
    std::vector<std::wstring> dumpReaders;
    // Windows Error Reporting's dialog for a crash of another program (one a component starts),
    // which waits for a person: hidden when DontShowUI is 1 where Windows reads it first.
    bool errorDialogHidden = false;
    std::wstring dontShowUiSetIn; // that key; empty: DontShowUI is set nowhere
};

// "mini", "full" or "custom".
const char* DumpTypeName(unsigned dumpType);

// The rows of the report's section, label and value.
std::vector<std::pair<std::wstring, std::wstring>> ErrorReportingRows(const ErrorReportingFacts& f);

// What is worth knowing: dumps other users can read, and a dialog that would wait.
std::vector<std::wstring> ErrorReportingNotes(const ErrorReportingFacts& f);

// The "crashDumps", "eventSource", "dumpFolder" and "errorDialog" objects of the JSON report.
std::string CrashDumpsJson(const ErrorReportingFacts& f);
std::string EventSourceJson(const ErrorReportingFacts& f);
std::string DumpFolderJson(const ErrorReportingFacts& f);
std::string ErrorDialogJson(const ErrorReportingFacts& f);

} // namespace brevanto::check
