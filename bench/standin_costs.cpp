#include "bench/standin_costs.h"

#include <windows.h>

#include <objbase.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>

#include "report/report_job.h"
#include "tests/support/clock.h"
#include "tests/support/journal_file.h"

namespace brevanto::bench {
namespace {

using support::NowUs;

Microsoft::WRL::ComPtr<IDispatch> CreateViewer() {
    CLSID clsid;
    Microsoft::WRL::ComPtr<IDispatch> viewer;
    if (FAILED(CLSIDFromProgID(std::wstring(kViewerClass).c_str(), &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_PPV_ARGS(&viewer))))
        return nullptr;
    return viewer;
}

DISPID MemberId(IDispatch* object, const wchar_t* name) {
    std::wstring member = name;
    LPOLESTR names[] = {member.data()};
    DISPID id = DISPID_UNKNOWN;
    object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

// calls property puts (AutoPrint = True) on the viewer; microseconds per put.
double PutUs(IDispatch* viewer, DISPID member, int calls) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BOOL;
    value.boolVal = VARIANT_TRUE;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    const std::int64_t start = NowUs();
    for (int i = 0; i < calls; ++i)
        viewer->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                       nullptr, nullptr, nullptr);
    return static_cast<double>(NowUs() - start) / calls;
}

} // namespace

double JournalLineUs() {
    constexpr int kCalls = 200;
    const auto viewer = CreateViewer();
    const DISPID member = viewer ? MemberId(viewer.Get(), L"AutoPrint") : DISPID_UNKNOWN;
    if (member == DISPID_UNKNOWN)
        return -1;
    double withJournal = 0;
    {
        const support::JournalFile journal;
        withJournal = PutUs(viewer.Get(), member, kCalls);
    }
    return withJournal - PutUs(viewer.Get(), member, kCalls);
}

double MemberLookUpUs() {
    constexpr int kLookUps = 1000;
    const auto viewer = CreateViewer();
    if (!viewer)
        return -1;
    const std::int64_t start = NowUs();
    for (int i = 0; i < kLookUps; ++i)
        MemberId(viewer.Get(), L"Show_Results");
    return static_cast<double>(NowUs() - start) / kLookUps;
}

double ObjectCreationUs() {
    constexpr int kCreations = 50;
    const std::int64_t start = NowUs();
    for (int i = 0; i < kCreations; ++i)
        if (!CreateViewer())
            return -1;
    return static_cast<double>(NowUs() - start) / kCreations;
}

} // namespace brevanto::bench
