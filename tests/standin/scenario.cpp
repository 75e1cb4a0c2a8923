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

void Scenario::Add(std::u16string_view directive) {
    const std::size_t colon = directive.find(u':');
    if (colon == std::u16string_view::npos)
        return;
    const std::u16string_view verbText = directive.substr(0, colon);
    const std::u16string_view rest = directive.substr(colon + 1);
    const auto verbIs = [&](std::u16string_view name) {
        return EqualsIgnoringCase(verbText, name);
    };

    if (verbIs(u"zeltarclasses")) {
        if (EqualsIgnoringCase(rest, std::u16string_view(u"method")))
            zeltarClassesIsMethod_ = true;
        return;
    }
    if (verbIs(u"nocreate")) {
        if (!rest.empty())
            refusedClasses_.emplace_back(rest);
        return;
    }

    Directive parsed{};
    std::u16string_view target = rest;
    std::u16string_view value;
    const bool takesValue =
        !(verbIs(u"nonobject") || verbIs(u"second") || verbIs(u"hide") || verbIs(u"observe"));
    if (takesValue) {
        const std::size_t equals = rest.find(u'=');
        if (equals == std::u16string_view::npos)
            return;
        target = rest.substr(0, equals);
        value = rest.substr(equals + 1);
    }
    const std::size_t dot = target.find(u'.');
    if (dot == std::u16string_view::npos || dot == 0 || dot + 1 == target.size())
        return;
    parsed.object = target.substr(0, dot);
    parsed.member = target.substr(dot + 1);

    if (verbIs(u"nonobject")) {
        parsed.verb = Verb::NonObject;
    } else if (verbIs(u"second")) {
        parsed.verb = Verb::Second;
    } else if (verbIs(u"hide")) {
        parsed.verb = Verb::Hide;
    } else if (verbIs(u"observe")) {
        parsed.verb = Verb::Observe;
    } else if (verbIs(u"fail") || verbIs(u"faildeferred")) {
        parsed.verb = verbIs(u"fail") ? Verb::Fail : Verb::FailDeferred;
        parsed.description = UnescapeDescription(value);
    } else if (verbIs(u"failhr")) {
        const auto hresult = ParseHex(value);
        if (!hresult)
            return;
        parsed.verb = Verb::FailHresult;
        parsed.number = *hresult;
    } else if (verbIs(u"block") || verbIs(u"pump") || verbIs(u"swallow")) {
        const auto milliseconds = ParseDecimal(value);
        if (!milliseconds)
            return;
        parsed.verb = verbIs(u"block") ? Verb::Block : verbIs(u"pump") ? Verb::Pump : Verb::Swallow;
        parsed.number = *milliseconds;
    } else if (verbIs(u"dpichange")) {
        const auto dpi = ParseDecimal(value);
        // WM_DPICHANGED carries the DPI in a 16-bit half of wParam.
        if (!dpi || *dpi == 0 || *dpi > 0xFFFF)
            return;
        parsed.verb = Verb::DpiChange;
        parsed.number = *dpi;
    } else if (verbIs(u"click")) {
        const auto click = ParseClickTarget(value);
        if (!click)
            return;
        parsed.verb = Verb::Click;
        parsed.click = *click;
    } else {
        return;
    }
    directives_.push_back(std::move(parsed));
}

bool Scenario::Targets(const Directive& directive, std::string_view object,
                       std::string_view member) {
    return EqualsIgnoringCase(std::u16string_view(directive.object), object) &&
           EqualsIgnoringCase(std::u16string_view(directive.member), member);
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
        case Verb::Observe:
            plan.observe = true;
            break;
        case Verb::DpiChange:
            if (!plan.dpiChange)
                plan.dpiChange = directive.number;
            break;
        case Verb::Hide:
            break; // name lookup only: see HidesMember
        }
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
    for (const std::u16string& refused : refusedClasses_) {
        if (EqualsIgnoringCase(std::u16string_view(refused), object))
            return true;
    }
    return false;
}

} // namespace brevanto::standin
