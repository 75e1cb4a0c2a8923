#include "active_scenario.h"

#include "environment.h"

#include <new>

namespace brevanto::standin {
namespace {

Scenario g_scenario;

} // namespace

void LoadScenarioFromEnvironment() {
    try {
        const std::wstring text = EnvironmentValue(L"BREVANTO_STANDIN_SCENARIO");
        g_scenario = Scenario::Parse(std::u16string(text.begin(), text.end()));
    } catch (const std::bad_alloc&) {
        // Without memory for the scenario the components simply behave normally.
    }
}

const Scenario& ActiveScenario() {
    return g_scenario;
}

} // namespace brevanto::standin
