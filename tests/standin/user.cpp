#include "user.h"

#include "active_scenario.h"
#include "com_values.h"
#include "dispatch_object.h"
#include "report_classes.h"

#include <wrl/client.h>

namespace brevanto::standin {
namespace {

using Microsoft::WRL::ComPtr;

enum : DISPID { kSetExePath = 1, kPasswordDeptCode, kLoginUser, kZeltarClasses };

constexpr Member kMembers[] = {
    {.id = kSetExePath, .name = "SetExePath", .kind = MemberKind::Put},
    {.id = kPasswordDeptCode, .name = "PasswordDeptCode", .kind = MemberKind::Put},
    {.id = kLoginUser, .name = "LoginUser", .kind = MemberKind::Method, .argCount = 2},
    {.id = kZeltarClasses, .name = "ZELTARClasses", .kind = MemberKind::Get},
};

// The same members, with ZELTARClasses reachable only as a method, as some builds of the
// package publish it.
constexpr Member kMembersWithClassesMethod[] = {
    kMembers[0],
    kMembers[1],
    kMembers[2],
    {.id = kZeltarClasses, .name = "ZELTARClasses", .kind = MemberKind::Method},
};

class User final : public DispatchObject {
public:
    User()
        : DispatchObject(ObjectKind::User, ActiveScenario().ZeltarClassesIsMethod()
                                               ? std::span<const Member>(kMembersWithClassesMethod)
                                               : std::span<const Member>(kMembers)) {}

private:
    HRESULT ReadMember(DISPID id, UniqueVariant& result) override {
        return id == kZeltarClasses ? GiveClasses(result) : DispatchObject::ReadMember(id, result);
    }

    HRESULT CallMember(DISPID id, UniqueVariant& result) override {
        if (id == kZeltarClasses)
            return GiveClasses(result);
        if (id == kLoginUser) {
            VARIANT* loggedIn = result.Put();
            loggedIn->vt = VT_BOOL;
            loggedIn->boolVal = VARIANT_TRUE;
        }
        return S_OK;
    }

    // Made on first request and kept: every caller of one user sees one classes object.
    HRESULT GiveClasses(UniqueVariant& result) {
        if (!classes_) {
            classes_ = Adopt<IDispatch>(NewReportClasses());
            if (!classes_)
                return E_OUTOFMEMORY;
        }
        HoldDispatch(result, ComPtr<IDispatch>(classes_).Detach());
        return S_OK;
    }

    ComPtr<IDispatch> classes_;
};

} // namespace

DispatchObject* NewUser() {
    return NewJournaled<User>();
}

} // namespace brevanto::standin
