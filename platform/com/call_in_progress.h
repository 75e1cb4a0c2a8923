#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brevanto {

// Names the component member being called for the scope's lifetime ("velmonic.labresultviewer.
// Show_Results"; an empty member names the creation of the object), so a crash report can say
// what was called; nested calls name theirs and give the outer one back.
class CallInProgress {
public:
    CallInProgress(std::wstring_view object, std::wstring_view member);
    ~CallInProgress();
    CallInProgress(const CallInProgress&) = delete;
    CallInProgress& operator=(const CallInProgress&) = delete;

private:
    std::wstring outer_;
};

// The most characters of a member's name a crash report reads.
inline constexpr std::size_t kMemberNameCapacity = 512;

// Copies the name of the member being called now into out (kMemberNameCapacity characters) and
// gives its length, 0 when none is. Safe to ask from another thread, also while the calling one
// is stopped inside the component: it allocates nothing and does not wait for long.
std::size_t CopyMemberInProgress(wchar_t* out);

} // namespace brevanto
