#pragma once

#include "report/automation.h"

namespace brevanto {

// Creates component objects through COM: the class name is looked up in the registry
// (CLSIDFromProgID), the object is created in any server context and driven through IDispatch.
class ComFactory : public AutomationFactory {
public:
    ObjectRef Create(std::wstring_view className) override;
};

// How many component calls are under way on this thread, nested ones included. While one is,
// a component's stack is below us and its objects must not be released.
int ActiveComCalls();

} // namespace brevanto
