#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevanto::runner {

// What a run will put back, written before it changes anything, so that a runner that died can
// be followed by --restore RUNDIR: the registry trees the suite touches as they were, the folders
// the tests make (to remove those that were not there), the runner's copy of the bundle and the
// stand-ins it registered.
struct SnapshotValue {
    std::string name; // UTF-8; empty for the key's default value
    std::uint32_t type = 0;
    std::vector<unsigned char> data;

    bool operator==(const SnapshotValue&) const = default;
};

struct SnapshotKey {
    std::string path; // below the tree's key, "" for the key itself; parents come first
    std::vector<SnapshotValue> values;

    bool operator==(const SnapshotKey&) const = default;
};

struct SnapshotTree {
    std::string root; // "HKLM" or "HKCU"
    std::string view; // "32" or "64"
    std::string path;
    bool present = false;
    std::vector<SnapshotKey> keys;

    bool operator==(const SnapshotTree&) const = default;
};

// A folder the tests may make, or the entries of a folder that start with a prefix.
struct WatchedFolder {
    std::string path;
    bool present = false;

    bool operator==(const WatchedFolder&) const = default;
};
struct WatchedEntries {
    std::string folder;
    std::string prefix;
    std::vector<std::string> present; // the names there before the run

    bool operator==(const WatchedEntries&) const = default;
};

struct Registration {
    std::string arch;  // the stand-in DLL's
    std::string scope; // "machine" or "user"
    std::string dll;

    bool operator==(const Registration&) const = default;
};

struct RunState {
    std::vector<SnapshotTree> trees;
    std::vector<WatchedFolder> folders;
    std::vector<WatchedEntries> entries;
    std::vector<std::string> copies; // the runner's own copies of the bundle, removed at the end
    std::vector<Registration> registrations;
    bool restored = false;

    bool operator==(const RunState&) const = default;
};

std::string RunStateText(const RunState& state);

// The state read back; nothing, with the line that could not be read in error, when the text is
// not one RunStateText wrote.
std::optional<RunState> ParseRunState(std::string_view text, std::string& error);

} // namespace brevanto::runner
