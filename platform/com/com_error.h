#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/com/com_value.h"
#include "report/run_error.h"

namespace brevanto {

// The system's text for an HRESULT with its hex code, e.g. "Class not registered (0x80040154)".
std::wstring DescribeHresult(HRESULT hr);

// Turns a failed IDispatch::Invoke into a RunError. A component's own exception keeps its
// description exactly as given, even empty; any other failure names the member and the HRESULT.
RunError InvokeError(HRESULT hr, ExcepInfo& excepInfo, std::wstring_view what);

// A failure outside Invoke (creating an object, looking up a name), described as "what: reason".
RunError ComError(HRESULT hr, std::wstring_view what);

} // namespace brevanto
