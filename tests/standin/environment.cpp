#include "environment.h"

#include <windows.h>

namespace brevanto::standin {

std::wstring EnvironmentValue(const wchar_t* name) {
    std::wstring value(64, L'\0');
    for (;;) {
        const DWORD length =
            GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
        if (length == 0)
            return {};
        if (length < value.size()) {
            value.resize(length);
            return value;
        }
        // Too small: length is the size needed, terminator included.
        value.resize(length);
    }
}

} // namespace brevanto::standin
