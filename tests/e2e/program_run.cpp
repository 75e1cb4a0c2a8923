#include "tests/e2e/program_run.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "app/window_layout.h"

namespace brevanto::e2e {
namespace {

constexpr DWORD kPollMs = 2;
constexpr DWORD kMessageTimeoutMs = 2000;

std::wstring NewTempPath(const wchar_t* kind) {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring path = std::wstring(temp) + L"brevanto-" + kind + L"-" +
                        std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) +
                        L".txt";
    DeleteFileW(path.c_str());
    return path;
}

// Wine writes a process's trace to the Unix standard error it inherited, whatever Win32 standard
// handles it was given: a child's trace lands in this driver's own standard error. scripts/test
// sends that to a log file and names it here, so the trace can be read back.
std::wstring StandardErrorFile() {
    wchar_t path[MAX_PATH * 2];
    const DWORD length = GetEnvironmentVariableW(L"BREVANTO_DRIVER_STDERR", path, MAX_PATH * 2);
    return length && length < MAX_PATH * 2 ? std::wstring(path, length) : std::wstring();
}

struct FindContext {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM param) {
    auto* context = reinterpret_cast<FindContext*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (processId == context->processId && std::wstring(className) == kMainWindowClass &&
        IsWindowVisible(window)) {
        context->found = window;
        return FALSE;
    }
    return TRUE;
}

std::uint64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

} // namespace

std::int64_t NowUs() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<std::int64_t>(counter.QuadPart / frequency.QuadPart * 1000000 +
                                     counter.QuadPart % frequency.QuadPart * 1000000 /
                                         frequency.QuadPart);
}

std::wstring BinaryDirectory() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring directory(path, length);
    return directory.substr(0, directory.find_last_of(L'\\'));
}

ProgramRun::ProgramRun(const std::string& scenario, const std::string& wineDebug)
    : journalPath_(NewTempPath(L"journal")) {
    SetEnvironmentVariableW(L"BREVANTO_STANDIN_JOURNAL", journalPath_.c_str());
    SetEnvironmentVariableA("BREVANTO_STANDIN_SCENARIO", scenario.c_str());
    std::wstring exe = BinaryDirectory() + L"\\Brevanto.exe";
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    char previousDebug[256] = "";
    if (!wineDebug.empty()) {
        tracePath_ = StandardErrorFile();
        traceStart_ = FileSize(tracePath_);
        GetEnvironmentVariableA("WINEDEBUG", previousDebug, sizeof previousDebug);
        // +pid tells this process's lines from those of Wine's own services.
        SetEnvironmentVariableA("WINEDEBUG", ("+pid," + wineDebug).c_str());
    }
    startUs_ = NowUs();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        BinaryDirectory().c_str(), &startup, &processInfo_))
        ADD_FAILURE() << "cannot start Brevanto.exe, error " << GetLastError();
    if (!wineDebug.empty())
        SetEnvironmentVariableA("WINEDEBUG", previousDebug[0] ? previousDebug : nullptr);
}

bool ProgramRun::TraceReadable() const {
    return !tracePath_.empty();
}

std::vector<std::string> ProgramRun::Trace() const {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%04lx:", static_cast<unsigned long>(ProcessId()));
    std::vector<std::string> lines;
    if (tracePath_.empty())
        return lines;
    std::ifstream file(tracePath_.c_str(), std::ios::binary);
    file.seekg(static_cast<std::streamoff>(traceStart_));
    for (std::string line; std::getline(file, line);) {
        if (line.rfind(prefix, 0) == 0)
            lines.push_back(line.substr(std::strlen(prefix)));
    }
    return lines;
}

ProgramRun::~ProgramRun() {
    if (processInfo_.hProcess) {
        if (Running()) {
            TerminateProcess(processInfo_.hProcess, 99);
            WaitForSingleObject(processInfo_.hProcess, 5000);
        }
        CloseHandle(processInfo_.hProcess);
        CloseHandle(processInfo_.hThread);
    }
    DeleteFileW(journalPath_.c_str());
}

bool ProgramRun::Running() const {
    return processInfo_.hProcess && WaitForSingleObject(processInfo_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND ProgramRun::Window() {
    const std::int64_t deadline = NowUs() + 15'000'000;
    while (!window_ && NowUs() < deadline && Running()) {
        FindContext context{processInfo_.dwProcessId, nullptr};
        EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&context));
        if (context.found) {
            window_ = context.found;
            shownUs_ = NowUs();
        } else {
            Sleep(1);
        }
    }
    EXPECT_TRUE(window_) << "Brevanto.exe showed no window";
    return window_;
}

HWND ProgramRun::Control(int id) {
    return GetDlgItem(Window(), id);
}

std::wstring ProgramRun::TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!window || !SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                                        kMessageTimeoutMs, &length))
        return L"";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied))
        return L"";
    text.resize(copied);
    return text;
}

std::wstring ProgramRun::Caption() {
    std::wstring caption = TextOf(Window());
    if (Running())
        lastCaption_ = caption;
    return caption;
}

std::wstring ProgramRun::Log() {
    std::wstring log = TextOf(Control(kText1Id));
    if (Running())
        lastLog_ = log;
    return log;
}

bool ProgramRun::WaitForLog(const std::function<bool(const std::wstring&)>& pred, DWORD timeoutMs) {
    const std::int64_t deadline = NowUs() + static_cast<std::int64_t>(timeoutMs) * 1000;
    while (NowUs() < deadline) {
        if (!Running())
            return pred(lastLog_);
        const std::wstring log = Log();
        Caption();
        if (pred(log))
            return true;
        Sleep(kPollMs);
    }
    return false;
}

bool ProgramRun::WaitForLogLines(std::size_t lines, DWORD timeoutMs) {
    return WaitForLog([lines](const std::wstring& log) { return LogLines(log).size() >= lines; },
                      timeoutMs);
}

void ProgramRun::Click(int id) {
    HWND button = Control(id);
    ASSERT_TRUE(button) << "no control " << id;
    PostMessageW(button, BM_CLICK, 0, 0);
}

int ProgramRun::WaitForExit(DWORD timeoutMs) {
    if (!processInfo_.hProcess)
        return -1;
    if (WaitForSingleObject(processInfo_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(processInfo_.hProcess, 99);
        WaitForSingleObject(processInfo_.hProcess, 5000);
        return -1;
    }
    exitUs_ = NowUs();
    DWORD status = 0;
    GetExitCodeProcess(processInfo_.hProcess, &status);
    return static_cast<int>(status);
}

std::vector<std::wstring> LogLines(const std::wstring& log) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = log.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(log.substr(start, end - start));
    if (start < log.size())
        lines.push_back(log.substr(start));
    return lines;
}

std::vector<std::wstring> EmptyStoreLog(const std::wstring& programDirectory) {
    return {
        L" 1 clsCurrentUser",
        L" 2 User",
        L" 3 LoginUser",
        L" 4 LabResultViewer",
        L" 5 LabResultViewer.zeltarUser = User",
        L" 6 setexportpath " + programDirectory + L"\\PDF",
        L" 6 Requestnum ",
        L" 7 ViewMode",
        L" 7 ViewMode1a",
        L" 7 Loadviewer yes",
        L" 7 ViewMode1b",
        L" 8 Show_Results ",
        L" 8 Show_Results Done",
    };
}

} // namespace brevanto::e2e
