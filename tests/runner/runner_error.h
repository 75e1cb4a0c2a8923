#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

#include "platform/base/utf8.h"
#include "platform/com/com_error.h"

namespace brevanto::runner {

// The one error the runner's Win32 side throws: what could not be done, and the system's reason.
class RunnerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] inline void ThrowRunnerError(const std::string& what, DWORD error) {
    throw RunnerError(what + ": " + Utf8(DescribeHresult(HRESULT_FROM_WIN32(error))));
}

} // namespace brevanto::runner
