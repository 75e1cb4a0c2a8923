#include "platform/event_log.h"

#include <memory>

#include "platform/machine_registry.h"
#include "platform/unique_resource.h"

namespace brevanto {
namespace {

constexpr wchar_t kSourceKey[] = L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\";

struct PendingEvent {
    EventKind kind;
    DWORD id;
    std::vector<std::wstring> strings;
};

DWORD WINAPI WriteEvent(void* parameter) {
    const std::unique_ptr<PendingEvent> event(static_cast<PendingEvent*>(parameter));
    WriteApplicationEvent(event->kind, event->id, event->strings);
    return 0;
}

} // namespace

void WriteApplicationEvent(EventKind kind, DWORD id, const std::vector<std::wstring>& strings) {
    const HANDLE source = RegisterEventSourceW(nullptr, kEventSource);
    if (!source)
        return;
    std::vector<const wchar_t*> texts;
    for (const auto& text : strings)
        texts.push_back(text.c_str());
    ReportEventW(source, static_cast<WORD>(kind), 0, id, nullptr, static_cast<WORD>(texts.size()),
                 0, texts.data(), nullptr);
    DeregisterEventSource(source);
}

void WriteApplicationEventWithin(EventKind kind, DWORD id, const std::vector<std::wstring>& strings,
                                 DWORD waitMs) {
    auto event = std::make_unique<PendingEvent>(PendingEvent{kind, id, strings});
    const UniqueHandle writer(CreateThread(nullptr, 0, &WriteEvent, event.get(), 0, nullptr));
    if (!writer)
        return;
    // The thread owns the event now, also when it is still writing as the process ends.
    static_cast<void>(event.release());
    WaitForSingleObject(writer.Get(), waitMs);
}

EventSourceRegistration ReadEventSourceRegistration() {
    EventSourceRegistration registration;
    const UniqueRegistryKey key = OpenMachineKey(std::wstring(kSourceKey) + kEventSource);
    registration.registered = static_cast<bool>(key);
    registration.messageFile = ReadRegistryText(key, L"EventMessageFile").value_or(L"");
    return registration;
}

} // namespace brevanto
