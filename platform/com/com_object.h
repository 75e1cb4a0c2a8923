#pragma once

#include <string>

#include "report/automation.h"

namespace brevanto {

// Creates component objects through COM: the class name is looked up in the registry
// (CLSIDFromProgID), the object is created in any server context and driven through IDispatch.
class ComFactory : public AutomationFactory {
public:
    ObjectRef Create(std::wstring_view className) override;
};

// The file of the module whose code serves an object ComFactory made: the module that holds its
// IDispatch function table. For an object in another apartment or process, that of the proxy.
// Empty when it cannot be told. Nothing of the object is called.
std::wstring ServingModule(AutomationObject& object);

} // namespace brevanto
