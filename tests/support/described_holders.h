#pragma once

#include <string>
#include <vector>

#include "platform/security/access_rules.h"

namespace brevanto::support {

// The holders the access rules found, as a test compares them: "SID: right, right; SID: right";
// empty when nobody besides the trusted accounts counts. Needs no Windows, so the native table
// tests and the Wine tests of the descriptor reader share it.
inline std::wstring Described(const std::vector<Holder>& holders) {
    std::wstring text;
    for (const Holder& holder : holders) {
        text += (text.empty() ? L"" : L"; ") + holder.sid + L":";
        for (std::size_t i = 0; i < holder.rights.size(); ++i)
            text += (i ? L", " : L" ") + holder.rights[i];
    }
    return text;
}

} // namespace brevanto::support
