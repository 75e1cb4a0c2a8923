#pragma once

#include "object_kind.h"

#include <unknwn.h>

#include <optional>

namespace brevanto::standin {

// Every object of this DLL that is still alive, by COM identity (its IUnknown pointer). The
// journal uses it to name objects a caller hands back to us, and DllCanUnloadNow to count them.
void AddLiveObject(IUnknown* identity, ObjectKind kind);
void RemoveLiveObject(IUnknown* identity);
std::optional<ObjectKind> FindLiveObject(IUnknown* identity);
bool AnyLiveObjects();

} // namespace brevanto::standin
