#pragma once

#include <string>

namespace brevanto {

// Whether Windows Error Reporting shows its "has stopped working" dialog for a crashed program,
// which waits for a person: not when DontShowUI is 1. Read where Windows reads it, the first of
// these that holds the value deciding: the policy "Prevent display of the user interface for
// critical errors" for the machine, then for the user, then the machine's setting (in the 64-bit
// view), then the user's.
struct ErrorDialogSetting {
    bool hidden = false;
    std::wstring setIn; // the key that decides; empty when none holds DontShowUI
};

ErrorDialogSetting ReadErrorDialogSetting();

} // namespace brevanto
