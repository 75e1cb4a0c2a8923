#include "creatable_classes.h"

#include "user.h"
#include "viewer.h"

namespace brevanto::standin {
namespace {

constexpr CLSID kUserClsid = {
    0xB7A3C2D1, 0x5E4F, 0x4A6B, {0x9C, 0x8D, 0x1E, 0x2F, 0x3A, 0x4B, 0x5C, 0x01}};
constexpr CLSID kViewerClsid = {
    0xB7A3C2D1, 0x5E4F, 0x4A6B, {0x9C, 0x8D, 0x1E, 0x2F, 0x3A, 0x4B, 0x5C, 0x02}};

const CreatableClass kClasses[] = {
    {kUserClsid, L"ZELTAR_User.clsCurrentUser", L"Brevanto stand-in user", ObjectKind::User,
     &NewUser},
    {kViewerClsid, L"velmonic.labresultviewer", L"Brevanto stand-in lab result viewer",
     ObjectKind::Viewer, &NewViewer},
};

} // namespace

std::span<const CreatableClass> CreatableClasses() {
    return kClasses;
}

const CreatableClass* FindCreatableClass(REFCLSID clsid) {
    for (const CreatableClass& creatable : kClasses) {
        if (IsEqualCLSID(creatable.clsid, clsid))
            return &creatable;
    }
    return nullptr;
}

} // namespace brevanto::standin
