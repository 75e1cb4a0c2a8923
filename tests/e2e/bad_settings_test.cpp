#include "tests/e2e/program_test.h"

#include "app/window_layout.h"
#include "report/run_log.h"

namespace brevanto::e2e {
namespace {

struct Key {
    const wchar_t* section;
    const wchar_t* key;
};
const Key kTextKeys[] = {
    {L"LogInData", L"Username"},       {L"LogInData", L"Password"},
    {L"SaveDirectories", L"Convert"},  {L"Settings", L"txtReportDLLVersion"},
    {L"ExeParameters", L"Requestnum"}, {L"Settings", L"PDFPrintMode"},
};
const Key kAllKeys[] = {
    {L"LogInData", L"Username"},       {L"LogInData", L"Password"},
    {L"SaveDirectories", L"Convert"},  {L"Settings", L"txtReportDLLVersion"},
    {L"ExeParameters", L"Requestnum"}, {L"Settings", L"ViewMode"},
    {L"Settings", L"PDFPrintMode"},    {L"Settings", L"chkPrintRPT"},
    {L"Settings", L"chkCRW85Export"},
};

// Runs the job to its end, ends the program with Cancel and checks it behaved as with an empty
// store.
void ExpectEmptyStoreRun() {
    ProgramRun run;
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    EXPECT_EQ(LogLines(run.Log()), EmptyStoreLog(BinaryDirectory()));
    run.Click(kCmdCancelId);
    EXPECT_EQ(run.WaitForExit(5000), 0);
    EXPECT_EQ(run.Calls(), EmptyStoreCalls(BinaryDirectory()));
}

TEST_F(ProgramTest, ValuesOfOtherRegistryTypesCountAsAbsent) {
    const DWORD zero = 0;
    const BYTE binary[] = {'0', 0, 0, 0};
    const wchar_t multi[] = L"0\0"
                            L"1\0";
    const std::vector<BYTE> dword(reinterpret_cast<const BYTE*>(&zero),
                                  reinterpret_cast<const BYTE*>(&zero) + sizeof zero);
    const std::vector<BYTE> bin(binary, binary + sizeof binary);
    const std::vector<BYTE> multiSz(reinterpret_cast<const BYTE*>(multi),
                                    reinterpret_cast<const BYTE*>(multi) + sizeof multi);
    int i = 0;
    for (const auto& [section, key] : kAllKeys) {
        switch (i++ % 3) {
        case 0:
            StoreRawSetting(section, key, REG_DWORD, dword);
            break;
        case 1:
            StoreRawSetting(section, key, REG_BINARY, bin);
            break;
        default:
            StoreRawSetting(section, key, REG_MULTI_SZ, multiSz);
        }
    }
    ExpectEmptyStoreRun();
}

TEST_F(ProgramTest, SectionsWithoutTheKeysGiveTheDefaults) {
    for (const wchar_t* section : {L"LogInData", L"SaveDirectories", L"Settings", L"ExeParameters"})
        StoreSetting(section, L"SomethingElse", L"0");
    ExpectEmptyStoreRun();
}

TEST_F(ProgramTest, ExpandableTextIsUsedAsStored) {
    const std::wstring folder = L"%TEMP%\\PDF";
    const auto* bytes = reinterpret_cast<const BYTE*>(folder.c_str());
    StoreRawSetting(L"SaveDirectories", L"Convert", REG_EXPAND_SZ,
                    std::vector<BYTE>(bytes, bytes + (folder.size() + 1) * sizeof(wchar_t)));
    ProgramRun run;
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    EXPECT_EQ(LogLines(run.Log())[5], L" 6 setexportpath " + folder);
    run.Click(kCmdCancelId);
    EXPECT_EQ(run.WaitForExit(5000), 0);
    EXPECT_EQ(run.Calls()[4], "Viewer.put setexportpath " + Bstr(folder));
}

TEST_F(ProgramTest, AwkwardTextReachesComponentsAndLogUnchanged) {
    for (const bool huge : {false, true}) {
        SCOPED_TRACE(huge ? "1 MiB each" : "control characters");
        ClearSettings();
        std::vector<std::wstring> values;
        int n = 0;
        for (const auto& [section, key] : kTextKeys) {
            std::wstring value;
            if (huge) {
                value.assign(1 << 20, static_cast<wchar_t>(L'a' + n));
                value[1000] = 0x00E9;
            } else {
                value = L"\"q\" \\x\\ line1\r\nline2\ttab\x01\x1F\x7F \u00e9\u4e2d\xD83D\xDE00 ";
                value += static_cast<wchar_t>(L'0' + n);
            }
            ++n;
            StoreSetting(section, key, value);
            values.push_back(value);
        }
        ProgramRun run;
        ASSERT_TRUE(run.WaitForLog(
            [](const std::wstring& log) {
                return log.find(L" 8 Show_Results Done\r\n") != std::wstring::npos;
            },
            10000));
        const std::wstring log = run.Log();
        // Values too long to show are shortened in the window only.
        EXPECT_NE(log.find(LogLine(6, L"setexportpath " + values[2])), std::wstring::npos);
        EXPECT_NE(log.find(LogLine(6, L"Requestnum " + values[4])), std::wstring::npos);
        EXPECT_EQ(log.find(values[1]), std::wstring::npos) << "password shown";
        run.Click(kCmdCancelId);
        EXPECT_EQ(run.WaitForExit(10000), 0);

        const auto calls = run.Calls();
        ASSERT_EQ(calls.size(), 15u);
        EXPECT_EQ(calls[2], "User.call LoginUser " + Bstr(values[0]) + " " + Bstr(values[1]));
        EXPECT_EQ(calls[4], "Viewer.put setexportpath " + Bstr(values[2]));
        EXPECT_EQ(calls[5], "Viewer.put SetDLLVer " + Bstr(values[3]));
        EXPECT_EQ(calls[6], "Viewer.put Requestnum " + Bstr(values[4]));
        EXPECT_EQ(calls[11], "Classes.put PDFPrintMode " + Bstr(values[5]));
    }
}

struct Switch {
    const char* name;
    std::wstring value;
    const wchar_t* printLine; // nullptr: the job fails in part 7
};

class PrintSwitchForms : public ProgramTest, public testing::WithParamInterface<Switch> {};

TEST_P(PrintSwitchForms, GiveTheDocumentedBranchOrTheConversionError) {
    const Switch& form = GetParam();
    StoreSetting(L"Settings", L"chkPrintRPT", form.value);
    ProgramRun run;
    ASSERT_TRUE(run.WaitForLog(
        [](const std::wstring& log) {
            return log.rfind(L"Brev", 0) == 0 || LogLines(log).size() >= 13;
        },
        10000));
    if (form.printLine) {
        EXPECT_EQ(LogLines(run.Log())[9], form.printLine);
    } else {
        EXPECT_EQ(run.Caption(),
                  L"Brevanto.exe Generate Settings\\chkPrintRPT is not a number: \"" + form.value +
                      L"\" Part:7");
    }
    run.Click(kCmdCancelId);
    EXPECT_EQ(run.WaitForExit(5000), form.printLine ? 0 : 1);
}

const Switch kSwitchForms[] = {
    {"Blanks", L"  1  ", L" 7 Loadviewer yes"},
    {"Decimal", L"1.0", L" 7 Loadviewer yes"},
    {"Exponent", L"1e0", L" 7 Loadviewer yes"},
    {"Plus", L"+1", L" 7 Loadviewer yes"},
    {"MinusZero", L"-0", L" 7 loadviewer no"},
    {"Two", L"2", L" 7 loadviewer no"},
    {"Hex", L"0x1", nullptr},
    {"NaN", L"NaN", nullptr},
    {"Inf", L"inf", nullptr},
    {"Comma", L"1,0", nullptr},
    {"FullWidth", L"\xFF11", nullptr},
    {"Empty", L"", nullptr},
};
INSTANTIATE_TEST_SUITE_P(Settings, PrintSwitchForms, testing::ValuesIn(kSwitchForms),
                         [](const testing::TestParamInfo<Switch>& info) {
                             return info.param.name;
                         });

TEST_F(ProgramTest, NegativeZeroViewModeIsViewOnly) {
    StoreSetting(L"Settings", L"ViewMode", L" -0.0 ");
    ProgramRun run;
    ASSERT_TRUE(run.WaitForLogLines(12, 10000));
    EXPECT_EQ(LogLines(run.Log())[8], L" 7 ViewMode 0  - View only");
    run.Click(kCmdCancelId);
    EXPECT_EQ(run.WaitForExit(5000), 0);
}

} // namespace
} // namespace brevanto::e2e
