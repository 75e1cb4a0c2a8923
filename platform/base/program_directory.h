#pragma once

#include <string>

namespace brevanto {

// The folder that holds the running executable, without a trailing backslash unless it is a
// drive's root ("C:\").
std::wstring ProgramDirectory();

// The full path of the running executable.
std::wstring ProgramPath();

// The running executable's file name, "Brevanto.exe".
std::wstring ExeFileName();

} // namespace brevanto
