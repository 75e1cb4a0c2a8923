#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "tests/support/environment_variable.h"
#include "tests/support/evidence_drop.h"
#include "tests/support/journal_reader.h"

namespace brevanto::support {

inline constexpr wchar_t kJournalVariable[] = L"BREVANTO_STANDIN_JOURNAL";

// A fresh journal file in the temp folder, named in kJournalVariable for the stand-ins in this
// process and in the programs it starts. At the end the file goes to the test runner's evidence
// (deleted when the driver runs without the runner), and the variable gets its previous value
// back.
class JournalFile {
public:
    JournalFile() : path_(NewPath()), variable_(kJournalVariable, path_) { Clear(); }
    ~JournalFile() { DropOrDelete(path_, L"journal"); }
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    std::vector<JournalCall> Read() const { return ReadJournal(path_); }
    // Forgets every line written so far.
    void Clear() const { DeleteFileW(path_.c_str()); }

private:
    static std::wstring NewPath() {
        static std::atomic<int> counter{0};
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        return std::wstring(temp) + L"brevanto-journal-" + std::to_wstring(GetCurrentProcessId()) +
               L"-" + std::to_wstring(++counter) + L".txt";
    }

    std::wstring path_;
    ScopedEnvironmentVariable variable_;
};

} // namespace brevanto::support
