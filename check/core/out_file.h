#pragma once

#include <string>

namespace brevanto::check {

// What the check saw of the file --out names, opened without truncating it and without following
// a link on it.
struct OutFileFacts {
    bool reparsePoint = false; // the file is a link itself (a symbolic link, a mount point)
    unsigned long links = 1;   // its names: more than one when hard links were made to it
    std::wstring askedPath;    // the full path asked for, each name as its folder spells it
    std::wstring finalPath;    // where it is after every link on the way; empty: unknown
};

// Why the report must not be written into that file, or empty when it may: a link, a file with
// another name elsewhere, or one a link on the way leads elsewhere. Run as SYSTEM (Intune,
// ConfigMgr) or elevated, the check would otherwise overwrite whatever file a standard user
// pointed such a link at.
std::wstring OutFileRefusal(const OutFileFacts& facts);

} // namespace brevanto::check
