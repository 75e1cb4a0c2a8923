#pragma once

#include "journal.h"
#include "object_kind.h"
#include "platform/base/unique_resource.h"
#include "scenario.h"

#include <oaidl.h>

#include <cstdint>
#include <map>
#include <new>
#include <span>
#include <string_view>
#include <utility>

namespace brevanto::standin {

enum class MemberKind { Put, Get, PutGet, Method };

struct Member {
    DISPID id;
    std::string_view name; // as the journal spells it; callers may use any case
    MemberKind kind;
    unsigned argCount = 0; // methods take exactly this many
};

// IDispatch over a fixed member table, strict about how each member is invoked the way a real
// automation server is, and recording every call in the journal. Each object also has a second
// dispinterface with the same members, journaled under SecondJournalName.
class DispatchObject : public IDispatch {
public:
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;

    ObjectKind Kind() const { return kind_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT nameCount,
                                            LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) override;

protected:
    DispatchObject(ObjectKind kind, std::span<const Member> members);
    virtual ~DispatchObject();

    // The value of a readable member; by default the value last put, or no object.
    virtual HRESULT ReadMember(DISPID id, UniqueVariant& result);
    // The result of a method; nothing by default.
    virtual HRESULT CallMember(DISPID id, UniqueVariant& result);

private:
    enum class Operation { Put, Get, Call };
    enum class Face { Primary, Second };

    // A second dispinterface of the same object, as a component may publish. It has no identity
    // of its own: QueryInterface for IUnknown or IDispatch gives the primary interface, and it
    // counts references on the object.
    class SecondDispatch final : public IDispatch {
    public:
        explicit SecondDispatch(DispatchObject& owner) : owner_(owner) {}
        SecondDispatch(const SecondDispatch&) = delete;
        SecondDispatch& operator=(const SecondDispatch&) = delete;

        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;

        HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
        HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
        HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT nameCount,
                                                LCID locale, DISPID* ids) override;
        HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                         DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                         UINT* argError) override;

    private:
        DispatchObject& owner_;
    };

    std::string_view JournalNameOf(Face face) const;
    HRESULT LookUpNames(Face face, REFIID iid, LPOLESTR* names, UINT nameCount, DISPID* ids);
    HRESULT InvokeThrough(Face face, DISPID id, REFIID iid, WORD flags, DISPPARAMS* params,
                          VARIANT* result, EXCEPINFO* exception);
    // Null also for a member the scenario hides from this face.
    const Member* FindMember(Face face, DISPID id) const;
    bool IsHidden(Face face, const Member& member) const;
    HRESULT ChooseOperation(const Member& member, WORD flags, const DISPPARAMS& params,
                            Operation& operation) const;
    HRESULT InvokeMember(std::int64_t enterUs, Face face, const Member& member, Operation operation,
                         const DISPPARAMS& params, VARIANT* result, EXCEPINFO* exception);
    HRESULT Perform(const Member& member, Operation operation, const CallPlan& plan,
                    const DISPPARAMS& params, VARIANT* result);

    const ObjectKind kind_;
    const std::span<const Member> members_;
    std::map<DISPID, UniqueVariant> values_;
    LONG references_ = 1;
    SecondDispatch second_{*this};
};

// Builds an object holding one reference and records its creation; the stamps bracket the
// constructor so a benchmark can subtract it. Null when out of memory.
template <class T, class... Args> T* NewJournaled(Args&&... args) noexcept {
    const std::int64_t enterUs = JournalClock();
    T* object = nullptr;
    try {
        object = new T(std::forward<Args>(args)...);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    WriteLifetimeJournal(object->Kind(), JournalKind::Create, enterUs);
    return object;
}

// NewJournaled for an object that does nothing beyond its member table: a get gives back what
// was put.
DispatchObject* NewPlainObject(ObjectKind kind, std::span<const Member> members);

} // namespace brevanto::standin
