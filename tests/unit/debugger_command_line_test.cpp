#include <gtest/gtest.h>

#include <string>

#include "tests/support/debugger_command_line.h"

namespace brevanto::testing {
namespace {

TEST(DebuggerCommandLine, TheDebuggerIsNamedAsAProcessListNamesItsImage) {
    struct Case {
        const char* name;
        std::wstring debugger; // the AeDebug Debugger value
        std::wstring image;
    };
    const Case cases[] = {
        {"Visual Studio's, quoted",
         L"\"C:\\Windows\\system32\\vsjitdebugger.exe\" -p %ld -e %ld -j 0x%p",
         L"vsjitdebugger.exe"},
        {"unquoted path with blanks",
         L"C:\\Program Files\\Debugging Tools\\windbg.exe -p %ld -e %ld -g", L"windbg.exe"},
        {"Wine's, no folder and no extension", L"winedbg --auto %ld %ld", L"winedbg.exe"},
        {"a folder with a dot, a name without one", L"C:\\tools.v2\\dbg -p %ld", L"dbg.exe"},
        {"forward slashes", L"C:/tools/ntsd.exe -p %ld", L"ntsd.exe"},
        {"leading blanks", L"  drwtsn32 -p %ld -e %ld -g", L"drwtsn32.exe"},
        {"none", L"", L""},
        {"blanks only", L"   ", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(support::DebuggerImage(c.debugger), c.image);
    }
}

TEST(DebuggerCommandLine, AnErrorReportIsForTheProcessItsPOptionNames) {
    struct Case {
        const char* name;
        std::wstring commandLine;
        bool reports; // on process 1234
    };
    const Case cases[] = {
        {"a crash report", L"C:\\Windows\\system32\\WerFault.exe -u -p 1234 -s 508", true},
        {"a hang report", L"C:\\Windows\\system32\\WerFault.exe -pss -s 472 -p 1234 -ip 1234",
         true},
        {"the option in upper case", L"WerFault.exe -u -P 1234 -s 508", true},
        {"a slash option", L"WerFault.exe /p 1234", true},
        {"tabs between", L"WerFault.exe\t-p\t1234", true},
        {"another process", L"WerFault.exe -u -p 12345 -s 508", false},
        {"a prefix of another process", L"WerFault.exe -u -p 123 -s 508", false},
        {"the id under another option", L"WerFault.exe -u -p 99 -s 1234", false},
        {"another option starting with p", L"WerFault.exe -pss 1234", false},
        {"the option last, no id", L"WerFault.exe -u -p", false},
        {"the queue reporter", L"WerFault.exe -k -rq", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(support::ReportsOnProcess(c.commandLine, 1234), c.reports);
    }
}

} // namespace
} // namespace brevanto::testing
