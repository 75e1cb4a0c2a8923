#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brevanto::runner {

// One line of the checked-in list of allowances expected under Wine:
// "<arch>\t<test full name>\t<why>", arch "i686", "x64" or "*", why the exact text given to
// WineOnly. Blank lines and lines starting with # are comments.
struct ListedAllowance {
    std::string arch;
    std::string test;
    std::string why;
    int line = 0;
};

struct AllowanceList {
    std::vector<ListedAllowance> entries;
    std::vector<std::string> errors; // "line 7: ...", for lines that follow no form
};

AllowanceList ParseAllowanceList(std::string_view text);

// An allowance a test took in this run.
struct TakenAllowance {
    std::string test;
    std::string why;
};

struct AllowanceComparison {
    std::vector<TakenAllowance> unlisted; // taken, not in the list for this arch
    std::vector<ListedAllowance> unused;  // listed for this arch, its test ran, not taken
};

// Compares the allowances taken (each once, however often a test took it) with the list's entries
// for arch; an entry counts as unused only when its test ran here.
AllowanceComparison CompareAllowances(const std::vector<ListedAllowance>& listed,
                                      std::string_view arch,
                                      const std::vector<TakenAllowance>& taken,
                                      const std::vector<std::string>& testsThatRan);

} // namespace brevanto::runner
