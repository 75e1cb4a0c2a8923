#include "platform/com/call_in_progress.h"

#include <mutex>
#include <utility>

#include "platform/base/shared_text.h"

namespace brevanto {
namespace {

// The names of the calls on the stack, for the scopes; and the innermost one, for the reader.
std::mutex g_lock;
std::wstring g_member;
SharedText<kMemberNameCapacity> g_shown;

} // namespace

CallInProgress::CallInProgress(std::wstring_view object, std::wstring_view member) {
    std::wstring name(object);
    name += member.empty() ? std::wstring(L" (creating the object)") : L"." + std::wstring(member);
    const std::lock_guard lock(g_lock);
    outer_ = std::exchange(g_member, std::move(name));
    g_shown.Set(g_member);
}

CallInProgress::~CallInProgress() {
    const std::lock_guard lock(g_lock);
    g_member = std::move(outer_);
    g_shown.Set(g_member);
}

std::size_t CopyMemberInProgress(wchar_t* out) {
    return g_shown.CopyTo(out).value_or(0);
}

} // namespace brevanto
