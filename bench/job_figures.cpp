#include "bench/job_figures.h"

#include <algorithm>

namespace brevanto::bench {
namespace {

bool IsFirstCall(const support::JournalCall& call) {
    return call.object == "User" && call.kind == "create";
}

bool IsLastCall(const support::JournalCall& call) {
    return call.object == "Viewer" && call.member == "Show_Results" && call.kind == "call";
}

// True when other runs the whole time call does, so call was made from inside it.
bool Encloses(const support::JournalCall& other, const support::JournalCall& call) {
    return &other != &call && other.enterUs <= call.enterUs && call.exitUs <= other.exitUs &&
           (other.enterUs < call.enterUs || call.exitUs < other.exitUs || &other < &call);
}

} // namespace

JobFigures MeasureJob(const std::vector<support::JournalCall>& journal) {
    JobFigures figures;
    const auto first = std::find_if(journal.begin(), journal.end(), IsFirstCall);
    const auto last = std::find_if(journal.begin(), journal.end(), IsLastCall);
    if (first == journal.end() || last == journal.end())
        return figures;
    figures.complete = true;
    figures.firstCallUs = first->enterUs;
    figures.lastCallUs = last->exitUs;

    std::vector<const support::JournalCall*> inRange;
    for (const auto& call : journal)
        if (call.enterUs >= figures.firstCallUs && call.exitUs <= figures.lastCallUs)
            inRange.push_back(&call);
    for (const auto* call : inRange) {
        const bool nested = std::any_of(inRange.begin(), inRange.end(), [call](const auto* other) {
            return Encloses(*other, *call);
        });
        if (nested)
            continue;
        figures.componentsUs += call->exitUs - call->enterUs;
        if (call->exitUs < figures.lastCallUs)
            ++figures.journalWrites;
    }
    return figures;
}

std::vector<std::string> CallSequence(const std::vector<support::JournalCall>& journal) {
    std::vector<std::string> sequence;
    for (const auto& call : journal) {
        // How and whether the DLL is unloaded is the host's, not part of its calls.
        if (support::IsModuleLine(call))
            continue;
        sequence.push_back(call.raised.empty() ? call.Text()
                                               : call.Text() + " raised:" + call.raised);
    }
    return sequence;
}

std::string FirstDifference(const std::vector<std::string>& expected,
                            const std::vector<std::string>& actual) {
    const std::size_t common = std::min(expected.size(), actual.size());
    for (std::size_t i = 0; i < common; ++i)
        if (expected[i] != actual[i])
            return "line " + std::to_string(i + 1) + ": expected \"" + expected[i] + "\", got \"" +
                   actual[i] + "\"";
    if (expected.size() > common)
        return "missing from line " + std::to_string(common + 1) + ": \"" + expected[common] + "\"";
    if (actual.size() > common)
        return "extra from line " + std::to_string(common + 1) + ": \"" + actual[common] + "\"";
    return {};
}

} // namespace brevanto::bench
