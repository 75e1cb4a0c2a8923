#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "platform/com/class_resolution.h"
#include "platform/registry/registry_text.h"

namespace brevanto::testing {
namespace {

// The first size bytes of the text and its terminator as UTF-16, little-endian, as stored.
std::vector<std::byte> Bytes(const std::wstring& text, std::size_t size) {
    std::vector<std::byte> bytes;
    for (const wchar_t c : text + L'\0') {
        bytes.push_back(static_cast<std::byte>(c & 0xFF));
        bytes.push_back(static_cast<std::byte>((c >> 8) & 0xFF));
    }
    bytes.resize(size);
    return bytes;
}

std::vector<std::byte> Terminated(const std::wstring& text) {
    return Bytes(text, (text.size() + 1) * 2);
}

// A value as RegQueryValueEx gives it; grows by one character after each query that found the
// buffer too small when told to, as a value another program rewrites would.
struct FakeValue {
    std::uint32_t type = kRegistryText;
    std::vector<std::byte> bytes;
    bool absent = false;
    bool growsWhenAskedAgain = false;
    int queries = 0;

    ValueQuery Query() {
        return [this](std::uint32_t& type_, std::byte* buffer, std::uint32_t& size) {
            ++queries;
            if (absent)
                return QueryStatus::Failed;
            type_ = type;
            const auto needed = static_cast<std::uint32_t>(bytes.size());
            if (needed > size) {
                size = needed;
                if (growsWhenAskedAgain)
                    bytes.insert(bytes.begin(), {std::byte{'x'}, std::byte{0}});
                return QueryStatus::MoreData;
            }
            std::memcpy(buffer, bytes.data(), bytes.size());
            size = needed;
            return QueryStatus::Done;
        };
    }
};

// Expands %BIG% to a text longer than any first buffer, and %GONE% not at all.
std::uint32_t FakeExpand(const wchar_t* text, wchar_t* buffer, std::uint32_t capacity) {
    std::wstring in = text;
    if (in.find(L"%GONE%") != std::wstring::npos)
        return 0;
    std::wstring out;
    for (std::size_t at = 0; at < in.size();) {
        if (in.compare(at, 5, L"%BIG%") == 0) {
            out += std::wstring(40000, L'b');
            at += 5;
        } else {
            out += in[at++];
        }
    }
    const auto needed = static_cast<std::uint32_t>(out.size() + 1);
    // Like Windows, a buffer too small gets part of it and no promise of a terminator.
    std::memcpy(buffer, out.data(), std::min<std::size_t>(capacity, out.size()) * sizeof(wchar_t));
    if (needed <= capacity)
        buffer[out.size()] = L'\0';
    return needed;
}

TEST(RegistryText, EveryShapeOfStoredValueReadsAsItsText) {
    const std::wstring huge = std::wstring(1 << 20, L'h') + L"end";
    struct Case {
        const char* name;
        FakeValue value;
        bool expand;
        std::optional<std::wstring> text;
    };
    const std::vector<Case> cases = {
        {"plain", {kRegistryText, Terminated(L"labtech")}, false, L"labtech"},
        {"empty", {kRegistryText, Terminated(L"")}, false, L""},
        {"no bytes at all", {kRegistryText, {}}, false, L""},
        {"no terminator", {kRegistryText, Bytes(L"42", 4)}, false, L"42"},
        {"odd byte count, last byte not zero",
         {kRegistryText, Bytes(L"C:\\a.dllX", 17)},
         false,
         L"C:\\a.dll"},
        {"a single byte", {kRegistryText, Bytes(L"A", 1)}, false, L""},
        {"embedded NUL", {kRegistryText, Terminated(std::wstring(L"ab\0cd", 5))}, false, L"ab"},
        {"larger than the first buffer", {kRegistryText, Terminated(huge)}, false, huge},
        {"odd and larger than the first buffer",
         {kRegistryText, Bytes(huge, huge.size() * 2 + 1)},
         false,
         huge},
        {"grows between two queries",
         {kRegistryText, Terminated(huge), false, true},
         false,
         L"x" + huge},
        {"absent", {kRegistryText, {}, true}, false, std::nullopt},
        {"a number", {4 /* REG_DWORD */, Bytes(L"1", 4)}, false, std::nullopt},
        {"several texts", {7 /* REG_MULTI_SZ */, Terminated(L"a")}, false, std::nullopt},
        {"expandable, kept as stored",
         {kRegistryExpandText, Terminated(L"%BIG%\\x")},
         false,
         L"%BIG%\\x"},
        {"expandable, expanded past its first buffer",
         {kRegistryExpandText, Terminated(L"%BIG%\\x.dll")},
         true,
         std::wstring(40000, L'b') + L"\\x.dll"},
        {"expandable, unexpandable",
         {kRegistryExpandText, Terminated(L"%GONE%\\x")},
         true,
         L"%GONE%\\x"},
        {"expandable without terminator",
         {kRegistryExpandText, Bytes(L"a%BIG%", 12)},
         true,
         L"a" + std::wstring(40000, L'b')},
        {"plain text is never expanded", {kRegistryText, Terminated(L"%BIG%")}, true, L"%BIG%"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeValue value = c.value;
        const EnvironmentExpansion expand = FakeExpand;
        const auto text = TryReadRegistryText(value.Query(), c.expand ? &expand : nullptr);
        ASSERT_EQ(text.has_value(), c.text.has_value());
        if (text) {
            EXPECT_EQ(text->size(), c.text->size());
            EXPECT_TRUE(*text == *c.text)
                << "first characters: "
                << std::string(text->begin(),
                               text->begin() + std::min<std::size_t>(40, text->size()));
        }
    }
}

// Classes roots in memory: root -> key -> value name ("" the default) -> text.
class FakeRoots : public ClassesRoots {
public:
    using Keys = std::map<std::wstring, std::map<std::wstring, std::wstring>>;
    explicit FakeRoots(std::vector<Keys> roots) : roots_(std::move(roots)) {}
    std::size_t Count() const override { return roots_.size(); }
    bool HasKey(std::size_t root, const std::wstring& key) const override {
        return roots_[root].count(key) != 0;
    }
    std::optional<std::wstring> TryText(std::size_t root, const std::wstring& key,
                                        const wchar_t* name) const override {
        const auto& values = roots_[root].at(key);
        const auto it = values.find(name ? name : L"");
        return it == values.end() ? std::nullopt : std::optional<std::wstring>(it->second);
    }

private:
    std::vector<Keys> roots_;
};

TEST(ClassResolution, UserKeysHideTheMachinesAndTreatAsIsFollowed) {
    const FakeRoots::Keys machine = {
        {L"App.Cls\\CLSID", {{L"", L"{A}"}}},
        {L"CLSID\\{A}\\InprocServer32",
         {{L"", L"C:\\machine\\a.dll"}, {L"ThreadingModel", L"Apartment"}}},
        {L"CLSID\\{B}\\InprocServer32", {{L"", L"C:\\machine\\b.dll"}}},
        {L"CLSID\\{L}\\LocalServer32", {{L"", L"\"C:\\machine\\l.exe\" /automation"}}},
    };
    struct Case {
        const char* name;
        std::vector<FakeRoots::Keys> roots;
        std::wstring clsid, treatAs, kind, value, threading;
        std::vector<bool> used;
    };
    auto with = [&](FakeRoots::Keys extra) {
        FakeRoots::Keys keys = machine;
        for (auto& [key, values] : extra)
            keys[key] = values;
        return keys;
    };
    const Case cases[] = {
        {"machine only",
         {{}, machine},
         L"{A}",
         L"",
         L"InprocServer32",
         L"C:\\machine\\a.dll",
         L"Apartment",
         {false, true}},
        {"the user's server key hides the machine's, threading model and all",
         {{{L"CLSID\\{A}\\InprocServer32", {{L"", L"C:\\user\\a.dll"}}}}, machine},
         L"{A}",
         L"",
         L"InprocServer32",
         L"C:\\user\\a.dll",
         L"",
         {true, true}},
        {"the user's ProgID names another class",
         {{{L"App.Cls\\CLSID", {{L"", L"{B}"}}}}, machine},
         L"{B}",
         L"",
         L"InprocServer32",
         L"C:\\machine\\b.dll",
         L"",
         {true, true}},
        {"user only",
         {{{L"App.Cls\\CLSID", {{L"", L"{U}"}}},
           {L"CLSID\\{U}\\InprocServer32", {{L"", L"u.dll"}}}},
          {}},
         L"{U}",
         L"",
         L"InprocServer32",
         L"u.dll",
         L"",
         {true, false}},
        {"TreatAs followed",
         {{}, with({{L"CLSID\\{A}\\TreatAs", {{L"", L"{B}"}}}})},
         L"{A}",
         L"{B}",
         L"InprocServer32",
         L"C:\\machine\\b.dll",
         L"",
         {false, true}},
        {"TreatAs chain to a local server",
         {{},
          with({{L"CLSID\\{A}\\TreatAs", {{L"", L"{B}"}}},
                {L"CLSID\\{B}\\TreatAs", {{L"", L"{L}"}}}})},
         L"{A}",
         L"{L}",
         L"LocalServer32",
         L"\"C:\\machine\\l.exe\" /automation",
         L"",
         {false, true}},
        {"TreatAs loop ends at the last class reached",
         {{},
          with({{L"CLSID\\{A}\\TreatAs", {{L"", L"{B}"}}},
                {L"CLSID\\{B}\\TreatAs", {{L"", L"{a}"}}}})},
         L"{A}",
         L"{B}",
         L"InprocServer32",
         L"C:\\machine\\b.dll",
         L"",
         {false, true}},
        {"empty TreatAs is none",
         {{}, with({{L"CLSID\\{A}\\TreatAs", {{L"", L""}}}})},
         L"{A}",
         L"",
         L"InprocServer32",
         L"C:\\machine\\a.dll",
         L"Apartment",
         {false, true}},
        {"server key without a value",
         {{},
          with({{L"CLSID\\{A}\\InprocServer32", {}},
                {L"CLSID\\{A}\\LocalServer32", {{L"", L"a.exe"}}}})},
         L"{A}",
         L"",
         L"LocalServer32",
         L"a.exe",
         L"",
         {false, true}},
        {"not registered", {{}, {}}, L"", L"", L"", L"", L"", {false, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ResolvedClass r = ResolveClass(FakeRoots(c.roots), L"App.Cls");
        EXPECT_TRUE(r.clsid == c.clsid);
        EXPECT_TRUE(r.treatAs == c.treatAs);
        EXPECT_TRUE(r.serverKind == c.kind);
        EXPECT_TRUE(r.serverValue == c.value);
        EXPECT_TRUE(r.threadingModel == c.threading);
        EXPECT_EQ(r.rootsUsed, c.used);
    }
}

TEST(ClassResolution, TheProgramOfACommandLineIsItsFirstMaybeQuotedPart) {
    struct Case {
        const char* name;
        std::wstring commandLine;
        std::wstring program;
    };
    const Case cases[] = {
        {"quoted, with blanks", L"\"C:\\Program Files\\l.exe\" /automation",
         L"C:\\Program Files\\l.exe"},
        {"quoted, never closed", L"\"C:\\l.exe /automation", L"C:\\l.exe /automation"},
        {"unquoted with blanks, up to .exe", L"C:\\Program Files\\l.exe /automation",
         L"C:\\Program Files\\l.exe"},
        {".exe in any case", L"C:\\L.EXE -Embedding", L"C:\\L.EXE"},
        {"unquoted without .exe, up to the first blank", L"winedbg --auto %ld %ld", L"winedbg"},
        {"nothing after the program", L"a.exe", L"a.exe"},
        {"empty", L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ProgramOfCommandLine(c.commandLine), c.program);
    }
}

} // namespace
} // namespace brevanto::testing
