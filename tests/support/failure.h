#pragma once

#include <stdexcept>
#include <string>

namespace brevanto::support {

// Support functions report a failure by throwing std::runtime_error with a message: GoogleTest
// counts it as the test's failure, the demo and the benchmark catch it in main.
[[noreturn]] inline void Fail(const std::string& what, unsigned long code) {
    throw std::runtime_error(what + ": error " + std::to_string(code));
}

} // namespace brevanto::support
