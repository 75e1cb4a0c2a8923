#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace brevanto {

class AutomationObject;

// A reference to a component object. The object lives as long as one reference does; an empty
// reference is a variable that holds no object yet.
using ObjectRef = std::shared_ptr<AutomationObject>;

// A value handed to a component member: text, boolean, 16-bit integer or object reference.
using AutomationValue = std::variant<std::wstring, bool, std::int16_t, ObjectRef>;

// A component object driven by late binding: every member is looked up by name at the moment of
// the call. Every operation either completes or throws RunError.
class AutomationObject {
public:
    virtual ~AutomationObject() = default;

    virtual void Put(std::wstring_view member, const AutomationValue& value) = 0;
    // A get with no arguments; a property or an argument-less method both serve.
    // The member must give an object.
    virtual ObjectRef Get(std::wstring_view member) = 0;
    // Arguments in call order; the result is not looked at.
    virtual void Call(std::wstring_view member, const std::vector<AutomationValue>& args) = 0;
    // Whether the object knows a member of that name. Nothing is called: a workstation check
    // uses it to see that a component has every member the job needs.
    virtual bool Knows(std::wstring_view member) = 0;
};

class AutomationFactory {
public:
    virtual ~AutomationFactory() = default;

    // Creates an object of the named class on the local machine, or throws RunError.
    virtual ObjectRef Create(std::wstring_view className) = 0;
};

} // namespace brevanto
