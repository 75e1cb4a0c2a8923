#include "tests/support/program_run.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <stdexcept>

#include "app/window_layout.h"
#include "platform/base/system_function.h"
#include "tests/support/file_size.h"
#include "tests/support/job_log.h"
#include "tests/support/standin_library.h"

namespace brevanto::support {
namespace {

constexpr DWORD kPollMs = 2;
constexpr DWORD kMessageTimeoutMs = 2000;
constexpr DWORD kWindowTimeoutMs = 15000;

std::wstring Wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// Wine writes a process's trace to the Unix standard error it inherited, whatever Win32 standard
// handles it was given: a child's trace lands in this driver's own standard error. scripts/test
// sends that to a log file and names it here, so the trace can be read back.
std::wstring StandardErrorFile() {
    wchar_t path[MAX_PATH * 2];
    const DWORD length = GetEnvironmentVariableW(L"BREVANTO_DRIVER_STDERR", path, MAX_PATH * 2);
    return length && length < MAX_PATH * 2 ? std::wstring(path, length) : std::wstring();
}

ChildProcess StartBrevanto(const std::string& wineDebug) {
    std::optional<ScopedEnvironmentVariable> debug;
    // +pid tells this process's lines from those of Wine's own services.
    if (!wineDebug.empty())
        debug.emplace(L"WINEDEBUG", L"+pid," + Wide(wineDebug));
    const std::wstring exe = ProgramDirectory() + L"\\Brevanto.exe";
    return ChildProcess(exe, L"\"" + exe + L"\"", ProgramDirectory());
}

} // namespace

ProgramRun::ProgramRun(const std::string& scenario, const std::string& wineDebug)
    : scenario_(kScenarioVariable, Wide(scenario)),
      tracePath_(wineDebug.empty() ? std::wstring() : StandardErrorFile()),
      traceStart_(FileSize(tracePath_).value_or(0)), process_(StartBrevanto(wineDebug)) {}

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

HWND ProgramRun::Window() {
    if (!TryWindow())
        throw std::runtime_error("Brevanto.exe showed no window");
    return window_;
}

HWND ProgramRun::TryWindow() {
    if (!window_) {
        window_ = process_.WaitForWindow(kMainWindowClass, kWindowTimeoutMs);
        shownUs_ = window_ ? NowUs() : 0;
    }
    return window_;
}

HWND ProgramRun::Control(int id) {
    return GetDlgItem(Window(), id);
}

std::wstring ProgramRun::TextOf(HWND window) {
    for (;;) {
        DWORD_PTR length = 0;
        if (!window || !SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                                            kMessageTimeoutMs, &length))
            return L"";
        // Room for one character more: a text that fills it grew since its length was asked,
        // and what was copied is only its start.
        std::wstring text(length + 2, L'\0');
        DWORD_PTR copied = 0;
        if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(),
                                 reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                                 kMessageTimeoutMs, &copied))
            return L"";
        if (copied <= length) {
            text.resize(copied);
            return text;
        }
    }
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

bool ProgramRun::WaitForFailure(DWORD timeoutMs) {
    return WaitForLog(
        [](const std::wstring& log) { return log.rfind(L"Brevanto.exe Generate ", 0) == 0; },
        timeoutMs);
}

bool ProgramRun::WaitForCall(const std::string& call, std::size_t count, DWORD timeoutMs) const {
    const std::int64_t deadline = NowUs() + static_cast<std::int64_t>(timeoutMs) * 1000;
    for (; NowUs() < deadline; Sleep(5)) {
        const auto calls = Calls();
        if (static_cast<std::size_t>(std::count(calls.begin(), calls.end(), call)) >= count)
            return true;
    }
    return false;
}

void ProgramRun::Click(int id) {
    HWND button = Control(id);
    if (!button)
        throw std::runtime_error("no control " + std::to_string(id));
    PostMessageW(button, BM_CLICK, 0, 0);
}

int ProgramRun::WaitForExit(DWORD timeoutMs) {
    if (!process_.WaitForExit(timeoutMs)) {
        process_.Kill();
        return -1;
    }
    return static_cast<int>(process_.ExitStatus());
}

int ProgramRun::EndWithCancel(DWORD timeoutMs) {
    Click(kCmdCancelId);
    return WaitForExit(timeoutMs);
}

unsigned WindowDpi(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    if (const auto forWindow =
            SystemFunction<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow"))
        return forWindow(window);
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return static_cast<unsigned>(dpi);
}

bool WineTraceReadable() {
    return !StandardErrorFile().empty();
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
    std::vector<std::wstring> lines;
    for (const auto& line : CompletedJobLog(programDirectory, L""))
        lines.push_back(line.Text());
    return lines;
}

} // namespace brevanto::support
