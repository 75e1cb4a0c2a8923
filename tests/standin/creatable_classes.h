#pragma once

#include "object_kind.h"

#include <windows.h>

#include <span>

namespace brevanto::standin {

class DispatchObject;

// A class a client can create by CLSID or ProgID.
struct CreatableClass {
    const CLSID& clsid;
    const wchar_t* progId;
    const wchar_t* friendlyName;
    ObjectKind kind;
    // A new object holding one reference, or null when out of memory.
    DispatchObject* (*create)();
};

std::span<const CreatableClass> CreatableClasses();
const CreatableClass* FindCreatableClass(REFCLSID clsid);

} // namespace brevanto::standin
