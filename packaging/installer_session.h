#pragma once

#include <windows.h>

#include <msiquery.h>

#include <string>

namespace brevanto::setup {

// A property of the running install; empty when it is not set.
std::wstring Property(MSIHANDLE install, const wchar_t* name);

// A line in the installer's log (msiexec /l*v), where an administrator looks for the reason.
void Log(MSIHANDLE install, const std::wstring& text);

// For a custom action's catch (...): says in the installer's log that the action stopped and
// why, as far as the exception tells, and gives the status that fails the install.
UINT FailedOnException(MSIHANDLE install, const wchar_t* action) noexcept;

} // namespace brevanto::setup
