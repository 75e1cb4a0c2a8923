#include "platform/com/com_error.h"

#include <cstdio>
#include <iterator>

#include "platform/base/unique_resource.h"

namespace brevanto {
namespace {

// Texts for the failures a late-bound call meets most, for systems whose message table lacks them.
const wchar_t* KnownMessage(HRESULT hr) {
    switch (hr) {
    case CO_E_CLASSSTRING:
        return L"Invalid class string";
    case REGDB_E_CLASSNOTREG:
        return L"Class not registered";
    case CLASS_E_CLASSNOTAVAILABLE:
        return L"ClassFactory cannot supply requested class";
    case DISP_E_UNKNOWNNAME:
        return L"Unknown name";
    case DISP_E_MEMBERNOTFOUND:
        return L"Member not found";
    case DISP_E_BADPARAMCOUNT:
        return L"Invalid number of parameters";
    case DISP_E_PARAMNOTOPTIONAL:
        return L"Parameter not optional";
    case DISP_E_TYPEMISMATCH:
        return L"Type mismatch";
    case E_NOINTERFACE:
        return L"No such interface supported";
    case E_FAIL:
        return L"Unspecified error";
    default:
        return L"Unknown error";
    }
}

std::wstring SystemMessage(HRESULT hr) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const UniqueLocal owned(buffer);
    std::wstring text(buffer ? buffer : L"", buffer ? length : 0);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' ||
                             text.back() == L'.'))
        text.pop_back();
    return text.empty() ? KnownMessage(hr) : text;
}

} // namespace

std::wstring DescribeHresult(HRESULT hr) {
    wchar_t code[16];
    std::swprintf(code, std::size(code), L"0x%08lX", static_cast<unsigned long>(hr));
    return SystemMessage(hr) + L" (" + code + L")";
}

RunError InvokeError(HRESULT hr, ExcepInfo& excepInfo, std::wstring_view what) {
    if (hr != DISP_E_EXCEPTION)
        return ComError(hr, what);
    excepInfo.FillDeferred();
    const EXCEPINFO& info = *excepInfo.Get();
    // A null description means the component gave none; an empty one is shown as it is.
    if (info.bstrDescription)
        return RunError(std::wstring(info.bstrDescription, SysStringLen(info.bstrDescription)));
    return ComError(info.scode ? info.scode : hr, what);
}

RunError ComError(HRESULT hr, std::wstring_view what) {
    return RunError(std::wstring(what) + L": " + DescribeHresult(hr));
}

} // namespace brevanto
