#pragma once

#include <optional>
#include <string>
#include <vector>

namespace brevanto::runner {

// One fact about the machine, printed first and written as a JUnit property.
struct Fact {
    std::string label;    // "Elevated"
    std::string property; // "elevated"
    std::string value;
};

// The facts as aligned lines, "  Elevated        yes".
std::vector<std::string> FactLines(const std::vector<Fact>& facts);

// GetSystemDEPPolicy's answer by its name: AlwaysOff, AlwaysOn, OptIn, OptOut.
std::string DepPolicyText(int policy);

// GetSystemTimeAdjustment's increment (100 ns units) as milliseconds: "15.625 ms".
std::string ClockTickText(unsigned long increment);

// UAC from EnableLUA (absent counts as on, as Windows does) and ConsentPromptBehaviorAdmin (0:
// administrators are elevated without a prompt).
std::string UacText(std::optional<unsigned long> enableLua,
                    std::optional<unsigned long> consentPromptBehaviorAdmin);

} // namespace brevanto::runner
