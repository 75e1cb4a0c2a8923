#pragma once

#include <string>
#include <vector>

namespace brevanto::support {
class ProgramRun;
}

namespace brevanto::e2e {

using support::ProgramRun;

// Wine's advapi32 prints each ReportEventW call (a fixme line with its type and id, then the
// strings line by line on the eventlog channel); these channels show them.
inline constexpr char kEventTrace[] = "fixme+advapi,err+eventlog,warn+eventlog,trace+eventlog";

inline constexpr unsigned kErrorEvent = 0x0001;
inline constexpr unsigned kWarningEvent = 0x0002;
inline constexpr unsigned kInformationEvent = 0x0004;

struct EventSeen {
    unsigned type = 0;
    unsigned id = 0;
    bool userSidGiven = false; // a user SID was passed; all Wine's trace shows of it is its pointer
    std::string userSid;       // as text, "S-1-5-21-..."; on Windows, from the log's record
    std::string text; // the strings as written (UTF-8; '?' for non-ASCII under Wine), each ended
                      // by CR LF
};

// The ReportEventW calls in a process's trace lines, in order.
std::vector<EventSeen> EventsInTrace(const std::vector<std::string>& trace);

// The value of the event's "<label>: <value>" line; empty when it has none.
std::string EventLine(const EventSeen& event, const std::string& label);

// Where the Application events of the program's runs are read, from before a run to after it.
// On Windows: the Application log, the records of the source Brevanto written after the newest
// one there when the watch began. Under Wine, whose ReportEventW writes no log: each run's trace,
// so the run must be started with WineChannels().
class ApplicationEventWatch {
public:
    ApplicationEventWatch();

    // Why the events cannot be read here; empty when they can. Known before the run, so that a
    // test that cannot read them skips before it has asserted anything.
    const std::string& NoWitness() const { return noWitness_; }
    // The Wine debug channels to start a run with: kEventTrace under Wine, none on Windows.
    std::string WineChannels() const;
    // The events written since the watch began, read once the run has ended: those of the run's
    // trace under Wine, those of source Brevanto in the Application log on Windows.
    std::vector<EventSeen> EventsOf(const ProgramRun& run) const;

private:
    std::string noWitness_;
    unsigned long newestRecord_ = 0;
};

} // namespace brevanto::e2e
