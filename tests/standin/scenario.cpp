#include "scenario.h"

namespace brevanto::standin {
namespace {

char16_t FoldCase(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? c - u'A' + u'a' : c;
}

template <class Left, class Right> bool EqualsIgnoringCase(Left left, Right right) {
    if (left.size() != right.size())
        return false;
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (FoldCase(static_cast<char16_t>(left[i])) != FoldCase(static_cast<char16_t>(right[i])))
            return false;
    }
    return true;
}

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

int HexValue(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

std::optional<std::uint32_t> ParseDecimal(std::u16string_view text) {
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    return value;
}

std::optional<std::uint32_t> ParseHex(std::u16string_view text) {
    if (text.size() > 2 && text[0] == u'0' && FoldCase(text[1]) == u'x')
        text.remove_prefix(2);
    if (text.empty() || text.size() > 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char16_t c : text) {
        const int digit = HexValue(c);
        if (digit < 0)
            return std::nullopt;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return value;
}

std::optional<ClickTarget> ParseClickTarget(std::u16string_view text) {
    if (EqualsIgnoringCase(text, std::u16string_view(u"Cancel")))
        return ClickTarget::Cancel;
    if (EqualsIgnoringCase(text, std::u16string_view(u"Test")))
        return ClickTarget::Test;
    return std::nullopt;
}

std::optional<CrashKind> ParseCrashKind(std::u16string_view text) {
    if (EqualsIgnoringCase(text, std::u16string_view(u"av")))
        return CrashKind::AccessViolation;
    if (EqualsIgnoringCase(text, std::u16string_view(u"cpp")))
        return CrashKind::CppException;
    if (EqualsIgnoringCase(text, std::u16string_view(u"stack")))
        return CrashKind::StackOverflow;
    return std::nullopt;
}

std::optional<HeldLock> ParseHeldLock(std::u16string_view text) {
    if (EqualsIgnoringCase(text, std::u16string_view(u"loader")))
        return HeldLock::Loader;
    if (EqualsIgnoringCase(text, std::u16string_view(u"heap")))
        return HeldLock::Heaps;
    return std::nullopt;
}

// What a verb acts on: one member of an object ("Viewer.Show_Results"), a class as the journal
// names its objects ("Viewer"), or nothing, when the verb stands alone without a colon.
enum class TargetKind { Member, Class, None };

// What a verb takes after its target: nothing, or after '=' a value read this way.
enum class ValueKind { None, Description, Hresult, Milliseconds, Dpi, Click, Crash, Lock };

// The number a value stands for, or nullopt when the verb does not accept the text.
std::optional<std::uint32_t> ParseNumber(ValueKind kind, std::u16string_view text) {
    if (kind == ValueKind::Hresult)
        return ParseHex(text);
    const auto number = ParseDecimal(text);
    // WM_DPICHANGED carries the DPI in a 16-bit half of wParam.
    if (kind == ValueKind::Dpi && number && (*number == 0 || *number > 0xFFFF))
        return std::nullopt;
    return number;
}

// Splits at ';' but not at "\;", which belongs to a description.
std::vector<std::u16string_view> SplitDirectives(std::u16string_view text) {
    std::vector<std::u16string_view> pieces;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\') {
            ++i;
        } else if (text[i] == u';') {
            pieces.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < text.size())
        pieces.push_back(text.substr(start));
    return pieces;
}

} // namespace

struct Scenario::VerbRule {
    std::u16string_view name;
    Verb verb;
    TargetKind target;
    ValueKind value;
};

std::u16string UnescapeDescription(std::u16string_view raw) {
    std::u16string text;
    text.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != u'\\' || i + 1 == raw.size()) {
            text += raw[i];
            continue;
        }
        const char16_t next = raw[i + 1];
        if (next == u';' || next == u'\\') {
            text += next;
            ++i;
        } else if (next == u'u' && i + 6 <= raw.size()) {
            unsigned unit = 0;
            bool valid = true;
            for (std::size_t k = i + 2; k < i + 6; ++k) {
                const int digit = HexValue(raw[k]);
                valid = valid && digit >= 0;
                unit = unit << 4 | static_cast<unsigned>(digit < 0 ? 0 : digit);
            }
            if (valid) {
                text += static_cast<char16_t>(unit);
                i += 5;
            } else {
                text += raw[i];
            }
        } else {
            text += raw[i];
        }
    }
    return text;
}

Scenario Scenario::Parse(std::u16string_view text) {
    Scenario scenario;
    for (const std::u16string_view piece : SplitDirectives(text))
        scenario.Add(Trim(piece));
    return scenario;
}

const Scenario::VerbRule* Scenario::FindVerb(std::u16string_view name) {
    static constexpr VerbRule kRules[] = {
        {u"click", Verb::Click, TargetKind::Member, ValueKind::Click},
        {u"block", Verb::Block, TargetKind::Member, ValueKind::Milliseconds},
        {u"pump", Verb::Pump, TargetKind::Member, ValueKind::Milliseconds},
        {u"swallow", Verb::Swallow, TargetKind::Member, ValueKind::Milliseconds},
        {u"fail", Verb::Fail, TargetKind::Member, ValueKind::Description},
        {u"faildeferred", Verb::FailDeferred, TargetKind::Member, ValueKind::Description},
        {u"failhr", Verb::FailHresult, TargetKind::Member, ValueKind::Hresult},
        {u"nonobject", Verb::NonObject, TargetKind::Member, ValueKind::None},
        {u"second", Verb::Second, TargetKind::Member, ValueKind::None},
        {u"unknown", Verb::AsUnknown, TargetKind::Member, ValueKind::None},
        {u"hide", Verb::Hide, TargetKind::Member, ValueKind::None},
        {u"observe", Verb::Observe, TargetKind::Member, ValueKind::None},
        {u"loglines", Verb::LogLines, TargetKind::Member, ValueKind::None},
        {u"thread", Verb::StartThread, TargetKind::Member, ValueKind::None},
        {u"threadtimer", Verb::ThreadTimer, TargetKind::Member, ValueKind::None},
        {u"dpichange", Verb::DpiChange, TargetKind::Member, ValueKind::Dpi},
        {u"overflow", Verb::HandledOverflow, TargetKind::Member, ValueKind::Description},
        {u"crash", Verb::Crash, TargetKind::Member, ValueKind::Crash},
        {u"crashlater", Verb::CrashLater, TargetKind::Member, ValueKind::Milliseconds},
        {u"crashfilter", Verb::CrashFilter, TargetKind::Member, ValueKind::None},
        {u"box", Verb::Box, TargetKind::Member, ValueKind::None},
        {u"nocreate", Verb::NoCreate, TargetKind::Class, ValueKind::None},
        {u"createcrash", Verb::CreateCrash, TargetKind::Class, ValueKind::Crash},
        {u"createbox", Verb::CreateBox, TargetKind::Class, ValueKind::None},
        {u"createblock", Verb::CreateBlock, TargetKind::Class, ValueKind::Milliseconds},
        {u"createthread", Verb::CreateThread, TargetKind::Class, ValueKind::None},
        {u"lock", Verb::Lock, TargetKind::Member, ValueKind::Lock},
        {u"createlock", Verb::CreateLock, TargetKind::Class, ValueKind::Lock},
        {u"hangdetach", Verb::HangDetach, TargetKind::None, ValueKind::None},
    };
    for (const VerbRule& rule : kRules) {
        if (EqualsIgnoringCase(name, rule.name))
            return &rule;
    }
    return nullptr;
}

void Scenario::Add(std::u16string_view directive) {
    const std::size_t colon = directive.find(u':');
    const std::u16string_view verbText = directive.substr(0, colon);
    const bool hasTarget = colon != std::u16string_view::npos;
    const std::u16string_view rest = hasTarget ? directive.substr(colon + 1) : u"";

    if (EqualsIgnoringCase(verbText, std::u16string_view(u"zeltarclasses"))) {
        if (EqualsIgnoringCase(rest, std::u16string_view(u"method")))
            zeltarClassesIsMethod_ = true;
        return;
    }

    const VerbRule* rule = FindVerb(verbText);
    if (!rule || hasTarget != (rule->target != TargetKind::None))
        return;
    if (rule->verb == Verb::HangDetach) {
        hangsOnDetach_ = true;
        return;
    }
    std::u16string_view target = rest;
    std::u16string_view value;
    if (rule->value != ValueKind::None) {
        const std::size_t equals = rest.find(u'=');
        if (equals == std::u16string_view::npos)
            return;
        target = rest.substr(0, equals);
        value = rest.substr(equals + 1);
    }

    Directive parsed{};
    parsed.verb = rule->verb;
    const std::size_t dot = target.find(u'.');
    if (rule->target == TargetKind::Member) {
        if (dot == std::u16string_view::npos || dot == 0 || dot + 1 == target.size())
            return;
        parsed.object = target.substr(0, dot);
        parsed.member = target.substr(dot + 1);
    } else {
        // A class has no member: "Viewer.Show_Results" names none of them.
        if (target.empty() || dot != std::u16string_view::npos)
            return;
        parsed.object = target;
    }
    switch (rule->value) {
    case ValueKind::None:
        break;
    case ValueKind::Description:
        parsed.description = UnescapeDescription(value);
        break;
    case ValueKind::Click: {
        const auto click = ParseClickTarget(value);
        if (!click)
            return;
        parsed.click = *click;
        break;
    }
    case ValueKind::Crash: {
        const auto crash = ParseCrashKind(value);
        if (!crash)
            return;
        parsed.crash = *crash;
        break;
    }
    case ValueKind::Lock: {
        const auto lock = ParseHeldLock(value);
        if (!lock)
            return;
        parsed.lock = *lock;
        break;
    }
    case ValueKind::Hresult:
    case ValueKind::Milliseconds:
    case ValueKind::Dpi: {
        const auto number = ParseNumber(rule->value, value);
        if (!number)
            return;
        parsed.number = *number;
        break;
    }
    }
    directives_.push_back(std::move(parsed));
}

bool Scenario::Targets(const Directive& directive, std::string_view object,
                       std::string_view member) {
    return !directive.member.empty() &&
           EqualsIgnoringCase(std::u16string_view(directive.object), object) &&
           EqualsIgnoringCase(std::u16string_view(directive.member), member);
}

bool Scenario::TargetsClass(const Directive& directive, std::string_view object) {
    return directive.member.empty() &&
           EqualsIgnoringCase(std::u16string_view(directive.object), object);
}

CallPlan Scenario::PlanFor(std::string_view object, std::string_view member) const {
    CallPlan plan;
    for (const Directive& directive : directives_) {
        if (!Targets(directive, object, member))
            continue;
        switch (directive.verb) {
        case Verb::Click:
            plan.clicks.push_back(directive.click);
            break;
        case Verb::Block:
        case Verb::Pump:
        case Verb::Swallow:
            plan.delays.push_back({.pumpMessages = directive.verb != Verb::Block,
                                   .swallowQuit = directive.verb == Verb::Swallow,
                                   .milliseconds = directive.number});
            break;
        case Verb::Fail:
        case Verb::FailDeferred:
        case Verb::FailHresult:
            if (!plan.failure) {
                Failure failure;
                failure.style = directive.verb == Verb::Fail ? Failure::Style::Exception
                                : directive.verb == Verb::FailDeferred
                                    ? Failure::Style::DeferredException
                                    : Failure::Style::Hresult;
                failure.description = directive.description;
                failure.hresult = directive.number;
                plan.failure = std::move(failure);
            }
            break;
        case Verb::NonObject:
            plan.nonObject = true;
            break;
        case Verb::Second:
            plan.secondInterface = true;
            break;
        case Verb::AsUnknown:
            plan.asUnknown = true;
            break;
        case Verb::Observe:
            plan.observe = true;
            break;
        case Verb::LogLines:
            plan.logLines = true;
            break;
        case Verb::StartThread:
            plan.startThread = true;
            break;
        case Verb::ThreadTimer:
            plan.threadTimer = true;
            break;
        case Verb::HandledOverflow:
            if (!plan.handledOverflow)
                plan.handledOverflow = directive.description;
            break;
        case Verb::DpiChange:
            if (!plan.dpiChange)
                plan.dpiChange = directive.number;
            break;
        case Verb::Crash:
            if (!plan.crash)
                plan.crash = directive.crash;
            break;
        case Verb::CrashLater:
            if (!plan.crashLaterMs)
                plan.crashLaterMs = directive.number;
            break;
        case Verb::CrashFilter:
            plan.crashFilter = true;
            break;
        case Verb::Lock:
            plan.locks.push_back(directive.lock);
            break;
        case Verb::Box:
            plan.box = true;
            break;
        case Verb::Hide:
            break; // name lookup only: see HidesMember
        case Verb::NoCreate:
        case Verb::CreateCrash:
        case Verb::CreateBox:
        case Verb::CreateBlock:
        case Verb::CreateThread:
        case Verb::CreateLock:
        case Verb::HangDetach:
            break; // never targets a member
        }
    }
    return plan;
}

CreationPlan Scenario::PlanForCreation(std::string_view object) const {
    CreationPlan plan;
    for (const Directive& directive : directives_) {
        if (!TargetsClass(directive, object))
            continue;
        if (directive.verb == Verb::CreateBlock && !plan.blockMs)
            plan.blockMs = directive.number;
        else if (directive.verb == Verb::CreateBox)
            plan.box = true;
        else if (directive.verb == Verb::CreateThread)
            plan.startThread = true;
        else if (directive.verb == Verb::CreateCrash && !plan.crash)
            plan.crash = directive.crash;
        else if (directive.verb == Verb::CreateLock)
            plan.locks.push_back(directive.lock);
    }
    return plan;
}

bool Scenario::HidesMember(std::string_view object, std::string_view member) const {
    for (const Directive& directive : directives_) {
        if (directive.verb == Verb::Hide && Targets(directive, object, member))
            return true;
    }
    return false;
}

bool Scenario::RefusesClass(std::string_view object) const {
    for (const Directive& directive : directives_) {
        if (directive.verb == Verb::NoCreate && TargetsClass(directive, object))
            return true;
    }
    return false;
}

} // namespace brevanto::standin
