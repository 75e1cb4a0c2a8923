#pragma once

#include <span>
#include <string_view>

namespace brevanto::check {

// A class Brevanto creates, and every member it calls on the objects of that class.
struct ComponentClass {
    std::wstring_view role; // "user component", "viewer component"
    std::wstring_view progId;
    std::span<const std::wstring_view> members;
};

// In the order the job creates them.
std::span<const ComponentClass> ComponentClasses();

// The class of that ProgID (matched exactly); null when Brevanto creates no such class.
const ComponentClass* FindComponentClass(std::wstring_view progId);

} // namespace brevanto::check
