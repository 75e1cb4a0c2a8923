#include "creation_faults.h"

#include "active_scenario.h"
#include "crash.h"
#include "held_locks.h"
#include "journal.h"
#include "started_thread.h"
#include "unanswered_box.h"

#include <windows.h>

#include <string>

namespace brevanto::standin {

void ActOutCreationFaults(std::string_view object) {
    const CreationPlan plan = ActiveScenario().PlanForCreation(object);
    if (plan.startThread)
        ObserveStartedThread(object, "-");
    TakeLocksForGood(plan.locks, object, "-", "create");
    if (plan.blockMs) {
        WriteEventJournal(
            JournalKind::Block, object, "-",
            {SeenField("ms", std::to_string(*plan.blockMs)), SeenField("where", "create")});
        Sleep(*plan.blockMs);
    }
    if (plan.box)
        ShowUnansweredBox(object, "-", "create");
    if (plan.crash)
        CrashNow(*plan.crash, object, "-", "create");
}

} // namespace brevanto::standin
