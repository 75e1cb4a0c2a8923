#include "bench/journal_cost.h"

#include <windows.h>

#include <objbase.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>

#include "bench/clock.h"
#include "report/report_job.h"

namespace brevanto::bench {
namespace {

constexpr int kCalls = 200;

// kCalls property puts (AutoPrint = True) on the viewer; microseconds per put.
double PutUs(IDispatch* viewer, DISPID member) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BOOL;
    value.boolVal = VARIANT_TRUE;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    const std::int64_t start = NowUs();
    for (int i = 0; i < kCalls; ++i)
        viewer->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                       nullptr, nullptr, nullptr);
    return static_cast<double>(NowUs() - start) / kCalls;
}

} // namespace

double JournalLineUs() {
    CLSID clsid;
    Microsoft::WRL::ComPtr<IDispatch> viewer;
    if (FAILED(CLSIDFromProgID(std::wstring(kViewerClass).c_str(), &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_PPV_ARGS(&viewer))))
        return -1;
    wchar_t name[] = L"AutoPrint";
    LPOLESTR names[] = {name};
    DISPID member = DISPID_UNKNOWN;
    if (FAILED(viewer->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &member)))
        return -1;

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"brevanto-journal-cost-" +
                              std::to_wstring(GetCurrentProcessId()) + L".txt";
    SetEnvironmentVariableW(L"BREVANTO_STANDIN_JOURNAL", path.c_str());
    const double withJournal = PutUs(viewer.Get(), member);
    SetEnvironmentVariableW(L"BREVANTO_STANDIN_JOURNAL", nullptr);
    const double withoutJournal = PutUs(viewer.Get(), member);
    viewer.Reset();
    DeleteFileW(path.c_str());
    return withJournal - withoutJournal;
}

} // namespace brevanto::bench
