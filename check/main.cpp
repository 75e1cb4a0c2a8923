// brevanto-check: tells an administrator whether Brevanto will work on this workstation for the
// current user, without running the report job. Exit status 0 when ready, 1 when problems were
// found, 2 when the check itself could not run.
#include <windows.h>

#include <string>

#include "check/class_creation.h"
#include "check/gather.h"
#include "check/judgement.h"
#include "check/report_output.h"
#include "platform/crash_handling.h"
#include "platform/ole_apartment.h"
#include "platform/utf8.h"
#include "report/run_error.h"

namespace {

constexpr int kReady = 0;
constexpr int kProblems = 1;
constexpr int kCheckFailed = 2;

// A console gets the text as it is; a file or pipe gets UTF-8.
bool Write(const std::wstring& text, const std::string& bytes) {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(out, &mode))
        return WriteConsoleW(out, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr);
    return WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

int Usage() {
    const std::wstring text = L"usage: brevanto-check [--json]\r\n";
    Write(text, brevanto::Utf8(text));
    return kCheckFailed;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    // Run from a remote shell or a management tool: nobody could answer a crash dialog.
    brevanto::InstallCrashHandling();
    // Components and the system are loaded from their own folders, as in Brevanto.exe.
    SetDllDirectoryW(L"");
    // Internal, and so not in the usage: the check starts itself so to create one class in a
    // process it watches. Like Brevanto.exe, that process ends running no DLL detach code.
    if (argc == 3 && std::wstring(argv[1]) == L"--create-class")
        brevanto::EndProcessNow(static_cast<UINT>(brevanto::check::RunClassCreation(argv[2])));
    bool json = false;
    for (int i = 1; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"--json")
            json = true;
        else
            return Usage();
    }
    // COM for the class look-ups (CLSIDFromProgID); no component code runs in this process.
    const brevanto::OleApartment ole;
    if (!ole.Initialized())
        return kCheckFailed;
    brevanto::check::WorkstationFacts facts;
    try {
        facts = brevanto::check::GatherFacts();
    } catch (const brevanto::RunError& error) {
        const std::wstring text = L"brevanto-check: " + error.Description() + L"\r\n";
        Write(text, brevanto::Utf8(text));
        return kCheckFailed;
    }
    const auto judgement = brevanto::check::Judge(facts);
    bool written = false;
    if (json) {
        const std::string report = brevanto::check::JsonReport(facts, judgement);
        written = Write(brevanto::FromUtf8(report), report);
    } else {
        const std::wstring report = brevanto::check::TextReport(facts, judgement);
        written = Write(report, brevanto::Utf8(report));
    }
    if (!written)
        return kCheckFailed;
    return judgement.Ready() ? kReady : kProblems;
}
