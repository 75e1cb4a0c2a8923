#pragma once

#include <string>
#include <string_view>

// What tells a debugger or an error report started for a crashed process, read from command
// lines, apart from the process list, so that the rules are tested without Windows.
namespace brevanto::support {

// The image file name of the program a debugger's command line starts, as a process list names
// it: "vsjitdebugger.exe" for "\"C:\\...\\vsjitdebugger.exe\" -p %ld -e %ld", "winedbg.exe" for
// "winedbg --auto %ld %ld" (a name without an extension is an .exe). Empty for an empty line.
std::wstring DebuggerImage(std::wstring_view commandLine);

// Whether a Windows Error Reporting command line ("WerFault.exe -u -p 1234 -s 56") reports on
// the process: its "-p" option names processId.
bool ReportsOnProcess(std::wstring_view commandLine, unsigned long processId);

} // namespace brevanto::support
