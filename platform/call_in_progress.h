#pragma once

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

// The member being called now; empty when none is. Safe to ask from another thread.
std::wstring MemberInProgress();

} // namespace brevanto
