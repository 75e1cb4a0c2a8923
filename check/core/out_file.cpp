#include "check/core/out_file.h"

#include "report/same_text.h"

namespace brevanto::check {

std::wstring OutFileRefusal(const OutFileFacts& facts) {
    if (facts.reparsePoint)
        return L"it is a link (a reparse point)";
    if (facts.links > 1)
        return L"it has " + std::to_wstring(facts.links) +
               L" names (hard links), and writing it would change the file under its other names";
    if (facts.finalPath.empty())
        return L"where it leads could not be read";
    if (!SameText(facts.finalPath, facts.askedPath))
        return L"a link on the way leads it to " + facts.finalPath;
    return {};
}

} // namespace brevanto::check
