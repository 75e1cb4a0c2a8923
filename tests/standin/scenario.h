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
    std::uint32_t milliseconds = 0;
};

struct Failure {
    enum class Style { Exception, DeferredException, Hresult };
    Style style = Style::Exception;
    std::u16string description; // Exception, DeferredException
    std::uint32_t hresult = 0;  // Hresult
};

// What a test asked one member call to do besides its normal work, in the order it happens:
// clicks, then delays, then the failure.
struct CallPlan {
    std::vector<ClickTarget> clicks;
    std::vector<Delay> delays;
    std::optional<Failure> failure; // the first failure directive for the member wins
    bool nonObject = false;
};

// The test's instructions, from text such as
//   "fail:User.LoginUser=Wrong password; pump:Viewer.Show_Results=500; nocreate:Viewer".
// Directives the parser does not understand are skipped, so a typo shows up as a test that
// fails on behaviour rather than as a crashed client.
class Scenario {
public:
    static Scenario Parse(std::u16string_view text);

    // Object and member names as the journal spells them; matched ignoring case.
    CallPlan PlanFor(std::string_view object, std::string_view member) const;
    bool RefusesClass(std::string_view object) const;
    bool ZeltarClassesIsMethod() const { return zeltarClassesIsMethod_; }

private:
    enum class Verb { Click, Block, Pump, Fail, FailDeferred, FailHresult, NonObject };

    struct Directive {
        Verb verb;
        std::u16string object;
        std::u16string member;
        std::u16string description;
        std::uint32_t number = 0; // milliseconds or HRESULT
        ClickTarget click = ClickTarget::Cancel;
    };

    void Add(std::u16string_view directive);

    std::vector<Directive> directives_;
    std::vector<std::u16string> refusedClasses_;
    bool zeltarClassesIsMethod_ = false;
};

// Resolves \uXXXX, \; and \\ in a failure description; any other backslash stays as written.
std::u16string UnescapeDescription(std::u16string_view raw);

} // namespace brevanto::standin
