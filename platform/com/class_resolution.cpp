#include "platform/com/class_resolution.h"

#include <algorithm>
#include <cwctype>

#include "report/same_text.h"

namespace brevanto {
namespace {

// COM gives up on longer TreatAs chains too; the limit only guards against a loop.
constexpr int kMaxTreatAs = 8;

class Resolver {
public:
    explicit Resolver(const ClassesRoots& roots) : roots_(roots) {
        resolved_.rootsUsed.assign(roots.Count(), false);
    }

    std::optional<std::wstring> TryText(const std::wstring& key, const wchar_t* name) {
        const auto root = RootOf(key);
        if (!root)
            return std::nullopt;
        resolved_.rootsUsed[*root] = true;
        return roots_.TryText(*root, key, name);
    }
    bool HasKey(const std::wstring& key) const { return RootOf(key).has_value(); }
    ResolvedClass& Resolved() { return resolved_; }

private:
    std::optional<std::size_t> RootOf(const std::wstring& key) const {
        for (std::size_t root = 0; root < roots_.Count(); ++root)
            if (roots_.HasKey(root, key))
                return root;
        return std::nullopt;
    }

    const ClassesRoots& roots_;
    ResolvedClass resolved_;
};

} // namespace

ResolvedClass ResolveClass(const ClassesRoots& roots, std::wstring_view progId) {
    Resolver resolver(roots);
    ResolvedClass& resolved = resolver.Resolved();
    const auto clsid = resolver.TryText(std::wstring(progId) + L"\\CLSID", nullptr);
    if (!clsid || clsid->empty())
        return resolved;
    resolved.clsid = *clsid;

    std::wstring current = resolved.clsid;
    std::vector<std::wstring> seen{current};
    for (int i = 0; i < kMaxTreatAs; ++i) {
        const auto treatAs = resolver.TryText(L"CLSID\\" + current + L"\\TreatAs", nullptr);
        if (!treatAs || treatAs->empty() ||
            std::any_of(seen.begin(), seen.end(),
                        [&](const std::wstring& s) { return SameText(s, *treatAs); }))
            break;
        current = *treatAs;
        seen.push_back(current);
        resolved.treatAs = current;
    }

    for (const wchar_t* kind : {L"InprocServer32", L"LocalServer32"}) {
        const std::wstring key = L"CLSID\\" + current + L"\\" + kind;
        if (!resolver.HasKey(key))
            continue;
        const auto value = resolver.TryText(key, nullptr);
        if (!value)
            continue;
        resolved.serverKind = kind;
        resolved.serverValue = *value;
        resolved.threadingModel = resolver.TryText(key, L"ThreadingModel").value_or(L"");
        break;
    }
    return resolved;
}

std::wstring ProgramOfCommandLine(std::wstring_view commandLine) {
    if (!commandLine.empty() && commandLine.front() == L'"') {
        const auto close = commandLine.find(L'"', 1);
        return std::wstring(
            commandLine.substr(1, close == std::wstring_view::npos ? close : close - 1));
    }
    const auto lower = [&](std::size_t i) {
        return static_cast<wchar_t>(std::towlower(commandLine[i]));
    };
    for (std::size_t i = 0; i + 4 <= commandLine.size(); ++i) {
        if (lower(i) == L'.' && lower(i + 1) == L'e' && lower(i + 2) == L'x' &&
            lower(i + 3) == L'e')
            return std::wstring(commandLine.substr(0, i + 4));
    }
    return std::wstring(commandLine.substr(0, commandLine.find(L' ')));
}

} // namespace brevanto
