// brevanto-check: tells an administrator whether Brevanto will work on this workstation for the
// current user, without running the report job. Exit status 0 when ready, 1 when problems were
// found, 2 when the check itself could not run.
#include <windows.h>

#include <string>

#include "check/class_creation.h"
#include "check/core/judgement.h"
#include "check/core/report_output.h"
#include "check/core/text_escape.h"
#include "check/gather.h"
#include "check/out_file_writer.h"
#include "platform/base/utf8.h"
#include "platform/unattended/crash_handling.h"
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

void WriteError(const std::wstring& description) {
    const std::wstring text =
        L"brevanto-check: " + brevanto::check::DisplaySafe(description) + L"\r\n";
    Write(text, brevanto::Utf8(text));
}

int Usage() {
    const std::wstring text =
        L"usage: brevanto-check [--json] [--out FILE] [--create-as-this-account]\r\n";
    Write(text, brevanto::Utf8(text));
    return kCheckFailed;
}

struct Options {
    bool json = false;
    std::wstring outPath; // empty: the standard output
    bool createAsThisAccount = false;
};

bool ReadOptions(int argc, wchar_t** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--json")
            options.json = true;
        else if (argument == L"--create-as-this-account")
            options.createAsThisAccount = true;
        else if (argument == L"--out" && i + 1 < argc && argv[i + 1][0] != L'\0')
            options.outPath = argv[++i];
        else
            return false;
    }
    return true;
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
    Options options;
    if (!ReadOptions(argc, argv, options))
        return Usage();
    brevanto::check::WorkstationFacts facts;
    try {
        facts = brevanto::check::GatherFacts(options.createAsThisAccount);
    } catch (const brevanto::RunError& error) {
        WriteError(error.Description());
        return kCheckFailed;
    }
    const auto judgement = brevanto::check::Judge(facts);
    std::wstring text;
    std::string bytes;
    if (options.json) {
        bytes = brevanto::check::JsonReport(facts, judgement);
        text = brevanto::FromUtf8(bytes);
    } else {
        text = brevanto::check::TextReport(facts, judgement);
        bytes = brevanto::Utf8(text);
    }
    if (options.outPath.empty()) {
        if (!Write(text, bytes))
            return kCheckFailed;
    } else if (const std::wstring failure = brevanto::check::WriteOutFile(options.outPath, bytes);
               !failure.empty()) {
        WriteError(L"cannot write " + options.outPath + L" (" + failure + L")");
        return kCheckFailed;
    }
    return judgement.Ready() ? kReady : kProblems;
}
