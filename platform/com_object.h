#pragma once

#include "report/automation.h"

namespace brevanto {

// Creates component objects through COM: the class name is looked up in the registry
// (CLSIDFromProgID), the object is created in any server context and driven through IDispatch.
class ComFactory : public AutomationFactory {
public:
    ObjectRef Create(std::wstring_view className) override;
};

} // namespace brevanto
