#include "platform/com/com_object.h"

#include <windows.h>
#include <wrl/client.h>

#include "platform/com/com_error.h"
#include "platform/com/com_value.h"
#include "platform/com/component_call.h"

namespace brevanto {
namespace {

using Microsoft::WRL::ComPtr;

// Arguments for Invoke, which wants them last first; cleared together.
class ArgumentArray {
public:
    explicit ArgumentArray(std::size_t count) : values_(count) {
        for (auto& value : values_)
            VariantInit(&value);
    }
    ~ArgumentArray() {
        for (auto& value : values_) {
            // An argument may be a secret (the password): it does not linger in freed memory.
            if (value.vt == VT_BSTR && value.bstrVal)
                SecureZeroMemory(value.bstrVal, SysStringByteLen(value.bstrVal));
            VariantClear(&value);
        }
    }
    ArgumentArray(const ArgumentArray&) = delete;
    ArgumentArray& operator=(const ArgumentArray&) = delete;

    VARIANT* Data() { return values_.empty() ? nullptr : values_.data(); }
    VARIANT& operator[](std::size_t i) { return values_[i]; }
    UINT Size() const { return static_cast<UINT>(values_.size()); }

private:
    std::vector<VARIANT> values_;
};

class DispatchObject : public AutomationObject {
public:
    DispatchObject(ComPtr<IDispatch> dispatch, std::wstring name)
        : dispatch_(std::move(dispatch)), name_(std::move(name)) {}

    ~DispatchObject() override {
        // The last Release runs the component's own clean-up.
        const ComponentCall call(name_, L"Release");
        dispatch_.Reset();
    }
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;

    IDispatch* Dispatch() const { return dispatch_.Get(); }

    // Each entry opens its component call first, so that it also covers the release of the
    // arguments and results its locals hold.
    void Put(std::wstring_view member, const AutomationValue& value) override {
        const ComponentCall call(name_, member);
        ArgumentArray args(1);
        Store(value, args[0]);
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params{args.Data(), &named, args.Size(), 1};
        Invoke(member, DISPATCH_PROPERTYPUT, params, nullptr);
    }

    ObjectRef Get(std::wstring_view member) override {
        const ComponentCall call(name_, member);
        DISPPARAMS params{nullptr, nullptr, 0, 0};
        UniqueVariant result;
        Invoke(member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, params, result.Put());
        return ToObject(result.Get(), member);
    }

    void Call(std::wstring_view member, const std::vector<AutomationValue>& args) override {
        const ComponentCall call(name_, member);
        ArgumentArray reversed(args.size());
        for (std::size_t i = 0; i < args.size(); ++i)
            Store(args[i], reversed[args.size() - 1 - i]);
        DISPPARAMS params{reversed.Data(), nullptr, reversed.Size(), 0};
        UniqueVariant result;
        Invoke(member, DISPATCH_METHOD, params, result.Put());
    }

    bool Knows(std::wstring_view member) override {
        const ComponentCall call(name_, member);
        DISPID id = DISPID_UNKNOWN;
        return SUCCEEDED(TryLookUp(member, id));
    }

private:
    std::wstring MemberName(std::wstring_view member) const {
        return L"Member \"" + std::wstring(member) + L"\" of " + name_;
    }

    HRESULT TryLookUp(std::wstring_view member, DISPID& id) {
        std::wstring name(member);
        LPOLESTR names[] = {name.data()};
        return dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    }

    DISPID LookUp(std::wstring_view member) {
        DISPID id = DISPID_UNKNOWN;
        const HRESULT hr = TryLookUp(member, id);
        if (FAILED(hr))
            throw ComError(hr, MemberName(member));
        return id;
    }

    void Invoke(std::wstring_view member, WORD flags, DISPPARAMS& params, VARIANT* result) {
        const DISPID id = LookUp(member);
        ExcepInfo excepInfo;
        UINT argumentError = 0;
        const HRESULT hr = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                             result, excepInfo.Get(), &argumentError);
        if (FAILED(hr))
            throw InvokeError(hr, excepInfo, MemberName(member));
    }

    static void Store(const AutomationValue& value, VARIANT& target) {
        if (const auto* text = std::get_if<std::wstring>(&value)) {
            target.bstrVal = MakeBstr(*text).Release();
            target.vt = VT_BSTR;
        } else if (const auto* flag = std::get_if<bool>(&value)) {
            target.vt = VT_BOOL;
            target.boolVal = *flag ? VARIANT_TRUE : VARIANT_FALSE;
        } else if (const auto* number = std::get_if<std::int16_t>(&value)) {
            target.vt = VT_I2;
            target.iVal = *number;
        } else {
            const auto& object = std::get<ObjectRef>(value);
            IDispatch* dispatch = nullptr;
            if (object) {
                const auto* com = dynamic_cast<const DispatchObject*>(object.get());
                if (!com)
                    throw RunError(L"Only component objects can be handed to a component");
                dispatch = com->Dispatch();
                dispatch->AddRef();
            }
            target.vt = VT_DISPATCH;
            target.pdispVal = dispatch;
        }
    }

    ObjectRef ToObject(const VARIANT& value, std::wstring_view member) const {
        const VARIANT* v = &value;
        if (v->vt == (VT_VARIANT | VT_BYREF) && v->pvarVal)
            v = v->pvarVal;
        // An IDispatch is used as given: a component may hand back a second dispinterface of an
        // object, which QueryInterface(IID_IDispatch) would swap for the object's primary one.
        ComPtr<IDispatch> dispatch;
        if (v->vt == VT_DISPATCH)
            dispatch = v->pdispVal;
        else if (v->vt == (VT_DISPATCH | VT_BYREF) && v->ppdispVal)
            dispatch = *v->ppdispVal;
        else if (IUnknown* unknown = UnknownOf(*v))
            unknown->QueryInterface(IID_PPV_ARGS(&dispatch));
        if (!dispatch)
            throw RunError(MemberName(member) + L" did not give an object");
        return std::make_shared<DispatchObject>(std::move(dispatch),
                                                name_ + L"." + std::wstring(member));
    }

    static IUnknown* UnknownOf(const VARIANT& value) {
        if (value.vt == VT_UNKNOWN)
            return value.punkVal;
        if (value.vt == (VT_UNKNOWN | VT_BYREF) && value.ppunkVal)
            return *value.ppunkVal;
        return nullptr;
    }

    ComPtr<IDispatch> dispatch_;
    std::wstring name_;
};

} // namespace

ObjectRef ComFactory::Create(std::wstring_view className) {
    const ComponentCall call(className, L"");
    const std::wstring name(className);
    const std::wstring what = L"Cannot create object \"" + name + L"\"";
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(name.c_str(), &clsid);
    if (FAILED(hr))
        throw ComError(hr, what);
    ComPtr<IDispatch> dispatch;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_PPV_ARGS(&dispatch));
    if (FAILED(hr))
        throw ComError(hr, what);
    return std::make_shared<DispatchObject>(std::move(dispatch), name);
}

std::wstring ServingModule(AutomationObject& object) {
    const auto* dispatchObject = dynamic_cast<DispatchObject*>(&object);
    if (!dispatchObject || !dispatchObject->Dispatch())
        return {};
    const void* functionTable = *reinterpret_cast<void* const*>(dispatchObject->Dispatch());
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(functionTable), &module))
        return {};
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size())
            return path.substr(0, length);
        path.resize(path.size() * 2);
    }
}

} // namespace brevanto
