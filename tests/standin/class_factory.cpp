#include "class_factory.h"

#include "com_values.h"
#include "creation_faults.h"
#include "dispatch_object.h"
#include "module.h"

#include <wrl/client.h>

#include <new>

namespace brevanto::standin {
namespace {

using Microsoft::WRL::ComPtr;

class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(const CreatableClass& creatable) : creatable_(creatable) { LockModule(); }
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
        if (!result)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *result = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *result = nullptr;
        return E_NOINTERFACE;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }

    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** result) override {
        if (!result)
            return E_POINTER;
        *result = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        try {
            ActOutCreationFaults(JournalName(creatable_.kind));
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        const ComPtr<DispatchObject> object = Adopt(creatable_.create());
        if (!object)
            return E_OUTOFMEMORY;
        return object->QueryInterface(iid, result);
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            LockModule();
        else
            UnlockModule();
        return S_OK;
    }

private:
    ~ClassFactory() { UnlockModule(); }

    const CreatableClass& creatable_;
    LONG references_ = 1;
};

} // namespace

HRESULT GetClassFactory(const CreatableClass& creatable, REFIID iid, void** result) {
    const ComPtr<ClassFactory> factory = Adopt(new (std::nothrow) ClassFactory(creatable));
    if (!factory)
        return E_OUTOFMEMORY;
    return factory->QueryInterface(iid, result);
}

} // namespace brevanto::standin
