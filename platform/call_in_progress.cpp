#include "platform/call_in_progress.h"

#include <mutex>
#include <utility>

namespace brevanto {
namespace {

std::mutex g_lock;
std::wstring g_member;

} // namespace

CallInProgress::CallInProgress(std::wstring_view object, std::wstring_view member) {
    std::wstring name(object);
    name += member.empty() ? std::wstring(L" (creating the object)") : L"." + std::wstring(member);
    const std::lock_guard lock(g_lock);
    outer_ = std::exchange(g_member, std::move(name));
}

CallInProgress::~CallInProgress() {
    const std::lock_guard lock(g_lock);
    g_member = std::move(outer_);
}

std::wstring MemberInProgress() {
    const std::lock_guard lock(g_lock);
    return g_member;
}

} // namespace brevanto
