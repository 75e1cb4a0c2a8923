#include "crash_reporter.h"

#include "journal.h"

#include <windows.h>

#include <atomic>
#include <new>

namespace brevanto::standin {
namespace {

struct Installer {
    std::string_view object;
    std::string_view member;
};

// Set before the filter is, and read only by the filter.
std::atomic<const Installer*> g_installer{nullptr};

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* exception) {
    const Installer* installer = g_installer.load();
    const DWORD code =
        exception && exception->ExceptionRecord ? exception->ExceptionRecord->ExceptionCode : 0;
    try {
        WriteEventJournal(JournalKind::Filter, installer ? installer->object : "?",
                          installer ? installer->member : "?",
                          {SeenField("event", "ran"), SeenField("code", HexCode(code))});
    } catch (const std::bad_alloc&) {
        // The line is lost; the report still appears.
    }
    MessageBoxW(nullptr,
                L"The lab report component has stopped working. A report of the problem can be "
                L"sent to its maker.",
                L"Brevanto stand-in crash reporter", MB_OK | MB_ICONERROR);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

void InstallCrashReporter(std::string_view object, std::string_view member) noexcept {
    static Installer installer;
    installer = {object, member};
    g_installer = &installer;
    SetUnhandledExceptionFilter(&ReportCrash);
    try {
        WriteEventJournal(JournalKind::Filter, object, member, {SeenField("event", "installed")});
    } catch (const std::bad_alloc&) {
        // The line is lost; the reporter is in place.
    }
}

} // namespace brevanto::standin
