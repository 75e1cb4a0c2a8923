#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <string>

#include "report/component_members.h"
#include "report/report_job.h"
#include "report/stored_settings.h"
#include "report/test_action.h"
#include "tests/unit/fakes.h"

namespace brevanto::testing {
namespace {

// The workstation check relies on these lists; they must name exactly what the program uses.

std::set<std::wstring> MembersCalledOn(const CallJournal& journal, const std::wstring& object) {
    std::set<std::wstring> members;
    for (const auto& call : journal.calls) {
        if (call.rfind(object + L".", 0) != 0)
            continue;
        const auto blank = call.find(L' ');
        const auto end = call.find(L' ', blank + 1);
        members.insert(call.substr(blank + 1, end == std::wstring::npos ? end : end - blank - 1));
    }
    return members;
}

template <std::size_t N> std::set<std::wstring> Listed(const std::wstring_view (&members)[N]) {
    return {std::begin(members), std::end(members)};
}

TEST(JobInventory, MemberListsNameEveryMemberTheJobAndTestCall) {
    CallJournal journal;
    FakeFactory factory(journal);
    FakeWindow window;
    MemoryStore store;
    GenerateReport(window, store, factory, L"C:\\Lab");
    RunTestReport(window.State());

    EXPECT_EQ(MembersCalledOn(journal, L"User"), Listed(kUserMembers));
    EXPECT_EQ(MembersCalledOn(journal, L"Viewer"), Listed(kViewerMembers));
    EXPECT_EQ(MembersCalledOn(journal, L"Classes"), Listed(kReportClassesMembers));
}

// Every setting the job reads, in the order of first use, with the default it is read with for a
// program in C:\Lab: the README's settings table.
struct ReadSetting {
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* defaultText;
};
constexpr ReadSetting kReadSettings[] = {
    {L"LogInData", L"Username", L""},
    {L"LogInData", L"Password", L""},
    {L"SaveDirectories", L"Convert", L"C:\\Lab\\PDF"},
    {L"Settings", L"txtReportDLLVersion", L"1"},
    {L"ExeParameters", L"Requestnum", L""},
    {L"Settings", L"ViewMode", L"1"},
    {L"Settings", L"PDFPrintMode", L"1"},
    {L"Settings", L"chkPrintRPT", L"1"},
    {L"Settings", L"chkCRW85Export", L"1"},
};

TEST(JobInventory, SettingsTableNamesEveryKeyTheJobReadsWithItsDefault) {
    MemoryStore store;
    std::vector<std::pair<std::wstring, std::wstring>> read;
    store.onRead = [&](std::wstring_view section, std::wstring_view key) {
        const std::pair<std::wstring, std::wstring> entry{std::wstring(section), std::wstring(key)};
        if (std::find(read.begin(), read.end(), entry) == read.end())
            read.push_back(entry);
    };
    CallJournal journal;
    FakeFactory factory(journal);
    FakeWindow window;
    GenerateReport(window, store, factory, L"C:\\Lab");

    std::vector<std::pair<std::wstring, std::wstring>> expected;
    for (const auto& setting : kReadSettings)
        expected.emplace_back(setting.section, setting.key);
    EXPECT_EQ(read, expected);

    // The defaults the job used, as the components received them.
    const std::wstring calls[] = {
        L"User.call LoginUser \"\" \"\"", L"Viewer.put setexportpath \"C:\\Lab\\PDF\"",
        L"Viewer.put SetDLLVer \"1\"",    L"Viewer.put Requestnum \"\"",
        L"Viewer.put viewmode \"1\"",     L"Classes.put PDFPrintMode \"1\"",
    };
    for (const auto& call : calls)
        EXPECT_NE(std::find(journal.calls.begin(), journal.calls.end(), call), journal.calls.end())
            << std::string(call.begin(), call.end());

    // The table the check reads names the same settings, each with the same default.
    ASSERT_EQ(std::size(kJobSettings), std::size(kReadSettings));
    for (std::size_t i = 0; i < std::size(kReadSettings); ++i) {
        const ReadSetting& c = kReadSettings[i];
        SCOPED_TRACE(c.key);
        EXPECT_EQ(kJobSettings[i].section, c.section);
        EXPECT_EQ(kJobSettings[i].key, c.key);
        EXPECT_EQ(DefaultFor(kJobSettings[i], L"C:\\Lab"), c.defaultText);
    }
}

} // namespace
} // namespace brevanto::testing
