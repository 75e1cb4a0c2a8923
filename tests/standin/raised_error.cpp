#include "raised_error.h"

#include "com_values.h"
#include "exclusive_lock.h"
#include "journal_line.h"

#include <new>

namespace brevanto::standin {
namespace {

// A custom error in the control facility, as an automation server raises with Err.Raise.
constexpr SCODE kRaisedScode = static_cast<SCODE>(0x800A03E8);
constexpr char16_t kSource[] = u"BrevantoStandin";

// The deferred fill-in gets only the EXCEPINFO, so the description waits here. Callers fill
// in right after Invoke returns, before any other call can fail.
SRWLOCK g_deferredLock = SRWLOCK_INIT;
std::u16string g_deferredDescription;

void Describe(EXCEPINFO& exception, std::u16string_view description) {
    exception.wCode = 0;
    exception.scode = kRaisedScode;
    exception.bstrSource = MakeBstr(kSource).Release();
    exception.bstrDescription = MakeBstr(description).Release();
}

HRESULT STDAPICALLTYPE FillDeferred(EXCEPINFO* exception) {
    if (!exception)
        return E_POINTER;
    try {
        ExclusiveLock hold(g_deferredLock);
        Describe(*exception, g_deferredDescription);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    exception->pfnDeferredFillIn = nullptr;
    return S_OK;
}

} // namespace

HRESULT RaiseFailure(const Failure& failure, EXCEPINFO* exception) {
    if (failure.style == Failure::Style::Hresult)
        return static_cast<HRESULT>(failure.hresult);
    if (!exception)
        return DISP_E_EXCEPTION;
    *exception = EXCEPINFO{};
    if (failure.style == Failure::Style::Exception) {
        Describe(*exception, failure.description);
    } else {
        ExclusiveLock hold(g_deferredLock);
        g_deferredDescription = failure.description;
        exception->pfnDeferredFillIn = &FillDeferred;
    }
    return DISP_E_EXCEPTION;
}

std::string RaisedField(const Failure& failure) {
    if (failure.style == Failure::Style::Hresult)
        return RaisedHresult(failure.hresult);
    return RaisedDescription(failure.description);
}

} // namespace brevanto::standin
