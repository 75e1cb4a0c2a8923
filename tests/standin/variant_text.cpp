#include "variant_text.h"

#include "com_values.h"
#include "journal_line.h"
#include "live_objects.h"

#include <wrl/client.h>

namespace brevanto::standin {
namespace {

// A VARIANT that refers to a VARIANT could refer to itself; nobody passes deeper chains.
constexpr int kMaxReferenceDepth = 4;

std::string DescribeBstr(BSTR text) {
    if (!text)
        return BstrArg(std::nullopt);
    const UINT length = SysStringLen(text);
    return BstrArg(std::u16string(text, text + length));
}

std::string DescribeDispatch(IDispatch* object) {
    if (!object)
        return DispatchArg("null");
    // COM identity: only the IUnknown pointer is guaranteed to be the same for one object.
    IUnknown* raw = nullptr;
    if (FAILED(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&raw))))
        return DispatchArg("foreign");
    const Microsoft::WRL::ComPtr<IUnknown> identity = Adopt(raw);
    const auto kind = FindLiveObject(identity.Get());
    return DispatchArg(kind ? JournalName(*kind) : "foreign");
}

std::string Describe(const VARIANT& value, int depth);

std::string DescribeReferenced(const VARIANT& value, int depth) {
    const VARTYPE type = value.vt & ~VT_BYREF;
    if (!value.byref)
        return OtherTypeArg(type);
    switch (type) {
    case VT_BSTR:
        return DescribeBstr(*value.pbstrVal);
    case VT_BOOL:
        return BoolArg(*value.pboolVal);
    case VT_I2:
        return I2Arg(*value.piVal);
    case VT_I4:
        return I4Arg(*value.plVal);
    case VT_DISPATCH:
        return DescribeDispatch(*value.ppdispVal);
    case VT_VARIANT:
        if (depth < kMaxReferenceDepth)
            return Describe(*value.pvarVal, depth + 1);
        return OtherTypeArg(type);
    default:
        return OtherTypeArg(type);
    }
}

std::string Describe(const VARIANT& value, int depth) {
    if (value.vt & VT_BYREF)
        return ByRefArg(DescribeReferenced(value, depth));
    switch (value.vt) {
    case VT_EMPTY:
        return EmptyArg();
    case VT_BSTR:
        return DescribeBstr(value.bstrVal);
    case VT_BOOL:
        return BoolArg(value.boolVal);
    case VT_I2:
        return I2Arg(value.iVal);
    case VT_I4:
        return I4Arg(value.lVal);
    case VT_DISPATCH:
        return DescribeDispatch(value.pdispVal);
    default:
        return OtherTypeArg(value.vt);
    }
}

} // namespace

std::string DescribeForJournal(const VARIANT& value) {
    return Describe(value, 0);
}

} // namespace brevanto::standin
