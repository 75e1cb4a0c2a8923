#include "dispatch_object.h"

#include "active_scenario.h"
#include "button_click.h"
#include "com_values.h"
#include "crash.h"
#include "crash_later.h"
#include "crash_reporter.h"
#include "dpi_change.h"
#include "handled_overflow.h"
#include "held_locks.h"
#include "live_objects.h"
#include "log_observation.h"
#include "message_pump.h"
#include "observation.h"
#include "raised_error.h"
#include "started_thread.h"
#include "thread_timer.h"
#include "unanswered_box.h"
#include "variant_text.h"

#include <wrl/client.h>

#include <string>

namespace brevanto::standin {
namespace {

// Private to this DLL: asks one of our objects for its second dispinterface, the way a client
// would ask for a component's other dispinterface by its DIID.
constexpr IID kSecondDispatchIid = {
    0xB7A3C2D1, 0x5E4F, 0x4A6B, {0x9C, 0x8D, 0x1E, 0x2F, 0x3A, 0x4B, 0x5C, 0x20}};

wchar_t FoldCase(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? c - L'A' + L'a' : c;
}

bool NameMatches(const wchar_t* asked, std::string_view name) {
    for (const char c : name) {
        if (*asked == L'\0' || FoldCase(*asked) != FoldCase(static_cast<wchar_t>(c)))
            return false;
        ++asked;
    }
    return *asked == L'\0';
}

bool HasFlag(WORD flags, WORD flag) {
    return (flags & flag) != 0;
}

// A property put carries its value as the single argument, named DISPID_PROPERTYPUT.
HRESULT CheckPutShape(const DISPPARAMS& params) {
    if (params.cArgs == 0)
        return DISP_E_PARAMNOTOPTIONAL;
    if (params.cArgs > 1)
        return DISP_E_BADPARAMCOUNT;
    if (params.cNamedArgs != 1 || !params.rgdispidNamedArgs ||
        params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
        return DISP_E_PARAMNOTOPTIONAL;
    return S_OK;
}

HRESULT CheckGetShape(const DISPPARAMS& params) {
    if (params.cArgs != 0)
        return DISP_E_BADPARAMCOUNT;
    return params.cNamedArgs == 0 ? S_OK : DISP_E_NONAMEDARGS;
}

// Swaps one of our objects for its second dispinterface; anything else stays as it is.
void OfferSecondInterface(UniqueVariant& value) {
    const VARIANT& given = value.Get();
    if (given.vt != VT_DISPATCH || !given.pdispVal)
        return;
    IDispatch* second = nullptr;
    if (FAILED(
            given.pdispVal->QueryInterface(kSecondDispatchIid, reinterpret_cast<void**>(&second))))
        return;
    // The object stays alive through the reference the second interface holds.
    HoldDispatch(value, second);
}

// Hands one of our objects back as VT_UNKNOWN, the same pointer: the caller must ask it for
// IDispatch.
void OfferAsUnknown(UniqueVariant& value) {
    VARIANT given = value.Release();
    if (given.vt == VT_DISPATCH && given.pdispVal)
        given.vt = VT_UNKNOWN; // IDispatch begins with IUnknown
    *value.Put() = given;
}

class PlainObject final : public DispatchObject {
public:
    PlainObject(ObjectKind kind, std::span<const Member> members) : DispatchObject(kind, members) {}
};

} // namespace

DispatchObject::DispatchObject(ObjectKind kind, std::span<const Member> members)
    : kind_(kind), members_(members) {
    AddLiveObject(this, kind_);
}

DispatchObject::~DispatchObject() {
    RemoveLiveObject(this);
}

HRESULT DispatchObject::QueryInterface(REFIID iid, void** result) {
    if (!result)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        *result = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    if (IsEqualIID(iid, kSecondDispatchIid)) {
        *result = static_cast<IDispatch*>(&second_);
        AddRef();
        return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
}

ULONG DispatchObject::AddRef() {
    return InterlockedIncrement(&references_);
}

ULONG DispatchObject::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
        const ObjectKind kind = kind_;
        const std::int64_t enterUs = JournalClock();
        // Objects this one holds go first, so their lines come before this one.
        delete this;
        WriteLifetimeJournal(kind, JournalKind::Destroy, enterUs);
    }
    return left;
}

HRESULT DispatchObject::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info)
        *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT DispatchObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT nameCount, LCID,
                                      DISPID* ids) {
    return LookUpNames(Face::Primary, iid, names, nameCount, ids);
}

HRESULT DispatchObject::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                               VARIANT* result, EXCEPINFO* exception, UINT*) {
    return InvokeThrough(Face::Primary, id, iid, flags, params, result, exception);
}

HRESULT DispatchObject::SecondDispatch::QueryInterface(REFIID iid, void** result) {
    if (!result)
        return E_POINTER;
    if (IsEqualIID(iid, kSecondDispatchIid)) {
        *result = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    return owner_.QueryInterface(iid, result);
}

ULONG DispatchObject::SecondDispatch::AddRef() {
    return owner_.AddRef();
}

ULONG DispatchObject::SecondDispatch::Release() {
    return owner_.Release();
}

HRESULT DispatchObject::SecondDispatch::GetTypeInfoCount(UINT* count) {
    return owner_.GetTypeInfoCount(count);
}

HRESULT DispatchObject::SecondDispatch::GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) {
    return owner_.GetTypeInfo(index, locale, info);
}

HRESULT DispatchObject::SecondDispatch::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT nameCount,
                                                      LCID, DISPID* ids) {
    return owner_.LookUpNames(Face::Second, iid, names, nameCount, ids);
}

HRESULT DispatchObject::SecondDispatch::Invoke(DISPID id, REFIID iid, LCID, WORD flags,
                                               DISPPARAMS* params, VARIANT* result,
                                               EXCEPINFO* exception, UINT*) {
    return owner_.InvokeThrough(Face::Second, id, iid, flags, params, result, exception);
}

std::string_view DispatchObject::JournalNameOf(Face face) const {
    return face == Face::Primary ? JournalName(kind_) : SecondJournalName(kind_);
}

HRESULT DispatchObject::LookUpNames(Face face, REFIID iid, LPOLESTR* names, UINT nameCount,
                                    DISPID* ids) {
    if (!IsEqualIID(iid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids || nameCount == 0)
        return E_INVALIDARG;
    for (UINT i = 0; i < nameCount; ++i)
        ids[i] = DISPID_UNKNOWN;
    if (!names[0])
        return DISP_E_UNKNOWNNAME;
    for (const Member& member : members_) {
        if (NameMatches(names[0], member.name)) {
            if (IsHidden(face, member))
                return DISP_E_UNKNOWNNAME;
            ids[0] = member.id;
            // No member has named parameters, so any further name is unknown.
            return nameCount == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

HRESULT DispatchObject::InvokeThrough(Face face, DISPID id, REFIID iid, WORD flags,
                                      DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception) {
    const std::int64_t enterUs = JournalClock();
    if (!IsEqualIID(iid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    const Member* member = FindMember(face, id);
    if (!member)
        return DISP_E_MEMBERNOTFOUND;
    if (!params || (params->cArgs > 0 && !params->rgvarg))
        return E_INVALIDARG;
    Operation operation = Operation::Call;
    const HRESULT shape = ChooseOperation(*member, flags, *params, operation);
    if (FAILED(shape))
        return shape;
    if (result)
        VariantInit(result);
    // A pumping call can let the client drop its last reference from a nested call.
    const Microsoft::WRL::ComPtr<IDispatch> keepAlive(this);
    try {
        return InvokeMember(enterUs, face, *member, operation, *params, result, exception);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT DispatchObject::ReadMember(DISPID id, UniqueVariant& result) {
    const auto stored = values_.find(id);
    if (stored == values_.end()) {
        HoldDispatch(result, nullptr);
        return S_OK;
    }
    return CopyVariant(result, stored->second.Get());
}

HRESULT DispatchObject::CallMember(DISPID, UniqueVariant&) {
    return S_OK;
}

const Member* DispatchObject::FindMember(Face face, DISPID id) const {
    for (const Member& member : members_) {
        if (member.id == id)
            return IsHidden(face, member) ? nullptr : &member;
    }
    return nullptr;
}

bool DispatchObject::IsHidden(Face face, const Member& member) const {
    return ActiveScenario().HidesMember(JournalNameOf(face), member.name);
}

HRESULT DispatchObject::ChooseOperation(const Member& member, WORD flags, const DISPPARAMS& params,
                                        Operation& operation) const {
    const bool put = HasFlag(flags, DISPATCH_PROPERTYPUT);
    const bool get = HasFlag(flags, DISPATCH_PROPERTYGET);
    switch (member.kind) {
    case MemberKind::Put:
        operation = Operation::Put;
        return put ? CheckPutShape(params) : DISP_E_MEMBERNOTFOUND;
    case MemberKind::Get:
        operation = Operation::Get;
        return get ? CheckGetShape(params) : DISP_E_MEMBERNOTFOUND;
    case MemberKind::PutGet:
        operation = put ? Operation::Put : Operation::Get;
        if (put)
            return CheckPutShape(params);
        return get ? CheckGetShape(params) : DISP_E_MEMBERNOTFOUND;
    case MemberKind::Method:
        operation = Operation::Call;
        if (!HasFlag(flags, DISPATCH_METHOD))
            return DISP_E_MEMBERNOTFOUND;
        if (params.cNamedArgs != 0)
            return DISP_E_NONAMEDARGS;
        return params.cArgs == member.argCount ? S_OK : DISP_E_BADPARAMCOUNT;
    }
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT DispatchObject::InvokeMember(std::int64_t enterUs, Face face, const Member& member,
                                     Operation operation, const DISPPARAMS& params, VARIANT* result,
                                     EXCEPINFO* exception) {
    JournalEntry entry;
    entry.enterUs = enterUs;
    entry.object = JournalNameOf(face);
    entry.member = member.name;
    entry.kind = operation == Operation::Put   ? JournalKind::Put
                 : operation == Operation::Get ? JournalKind::Get
                                               : JournalKind::Call;
    // rgvarg holds the arguments last first.
    for (UINT i = params.cArgs; i > 0; --i)
        entry.args.push_back(DescribeForJournal(params.rgvarg[i - 1]));

    const CallPlan plan = ActiveScenario().PlanFor(entry.object, entry.member);
    if (plan.observe)
        WriteObservation(entry.object, entry.member);
    if (plan.logLines)
        WriteLogObservation(entry.object, entry.member);
    if (plan.startThread)
        ObserveStartedThread(entry.object, entry.member);
    if (plan.threadTimer)
        ArmThreadTimer(entry.object, entry.member);
    if (plan.dpiChange)
        ChangeHostDpi(entry.object, entry.member, *plan.dpiChange);
    if (plan.crashFilter)
        InstallCrashReporter(entry.object, entry.member);
    TakeLocksForGood(plan.locks, entry.object, entry.member, "call");
    for (const ClickTarget click : plan.clicks)
        PostButtonClick(click);
    if (plan.box)
        ShowUnansweredBox(entry.object, entry.member, "call");
    for (const Delay& delay : plan.delays) {
        const QuitHandling quit = delay.swallowQuit ? QuitHandling::Swallow : QuitHandling::Repost;
        if (!delay.pumpMessages)
            Sleep(delay.milliseconds);
        else if (!PumpMessagesFor(delay.milliseconds, quit))
            break; // the caller is quitting: stop keeping it busy
    }
    if (plan.crashLaterMs)
        ArmLaterCrash(entry.object, entry.member, *plan.crashLaterMs);
    // The component's own handler turns the overflow into an error the call raises.
    std::optional<Failure> failure = plan.failure;
    if (plan.handledOverflow && OverflowUnderOwnHandler(entry.object, entry.member))
        failure = Failure{.style = Failure::Style::Exception, .description = *plan.handledOverflow};
    if (plan.crash)
        CrashNow(*plan.crash, entry.object, entry.member, "call");

    HRESULT outcome;
    if (failure) {
        outcome = RaiseFailure(*failure, exception);
        entry.raised = RaisedField(*failure);
    } else {
        outcome = Perform(member, operation, plan, params, result);
    }
    entry.exitUs = JournalClock();
    WriteJournal(entry);
    return outcome;
}

HRESULT DispatchObject::Perform(const Member& member, Operation operation, const CallPlan& plan,
                                const DISPPARAMS& params, VARIANT* result) {
    if (operation == Operation::Put)
        return CopyVariant(values_[member.id], params.rgvarg[0]);

    UniqueVariant value;
    HRESULT outcome = S_OK;
    if (plan.nonObject) {
        // Something that is not an object, where the caller expects one.
        VARIANT* number = value.Put();
        number->vt = VT_I4;
        number->lVal = 42;
    } else if (operation == Operation::Get) {
        outcome = ReadMember(member.id, value);
    } else {
        outcome = CallMember(member.id, value);
    }
    if (SUCCEEDED(outcome) && plan.secondInterface)
        OfferSecondInterface(value);
    if (SUCCEEDED(outcome) && plan.asUnknown)
        OfferAsUnknown(value);
    if (SUCCEEDED(outcome) && result)
        *result = value.Release();
    return outcome;
}

DispatchObject* NewPlainObject(ObjectKind kind, std::span<const Member> members) {
    return NewJournaled<PlainObject>(kind, members);
}

} // namespace brevanto::standin
