#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/base/nt_path.h"
#include "platform/security/private_sddl.h"

// The rules a crash record follows where it touches files: naming the faulting module from the
// file the system mapped, walking a dump folder's levels, and the descriptor a dump is kept by.
namespace brevanto::testing {
namespace {

std::string Narrow(std::wstring_view text) {
    return std::string(text.begin(), text.end());
}

TEST(DosPathOf, NamesAMappedFileAsAPersonKnowsIt) {
    const DriveDevice drives[] = {
        {L'C', L"\\Device\\HarddiskVolume3"},
        {L'D', L"\\Device\\HarddiskVolume1"},
        {L'E', L"\\Device\\HarddiskVolume10"},
    };
    struct Case {
        const char* name;
        std::wstring ntPath;
        std::wstring dosPath;
    };
    const Case cases[] = {
        {"a drive", L"\\Device\\HarddiskVolume3\\Lab\\x.dll", L"C:\\Lab\\x.dll"},
        {"the device's case does not matter", L"\\device\\harddiskvolume3\\Lab\\x.dll",
         L"C:\\Lab\\x.dll"},
        {"a device named like the start of another", L"\\Device\\HarddiskVolume10\\x.dll",
         L"E:\\x.dll"},
        {"the shorter one", L"\\Device\\HarddiskVolume1\\x.dll", L"D:\\x.dll"},
        {"Wine's DOS devices", L"\\??\\Z:\\work\\bin\\BrevantoStandin.dll",
         L"Z:\\work\\bin\\BrevantoStandin.dll"},
        {"a share", L"\\Device\\Mup\\server\\share\\x.dll", L"\\\\server\\share\\x.dll"},
        {"a share by its DOS device", L"\\??\\UNC\\server\\share\\x.dll",
         L"\\\\server\\share\\x.dll"},
        {"a device no drive maps", L"\\Device\\HarddiskVolume7\\x.dll",
         L"\\Device\\HarddiskVolume7\\x.dll"},
        {"a device with nothing after it", L"\\Device\\HarddiskVolume3",
         L"\\Device\\HarddiskVolume3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        wchar_t out[128];
        const std::size_t length = DosPathOf(c.ntPath, drives, out, std::size(out));
        EXPECT_EQ(Narrow(std::wstring_view(out, length)), Narrow(c.dosPath));
        EXPECT_EQ(out[length], L'\0');
    }
}

TEST(DosPathOf, GivesNothingWhenThePathDoesNotFit) {
    struct Case {
        const char* name;
        std::size_t capacity;
        std::size_t length;
    };
    // "C:\x.dll" is 8 characters and its NUL.
    const Case cases[] = {{"room for it", 9, 8}, {"no room for the NUL", 8, 0}, {"none", 0, 0}};
    const DriveDevice drives[] = {{L'C', L"\\Device\\HarddiskVolume3"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        wchar_t out[16];
        EXPECT_EQ(DosPathOf(L"\\Device\\HarddiskVolume3\\x.dll", drives, out, c.capacity),
                  c.length);
    }
}

TEST(PrivateSddl, KeepsAFileOrFolderToTheUserSystemAndAdministrators) {
    struct Case {
        const char* name;
        std::wstring sid;
        PrivateTo kind;
        std::wstring sddl;
    };
    const Case cases[] = {
        {"a dump", L"S-1-5-21-1-2-3-1001", PrivateTo::File,
         L"D:P(A;;FA;;;S-1-5-21-1-2-3-1001)(A;;FA;;;SY)(A;;FA;;;BA)"},
        {"a dump folder", L"S-1-5-21-1-2-3-1001", PrivateTo::Folder,
         L"D:P(A;OICI;FA;;;S-1-5-21-1-2-3-1001)(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)"},
        {"no account read", L"", PrivateTo::File, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Narrow(PrivateSddl(c.sid, c.kind)), Narrow(c.sddl));
    }
}

} // namespace
} // namespace brevanto::testing
