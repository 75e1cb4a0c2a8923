#pragma once

#include "creatable_classes.h"

namespace brevanto::standin {

// Hands out a new class factory for one creatable class, as DllGetClassObject does.
HRESULT GetClassFactory(const CreatableClass& creatable, REFIID iid, void** result);

} // namespace brevanto::standin
