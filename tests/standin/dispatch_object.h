#pragma once

#include "com_holders.h"
#include "journal.h"
#include "object_kind.h"

#include <oaidl.h>

#include <cstdint>
#include <map>
#include <new>
#include <span>
#include <string_view>

namespace brevanto::standin {

enum class MemberKind { Put, Get, PutGet, Method };

struct Member {
    DISPID id;
    std::string_view name; // as the journal spells it; callers may use any case
    MemberKind kind;
    unsigned argCount = 0; // methods take exactly this many
};

// IDispatch over a fixed member table, strict about how each member is invoked the way a real
// automation server is, and recording every call in the journal.
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
    virtual HRESULT ReadMember(DISPID id, Variant& result);
    // The result of a method; nothing by default.
    virtual HRESULT CallMember(DISPID id, Variant& result);

private:
    enum class Operation { Put, Get, Call };

    const Member* FindMember(DISPID id) const;
    HRESULT ChooseOperation(const Member& member, WORD flags, const DISPPARAMS& params,
                            Operation& operation) const;
    HRESULT InvokeMember(std::int64_t enterUs, const Member& member, Operation operation,
                         const DISPPARAMS& params, VARIANT* result, EXCEPINFO* exception);
    HRESULT Perform(const Member& member, Operation operation, bool nonObject,
                    const DISPPARAMS& params, VARIANT* result);

    const ObjectKind kind_;
    const std::span<const Member> members_;
    std::map<DISPID, Variant> values_;
    LONG references_ = 1;
};

// Builds an object holding one reference and records its creation; the stamps bracket the
// constructor so a benchmark can subtract it. Null when out of memory.
template <class T> T* NewJournaled() noexcept {
    const std::int64_t enterUs = JournalClock();
    T* object = nullptr;
    try {
        object = new T();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    WriteLifetimeJournal(object->Kind(), JournalKind::Create, enterUs);
    return object;
}

} // namespace brevanto::standin
