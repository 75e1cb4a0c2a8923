#include "tests/e2e/program_test.h"

#include "app/window_layout.h"
#include "report/run_log.h"

namespace brevanto::e2e {
namespace {

struct Key {
    const wchar_t* section;
    const wchar_t* key;
    bool number; // read as a number, so not used as text
};
const Key kKeys[] = {
    {L"LogInData", L"Username", false},       {L"LogInData", L"Password", false},
    {L"SaveDirectories", L"Convert", false},  {L"Settings", L"txtReportDLLVersion", false},
    {L"ExeParameters", L"Requestnum", false}, {L"Settings", L"ViewMode", true},
    {L"Settings", L"PDFPrintMode", false},    {L"Settings", L"chkPrintRPT", true},
    {L"Settings", L"chkCRW85Export", true},
};

// Runs the job to its end, ends the program with Cancel and checks it behaved as with an empty
// store.
void ExpectEmptyStoreRun() {
    ProgramRun run;
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    EXPECT_EQ(LogLines(run.Log()), EmptyStoreLog(ProgramDirectory()));
    EXPECT_EQ(run.EndWithCancel(5000), 0);
    EXPECT_EQ(run.Calls(), EmptyStoreCalls(ProgramDirectory()));
}

TEST_F(ProgramTest, ValuesOfOtherRegistryTypesCountAsAbsent) {
    const DWORD zero = 0;
    const BYTE binary[] = {'0', 0, 0, 0};
    const wchar_t multi[] = L"0\0"
                            L"1\0";
    struct Raw {
        DWORD type;
        const void* data;
        std::size_t size;
    };
    const Raw kinds[] = {
        {REG_DWORD, &zero, sizeof zero},
        {REG_BINARY, binary, sizeof binary},
        {REG_MULTI_SZ, multi, sizeof multi},
    };
    int i = 0;
    for (const auto& [section, key, number] : kKeys) {
        const Raw& raw = kinds[i++ % 3];
        StoreRawSetting(section, key, raw.type, raw.data, raw.size);
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
    StoreRawSetting(L"SaveDirectories", L"Convert", REG_EXPAND_SZ, folder.c_str(),
                    (folder.size() + 1) * sizeof(wchar_t));
    ProgramRun run;
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    EXPECT_EQ(LogLines(run.Log())[5], L" 6 setexportpath " + folder);
    EXPECT_EQ(run.EndWithCancel(5000), 0);
    EXPECT_EQ(run.Calls()[4], "Viewer.put setexportpath " + Bstr(folder));
}

TEST_F(ProgramTest, AwkwardTextReachesComponentsAndLogUnchanged) {
    for (const bool huge : {false, true}) {
        SCOPED_TRACE(huge ? "1 MiB each" : "control characters");
        ClearSettings();
        std::vector<std::wstring> values;
        int n = 0;
        for (const auto& [section, key, number] : kKeys) {
            if (number)
                continue;
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
        EXPECT_EQ(run.EndWithCancel(10000), 0);

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
    EXPECT_EQ(run.EndWithCancel(5000), form.printLine ? 0 : 1);
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
INSTANTIATE_TEST_SUITE_P(Settings, PrintSwitchForms, testing::ValuesIn(kSwitchForms), kRowName);

TEST_F(ProgramTest, NegativeZeroViewModeIsViewOnly) {
    StoreSetting(L"Settings", L"ViewMode", L" -0.0 ");
    ProgramRun run;
    ASSERT_TRUE(run.WaitForLogLines(12, 10000));
    EXPECT_EQ(LogLines(run.Log())[8], L" 7 ViewMode 0  - View only");
    EXPECT_EQ(run.EndWithCancel(5000), 0);
}

} // namespace
} // namespace brevanto::e2e
