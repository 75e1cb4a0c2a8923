#pragma once

#include <string>

namespace brevanto::support {

// A link to a folder, for the tests of what refuses one. Where this process may make one, as any
// standard user may on Windows, it is a junction made in a folder of its own in the folder given
// (the temp folder when none is) for the lifetime of this object. Wine cannot make one
// (FSCTL_SET_REPARSE_POINT is not supported), but shows a Unix symbolic link as a reparse point:
// there it is the one the build makes beside the tests, link-fixture\linked to link-fixture\target
// in the program's folder, or the build's own that the test runner names (BREVANTO_LINK_FIXTURE)
// when the tests run from its copy.
class FolderLink {
public:
    explicit FolderLink(std::wstring in = L"");
    ~FolderLink();
    FolderLink(const FolderLink&) = delete;
    FolderLink& operator=(const FolderLink&) = delete;

    // False when there is none to be had; why says why.
    bool Made() const { return !link_.empty(); }
    const std::wstring& Why() const { return why_; }
    const std::wstring& Link() const { return link_; }
    const std::wstring& Target() const { return target_; }

private:
    std::wstring link_;
    std::wstring target_;
    std::wstring madeFolder_; // the temp folder holding a junction made here
    std::wstring why_;
};

} // namespace brevanto::support
