#include "platform/records/event_log.h"

#include <atomic>
#include <cstdint>
#include <vector>

#include "platform/base/unique_resource.h"
#include "platform/registry/machine_registry.h"
#include "platform/registry/registry_value.h"
#include "platform/security/accounts.h"

namespace brevanto {
namespace {

constexpr wchar_t kSourceKey[] = L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\";

// Kept until the process ends: it is never deregistered, the process ending by TerminateProcess.
std::atomic<HANDLE> g_source{nullptr};
// The user SID, copied once; its pointer is handed to every event.
std::vector<std::uint8_t> g_userSid;

} // namespace

void PrepareApplicationEvents() {
    if (g_source.load())
        return;
    g_userSid = CurrentUserSid();
    g_source = RegisterEventSourceW(nullptr, kEventSource);
}

void WriteApplicationEvent(EventKind kind, DWORD id, const wchar_t* const* strings, WORD count) {
    const HANDLE source = g_source.load();
    if (!source)
        return;
    ReportEventW(source, static_cast<WORD>(kind), 0, id,
                 g_userSid.empty() ? nullptr : static_cast<PSID>(g_userSid.data()), count, 0,
                 const_cast<LPCWSTR*>(strings), nullptr);
}

EventSourceRegistration ReadEventSourceRegistration() {
    EventSourceRegistration registration;
    const UniqueRegistryKey key = OpenMachineKey(std::wstring(kSourceKey) + kEventSource);
    registration.registered = static_cast<bool>(key);
    registration.messageFile =
        TryReadRegistryText(key.Get(), L"EventMessageFile", Expansion::AsStored).value_or(L"");
    return registration;
}

} // namespace brevanto
