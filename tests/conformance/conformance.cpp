#include "tests/conformance/conformance.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <mutex>

#include "tests/runner/core/driver_environment.h"

namespace brevanto::conformance {
namespace {

std::mutex g_writeLock;

std::string CurrentTestName() {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    if (!test)
        return "none";
    return std::string(test->test_suite_name()) + "." + test->name();
}

// One line each: the runner reads the output a line at a time.
std::string OnOneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line)
        if (c == '\r' || c == '\n')
            c = ' ';
    return line;
}

class ResultLines : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override {
        started_ = std::chrono::steady_clock::now();
        WriteResultLine(runner::kStartWord, {});
    }

    void OnTestEnd(const testing::TestInfo& test) override {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - started_)
                            .count();
        const testing::TestResult& result = *test.result();
        FileEvidence(result.Failed());
        std::string rest;
        if (result.Skipped()) {
            rest = std::string(runner::kSkipped) + " " + std::to_string(ms) + " " +
                   SkipMessage(result);
        } else {
            rest = std::string(result.Failed() ? runner::kFailed : runner::kPassed) + " " +
                   std::to_string(ms);
        }
        WriteResultLine(runner::kEndWord, rest);
    }

private:
    // What the test support dropped during the test (result_protocol's evidence drop): kept in
    // the test's own folder when it failed, deleted otherwise, before its end line is written.
    static void FileEvidence(bool failed) {
        const std::wstring variable(runner::kEvidenceDropVariable.begin(),
                                    runner::kEvidenceDropVariable.end());
        wchar_t drop[MAX_PATH] = {};
        const DWORD length = GetEnvironmentVariableW(variable.c_str(), drop, MAX_PATH);
        if (!length || length >= MAX_PATH)
            return;
        const std::string name = runner::TestFileName(CurrentTestName());
        const std::wstring kept =
            std::wstring(drop) + L"\\" + std::wstring(name.begin(), name.end());
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW((std::wstring(drop) + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return;
        if (failed)
            CreateDirectoryW(kept.c_str(), nullptr);
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            const std::wstring file = std::wstring(drop) + L"\\" + found.cFileName;
            if (!failed || !MoveFileExW(file.c_str(), (kept + L"\\" + found.cFileName).c_str(),
                                        MOVEFILE_REPLACE_EXISTING))
                DeleteFileW(file.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }

    static std::string SkipMessage(const testing::TestResult& result) {
        for (int i = 0; i < result.total_part_count(); ++i) {
            const testing::TestPartResult& part = result.GetTestPartResult(i);
            if (part.skipped())
                return part.message();
        }
        return {};
    }

    std::chrono::steady_clock::time_point started_;
};

} // namespace

bool RunningUnderWine() {
    static const bool wine = [] {
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return wine;
}

bool WineOnly(bool heldUnderWine, std::string_view why) {
    if (!RunningUnderWine())
        return false;
    WriteResultLine(runner::kAllowanceWord, why);
    return heldUnderWine;
}

bool WindowsOnlyCheck(std::string_view what) {
    if (!RunningUnderWine())
        return true;
    WriteResultLine(runner::kWindowsOnlyWord, what);
    return false;
}

std::string SkipText(std::string_view category, std::string_view why) {
    return std::string(category) + ": " + std::string(why);
}

void WriteResultLine(std::string_view word, std::string_view rest) {
    std::string line =
        std::string(runner::kLineMarker) + std::string(word) + " " + CurrentTestName();
    if (!rest.empty()) {
        // Appended piece by piece: GCC 12 takes " " + std::string&& for an overlapping copy.
        line += ' ';
        line += OnOneLine(rest);
    }
    line += '\n';
    const std::lock_guard lock(g_writeLock);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

void InstallResultLines() {
    testing::UnitTest::GetInstance()->listeners().Append(new ResultLines);
}

} // namespace brevanto::conformance
