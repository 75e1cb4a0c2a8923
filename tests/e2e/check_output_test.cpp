#include "tests/e2e/check_run.h"

#include <windows.h>

#include <fstream>
#include <iterator>

#include "platform/base/program_directory.h"
#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "tests/conformance/conformance.h"
#include "tests/support/folder_link.h"

namespace brevanto::e2e {
namespace {

// The value of a JSON string that starts at the quote at 'at', decoded: the inverse of the
// check's escaping, as a strict reader would do it.
std::wstring JsonStringAt(const std::wstring& json, std::size_t at) {
    std::wstring text;
    for (std::size_t i = at + 1; i < json.size() && json[i] != L'"'; ++i) {
        if (json[i] != L'\\') {
            text += json[i];
            continue;
        }
        const wchar_t kind = json[++i];
        if (kind == L'u') {
            text += static_cast<wchar_t>(std::stoul(json.substr(i + 1, 4), nullptr, 16));
            i += 4;
        } else {
            text += kind == L'n' ? L'\n' : kind == L'r' ? L'\r' : kind == L't' ? L'\t' : kind;
        }
    }
    return text;
}

// The value the JSON gives for a setting.
std::wstring SettingValue(const std::wstring& json, const std::wstring& key) {
    const auto setting = json.find(L"\"key\":\"" + key + L"\"");
    const auto value = json.find(L"\"value\":", setting);
    if (setting == std::wstring::npos || value == std::wstring::npos)
        return L"(no value of " + key + L")";
    return JsonStringAt(json, value + 8);
}

bool IsPlainAscii(const std::string& bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80 || (c < 0x20 && c != '\n'))
            return false;
    return true;
}

TEST_F(NewLabUser, StoredControlCharactersAndBidiOverridesCannotForgeReportLines) {
    const std::wstring username = L"lab\x1B[31mtech\r\nready";
    const std::wstring requestnum = L"2026\u202E1-\u2066\x85\x7F";
    StoreSetting(L"LogInData", L"Username", username);
    StoreSetting(L"ExeParameters", L"Requestnum", requestnum);
    const CheckRun run = RunCheck();
    const std::wstring& report = run.output;
    EXPECT_EQ(run.status, 0) << Utf8(report);
    EXPECT_NE(
        report.find(Row(L"LogInData\\\\Username", L"stored    \"lab\\u001B[31mtech\\r\\nready\"")),
        std::wstring::npos)
        << Utf8(report);
    EXPECT_NE(report.find(Row(L"ExeParameters\\\\Requestnum",
                              L"stored    \"2026\\u202E1-\\u2066\\u0085\\u007F\"")),
              std::wstring::npos)
        << Utf8(report);
    // No line of the report starts with the forged "ready", and nothing raw is left.
    EXPECT_EQ(report.find(L"\nready\"\r\n"), std::wstring::npos);
    for (std::size_t i = 0; i < report.size(); ++i) {
        const wchar_t c = report[i];
        if (c == L'\n' && i > 0 && report[i - 1] == L'\r')
            continue;
        if (c == L'\r' && i + 1 < report.size() && report[i + 1] == L'\n')
            continue;
        EXPECT_FALSE(c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) ||
                     (c >= 0x2066 && c <= 0x2069))
            << "character " << static_cast<unsigned>(c) << " at " << i;
    }
}

TEST_F(NewLabUser, ANonAsciiUserNameArrivesInPlainAsciiJsonAndReadsBackExactly) {
    const std::wstring username = L"M\u00fcller \u7530\u4e2d \xD83D\xDE00 \u202Eq\"\\";
    StoreSetting(L"LogInData", L"Username", username);
    const CheckRun run = RunCheck(L" --json");
    EXPECT_EQ(run.status, 0) << Utf8(run.output);
    EXPECT_TRUE(IsPlainAscii(run.bytes)) << run.bytes;
    EXPECT_NE(run.bytes.find(R"("value":"M\u00fcller \u7530\u4e2d \ud83d\ude00 \u202eq\"\\")"),
              std::string::npos)
        << run.bytes;
    EXPECT_EQ(Utf8(SettingValue(run.output, L"Username")), Utf8(username));
}

// The account the driver, and so the check it starts, runs as.
struct DriverAccount {
    std::wstring user;
    bool elevated = false;
};
DriverAccount ThisAccount() {
    DriverAccount account;
    wchar_t name[256];
    DWORD size = 256;
    if (GetUserNameW(name, &size))
        account.user = name;
    UniqueHandle token;
    TOKEN_ELEVATION elevation{};
    DWORD length = 0;
    account.elevated =
        OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put()) &&
        GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &length) &&
        elevation.TokenIsElevated;
    return account;
}

TEST_F(NewLabUser, TheReportNamesTheAccountItRanAs) {
    const DriverAccount account = ThisAccount();
    ASSERT_FALSE(account.user.empty());
    const CheckRun json = RunCheck(L" --json");
    const auto at = json.output.find(L"\"account\":{\"name\":");
    ASSERT_NE(at, std::wstring::npos) << Utf8(json.output);
    const std::wstring name = JsonStringAt(json.output, at + 18);
    EXPECT_EQ(name.substr(name.rfind(L'\\') + 1), account.user);
    const auto sidAt = json.output.find(L"\"sid\":", at);
    const std::wstring sid = JsonStringAt(json.output, sidAt + 6);
    EXPECT_EQ(sid.rfind(L"S-1-5-21-", 0), 0u) << Utf8(sid);
    EXPECT_NE(json.output.find(L"\"sid\":\"" + sid + L"\",\"elevated\":" +
                                   (account.elevated ? L"true" : L"false") +
                                   L",\"serviceAccount\":false}",
                               at),
              std::wstring::npos)
        << Utf8(json.output);

    const CheckRun text = RunCheck();
    EXPECT_NE(text.output.find(
                  Row(L"Account", Shown(name) + L" (" + sid + L")" +
                                      (account.elevated ? L", elevated" : L", not elevated"))),
              std::wstring::npos)
        << Utf8(text.output);
    // Wine runs every process elevated; the note says so, and it is no problem.
    if (account.elevated) {
        EXPECT_NE(text.output.find(L"\r\n  - the check ran elevated: the components were created "
                                   L"with administrator rights"),
                  std::wstring::npos)
            << Utf8(text.output);
    }
    EXPECT_EQ(text.status, 0);
    // Not a service account: asking to create the components as this account changes nothing.
    const CheckRun anyway = RunCheck(L" --create-as-this-account");
    EXPECT_EQ(anyway.status, 0) << Utf8(anyway.output);
    EXPECT_EQ(anyway.output, text.output);
}

TEST_F(NewLabUser, OutWritesTheReportToAFileAndNothingToTheStandardOutput) {
    StoreSetting(L"LogInData", L"Username", L"M\u00fcller");
    struct Case {
        const char* name;
        const wchar_t* arguments;
        char first; // the file's first byte: no byte order mark before it
    };
    const Case cases[] = {{"text", L"", 'B'}, {"json", L" --json", '{'}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path =
            TempFolder() + L"\\brevanto check \u00e9 " + std::wstring(1, c.first) + L".out";
        DeleteFileW(path.c_str());
        const CheckRun toFile = RunCheck(std::wstring(c.arguments) + L" --out \"" + path + L"\"");
        EXPECT_EQ(toFile.status, 0);
        EXPECT_EQ(toFile.bytes, "");
        std::ifstream file(path.c_str(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), {}};
        file.close();
        DeleteFileW(path.c_str());
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(bytes[0], c.first);
        // The same report as on the standard output, in UTF-8.
        const CheckRun toOutput = RunCheck(c.arguments);
        EXPECT_EQ(bytes, toOutput.bytes);
        EXPECT_NE(FromUtf8(bytes).find(c.first == '{' ? L"M\\u00fcller" : L"M\u00fcller"),
                  std::wstring::npos)
            << bytes;
    }

    const CheckRun refused = RunCheck(L" --out C:\\no\\such\\folder\\check.txt");
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(
        refused.output.find(
            L"brevanto-check: cannot write C:\\\\no\\\\such\\\\folder\\\\check.txt (error 3)"),
        std::wstring::npos)
        << Utf8(refused.output);
    EXPECT_EQ(RunCheck(L" --out").status, 2);
}

std::string FileText(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string{std::istreambuf_iterator<char>(file), {}};
}

// Run as SYSTEM or elevated, the check must not write through a link a standard user planted: a
// hard link to a file the user may not write, or a link on the way to its folder.
TEST_F(NewLabUser, OutRefusesAFileWithAnotherNameOrALinkOnTheWayAndWritesNothingThere) {
    const std::wstring kept = TempFolder() + L"\\brevanto-out-kept.txt";
    const std::wstring hardLink = TempFolder() + L"\\brevanto-out-hard-link.txt";
    DeleteFileW(hardLink.c_str());
    {
        std::ofstream file(kept.c_str(), std::ios::binary);
        file << "kept";
    }
    ASSERT_TRUE(CreateHardLinkW(hardLink.c_str(), kept.c_str(), nullptr)) << GetLastError();
    const CheckRun hard = RunCheck(L" --out \"" + hardLink + L"\"");
    DeleteFileW(hardLink.c_str());
    EXPECT_EQ(hard.status, 2);
    EXPECT_NE(hard.output.find(L"brevanto-check: cannot write " + Shown(hardLink) +
                               L" (refused: it has 2 names (hard links), and writing it would "
                               L"change the file under its other names)"),
              std::wstring::npos)
        << Utf8(hard.output);
    EXPECT_EQ(FileText(kept), "kept");
    DeleteFileW(kept.c_str());

    const support::FolderLink link;
    if (!link.Made())
        BREVANTO_SKIP(runner::kNotApplicableSkip, Utf8(link.Why()));
    const std::wstring through = link.Link() + L"\\check.txt";
    DeleteFileW((link.Target() + L"\\check.txt").c_str()); // left by a run that failed
    const CheckRun linked = RunCheck(L" --out \"" + through + L"\"");
    EXPECT_EQ(linked.status, 2);
    EXPECT_NE(linked.output.find(L"brevanto-check: cannot write " + Shown(through) +
                                 L" (refused: a link on the way leads it to " +
                                 Shown(link.Target()) + L"\\\\check.txt)"),
              std::wstring::npos)
        << Utf8(linked.output);
    // The file made to look at it is gone again.
    EXPECT_EQ(GetFileAttributesW((link.Target() + L"\\check.txt").c_str()),
              INVALID_FILE_ATTRIBUTES);
}

} // namespace
} // namespace brevanto::e2e
