#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevanto::standin {

enum class ClickTarget { Cancel, Test };

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
// the observation, the DPI change, clicks, then delays, then the failure.
struct CallPlan {
    bool observe = false;
    bool logLines = false;
    std::optional<std::uint32_t> dpiChange; // the DPI to announce; the first directive wins
    std::vector<ClickTarget> clicks;
    std::vector<Delay> delays;
    std::optional<Failure> failure; // the first failure directive for the member wins
    bool nonObject = false;
    bool secondInterface = false;
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
//   hide:<Object>.<Member>                       GetIDsOfNames does not know the member, and
//                                                Invoke does not find its DISPID
//   observe:<Object>.<Member>                    journal a "seen" line describing the world the
//                                                host gives the call (DPI awareness, common
//                                                controls version, DEP)
//   loglines:<Object>.<Member>                   journal a "seen" line on the host's log box as
//                                                the call arrives: its line count and whether
//                                                its pixels show them yet
//   dpichange:<Object>.<Member>=<dpi>            send the host window WM_DPICHANGED for that
//                                                DPI (1 to 65535) during the call, journal a
//                                                "seen" line on the fonts its controls held
//                                                meanwhile, then send its old DPI back
//   nocreate:<Object>                            refuse to create the class
//   zeltarclasses:method                         publish User.ZELTARClasses as a method
class Scenario {
public:
    static Scenario Parse(std::u16string_view text);

    // Object and member names as the journal spells them; matched ignoring case.
    CallPlan PlanFor(std::string_view object, std::string_view member) const;
    bool HidesMember(std::string_view object, std::string_view member) const;
    bool RefusesClass(std::string_view object) const;
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
        Hide,
        Observe,
        LogLines,
        DpiChange
    };

    struct Directive {
        Verb verb;
        std::u16string object;
        std::u16string member;
        std::u16string description;
        std::uint32_t number = 0; // milliseconds, HRESULT or DPI
        ClickTarget click = ClickTarget::Cancel;
    };

    struct VerbRule;

    static const VerbRule* FindVerb(std::u16string_view name);
    void Add(std::u16string_view directive);
    static bool Targets(const Directive& directive, std::string_view object,
                        std::string_view member);

    std::vector<Directive> directives_;
    std::vector<std::u16string> refusedClasses_;
    bool zeltarClassesIsMethod_ = false;
};

// Resolves \uXXXX, \; and \\ in a failure description; any other backslash stays as written.
std::u16string UnescapeDescription(std::u16string_view raw);

} // namespace brevanto::standin
