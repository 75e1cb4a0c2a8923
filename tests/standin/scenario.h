#pragma once

#include "crash_kind.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevanto::standin {

enum class ClickTarget { Cancel, Test };

// A lock the stand-in takes and never gives back: the loader's, as code running in a DLL's
// DllMain holds it, or the heaps' (the process heap's and the C runtime's), as code faulting
// inside a corrupted heap holds them.
enum class HeldLock { Loader, Heaps };

struct Delay {
    bool pumpMessages = false; // false: sleep without serving the caller's windows
    bool swallowQuit = false;  // pumping: a WM_QUIT is dropped and the pumping goes on
    std::uint32_t milliseconds = 0;
};

struct Failure {
    enum class Style { Exception, DeferredException, Hresult };
    Style style = Style::Exception;
    std::u16string description; // Exception, DeferredException
    std::uint32_t hresult = 0;  // Hresult
};

// What a test asked one member call to do besides its normal work, in the order it happens:
// the observation, the started thread, the thread timer, the DPI change, the crash reporter, the
// locks, clicks, the box, delays, the later crash's timer, the handled overflow, the crash, then
// the failure.
struct CallPlan {
    bool observe = false;
    bool logLines = false;
    bool startThread = false;
    bool threadTimer = false;
    std::optional<std::uint32_t> dpiChange; // the DPI to announce; the first directive wins
    bool crashFilter = false;
    std::vector<HeldLock> locks;
    std::vector<ClickTarget> clicks;
    bool box = false;
    std::vector<Delay> delays;
    std::optional<std::uint32_t> crashLaterMs; // the first directive wins
    // The description the call fails with once its own handler took the stack overflow; the
    // first directive wins.
    std::optional<std::u16string> handledOverflow;
    std::optional<CrashKind> crash; // the first directive wins
    std::optional<Failure> failure; // the first failure directive for the member wins
    bool nonObject = false;
    bool secondInterface = false;
    bool asUnknown = false;
};

// What a test asked the class factory to do before it makes an object of a class, in the order
// it happens: the started thread, the locks, the block, the box, then the crash. The first
// directive of each verb but the locks wins.
struct CreationPlan {
    bool startThread = false;
    std::vector<HeldLock> locks;
    std::optional<std::uint32_t> blockMs;
    bool box = false;
    std::optional<CrashKind> crash;
};

// The test's instructions, from text such as
//   "fail:User.LoginUser=Wrong password; pump:Viewer.Show_Results=500; nocreate:Viewer".
// Directives the parser does not understand are skipped, so a typo shows up as a test that
// fails on behaviour rather than as a crashed client.
//
// Directives are separated by ';'. Object and member are named as the journal names them, so a
// call through an object's second dispinterface matches "Classes2", not "Classes":
//   fail:<Object>.<Member>=<description>         raise an automation exception (\; \\ \uXXXX)
//   faildeferred:<Object>.<Member>=<description> the same, described through the deferred fill-in
//   failhr:<Object>.<Member>=<hex HRESULT>       return that HRESULT
//   block:<Object>.<Member>=<ms>                 sleep without serving the caller's windows
//   pump:<Object>.<Member>=<ms>                  serve the thread's messages; a WM_QUIT ends it
//                                                and is posted again
//   swallow:<Object>.<Member>=<ms>               serve the thread's messages, dropping any
//                                                WM_QUIT, until the time is up
//   click:<Object>.<Member>=Cancel|Test          post a click to the launcher's button
//   nonobject:<Object>.<Member>                  give a number where an object is expected
//   second:<Object>.<Member>                     when the member gives one of our objects, give
//                                                that object's second dispinterface instead
//   unknown:<Object>.<Member>                    when the member gives one of our objects, give
//                                                it as VT_UNKNOWN, so the caller has to ask it
//                                                for IDispatch
//   hide:<Object>.<Member>                       GetIDsOfNames does not know the member, and
//                                                Invoke does not find its DISPID
//   observe:<Object>.<Member>                    journal a "seen" line describing the world the
//                                                host gives the call (DPI awareness, common
//                                                controls version, DEP)
//   loglines:<Object>.<Member>                   journal a "seen" line on the host's log box as
//                                                the call arrives: its line count and whether
//                                                its pixels show them yet
//   thread:<Object>.<Member>                     start a thread, as a print worker or progress
//                                                window would be, and wait for it; it journals
//                                                a "thread" line with its own DPI awareness and
//                                                that of a window it makes
//   threadtimer:<Object>.<Member>                set a thread timer (no window, a procedure of
//                                                its own), as a component polls a print job;
//                                                when the host's loop serves it, the procedure
//                                                journals a "timer" line with the fields of an
//                                                observe: line, of the world it was called in
//   dpichange:<Object>.<Member>=<dpi>            send the host window WM_DPICHANGED for that
//                                                DPI (1 to 65535) during the call, journal a
//                                                "seen" line on the fonts its controls held
//                                                meanwhile, then send its old DPI back
//   crash:<Object>.<Member>=av|cpp|stack         crash during the call: write through a null
//                                                pointer, raise an MSVC C++ exception (as
//                                                MSVC's throw raises it, without type
//                                                information), or recurse until the stack
//                                                overflows
//   overflow:<Object>.<Member>=<description>     recurse until the stack overflows inside a
//                                                frame-based handler of the call's own (as the
//                                                Visual Basic runtime has around a component's
//                                                code); when it takes the overflow, the call
//                                                raises an automation exception with the
//                                                description (\; \\ \uXXXX)
//   crashlater:<Object>.<Member>=<ms>            return normally, with a timer of that time set
//                                                on a hidden window of the stand-ins' own; when
//                                                the host's loop serves the timer, the window
//                                                procedure writes through a null pointer
//   crashfilter:<Object>.<Member>                make a crash reporter the process's
//                                                unhandled-exception filter: it shows a message
//                                                box, then has the process end
//   box:<Object>.<Member>                        show a message box (no owner) nobody answers;
//                                                its loop serves the host thread's messages
//   lock:<Object>.<Member>=loader|heap           take a lock and never give it back: the loader
//                                                lock (LdrLockLoaderLock), as a fault in a
//                                                DllMain holds it, or the process heap's and the
//                                                C runtime's heap's locks (HeapLock), as a fault
//                                                inside a corrupted heap holds them; with crash:
//                                                a fault under that lock, with block: a
//                                                component that stops holding it
//   nocreate:<Object>                            refuse to create the class
//   createcrash:<Object>=av|cpp|stack            crash in the class factory, before the object
//                                                is made
//   createbox:<Object>                           show a message box nobody answers, there
//   createblock:<Object>=<ms>                    sleep there without serving messages
//   createthread:<Object>                        start a thread there as thread: does, and
//                                                journal its thread line with member "-"
//   createlock:<Object>=loader|heap              take a lock there as lock: does; with
//                                                createcrash:, a fault in the DllMain-time code
//                                                a component runs as it is created
//   hangdetach                                   DLL_PROCESS_DETACH never returns
//   zeltarclasses:method                         publish User.ZELTARClasses as a method
//
// Each of these faults first journals a line (object, member or "-" at creation, kind, facts),
// stamped with the moment it acts, so a test can measure from it:
//   crash      how=av|cpp|stack where=call|timer|create   about to crash
//   crashlater ms=<ms>                                    the later crash's timer is set
//   filter     event=installed                            the crash reporter is in place
//   filter     event=ran code=<hex exception code>        the crash reporter runs (its box next)
//   overflow   event=start                                about to recurse
//   overflow   event=handled code=<hex exception code>    the call's own handler took it
//   box        where=call|create                          about to show the unanswered box
//   block      ms=<ms> where=create                       about to sleep
//   lock       what=loader|heap where=call|create         about to take the lock
// and every DLL_PROCESS_DETACH journals, under the object "Standin", one line
//   detach     unload=library|process then=return|hang
// so a test can tell whether the host ran the DLL's detach code at all.
class Scenario {
public:
    static Scenario Parse(std::u16string_view text);

    // Object and member names as the journal spells them; matched ignoring case.
    CallPlan PlanFor(std::string_view object, std::string_view member) const;
    CreationPlan PlanForCreation(std::string_view object) const;
    bool HidesMember(std::string_view object, std::string_view member) const;
    bool RefusesClass(std::string_view object) const;
    bool HangsOnDetach() const { return hangsOnDetach_; }
    bool ZeltarClassesIsMethod() const { return zeltarClassesIsMethod_; }

private:
    enum class Verb {
        Click,
        Block,
        Pump,
        Swallow,
        Fail,
        FailDeferred,
        FailHresult,
        NonObject,
        Second,
        AsUnknown,
        Hide,
        Observe,
        LogLines,
        StartThread,
        ThreadTimer,
        DpiChange,
        HandledOverflow,
        Crash,
        CrashLater,
        CrashFilter,
        Box,
        NoCreate,
        CreateCrash,
        CreateBox,
        CreateBlock,
        CreateThread,
        Lock,
        CreateLock,
        HangDetach
    };

    struct Directive {
        Verb verb;
        std::u16string object;
        std::u16string member;
        std::u16string description;
        std::uint32_t number = 0; // milliseconds, HRESULT or DPI
        ClickTarget click = ClickTarget::Cancel;
        CrashKind crash = CrashKind::AccessViolation;
        HeldLock lock = HeldLock::Loader;
    };

    struct VerbRule;

    static const VerbRule* FindVerb(std::u16string_view name);
    void Add(std::u16string_view directive);
    static bool Targets(const Directive& directive, std::string_view object,
                        std::string_view member);
    static bool TargetsClass(const Directive& directive, std::string_view object);

    std::vector<Directive> directives_;
    bool hangsOnDetach_ = false;
    bool zeltarClassesIsMethod_ = false;
};

// Resolves \uXXXX, \; and \\ in a failure description; any other backslash stays as written.
std::u16string UnescapeDescription(std::u16string_view raw);

} // namespace brevanto::standin
