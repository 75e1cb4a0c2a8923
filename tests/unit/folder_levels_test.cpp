#include <gtest/gtest.h>

#include "platform/base/folder_levels.h"
#include "tests/unit/check_facts.h"

namespace brevanto::testing {
namespace {

std::wstring Listed(const std::vector<std::wstring>& levels) {
    std::wstring text;
    for (const std::wstring& level : levels)
        text += (text.empty() ? L"" : L" | ") + level;
    return text;
}

TEST(FolderLevels, WalksFromBelowTheRootDown) {
    struct Case {
        const char* name;
        std::wstring path;
        std::vector<std::wstring> levels;
    };
    const Case cases[] = {
        {"a drive", L"C:\\CrashDumps\\Brevanto", {L"C:\\CrashDumps", L"C:\\CrashDumps\\Brevanto"}},
        {"a profile folder",
         L"C:\\Users\\lab\\AppData\\Local\\CrashDumps",
         {L"C:\\Users", L"C:\\Users\\lab", L"C:\\Users\\lab\\AppData",
          L"C:\\Users\\lab\\AppData\\Local", L"C:\\Users\\lab\\AppData\\Local\\CrashDumps"}},
        {"a drive's root has none", L"C:\\", {}},
        {"trailing and doubled backslashes",
         L"C:\\Dumps\\\\Lab\\",
         {L"C:\\Dumps", L"C:\\Dumps\\Lab"}},
        {"a share",
         L"\\\\server\\share\\Dumps\\Lab",
         {L"\\\\server\\share\\Dumps", L"\\\\server\\share\\Dumps\\Lab"}},
        {"a share's root has none", L"\\\\server\\share", {}},
        {"a long path", L"\\\\?\\C:\\Dumps", {L"\\\\?\\C:\\Dumps"}},
        {"a long share path",
         L"\\\\?\\UNC\\server\\share\\Dumps",
         {L"\\\\?\\UNC\\server\\share\\Dumps"}},
        {"no root", L"Dumps\\Lab", {L"Dumps", L"Dumps\\Lab"}},
        {"forward slashes", L"C:/Dumps//Lab/", {L"C:\\Dumps", L"C:\\Dumps\\Lab"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::wstring> levels = FolderLevels(c.path);
        std::vector<std::string> narrow;
        for (const auto& level : levels)
            narrow.push_back(Narrow(level));
        std::vector<std::string> expected;
        for (const auto& level : c.levels)
            expected.push_back(Narrow(level));
        EXPECT_EQ(narrow, expected);
    }
}

TEST(LevelsFromDriveRoot, EveryFolderFromTheDrivesRootDown) {
    struct Case {
        const char* name;
        std::wstring path;
        std::wstring levels;
    };
    const Case cases[] = {
        {"a folder two levels down", L"C:\\Lab\\Brevanto", L"C:\\ | C:\\Lab | C:\\Lab\\Brevanto"},
        {"a trailing backslash", L"C:\\Lab\\Brevanto\\", L"C:\\ | C:\\Lab | C:\\Lab\\Brevanto"},
        {"doubled and forward slashes", L"d:/Lab//Brevanto", L"d:\\ | d:\\Lab | d:\\Lab\\Brevanto"},
        {"blanks and dots in names", L"C:\\Program Files (x86)\\ZELTAR v1.2",
         L"C:\\ | C:\\Program Files (x86) | C:\\Program Files (x86)\\ZELTAR v1.2"},
        {"the root alone", L"C:\\", L"C:\\"},
        {"a network path", L"\\\\server\\share\\Brevanto", L""},
        {"a drive-relative path", L"C:Lab", L""},
        {"no drive letter", L"1:\\Lab", L""},
        {"empty", L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Narrow(Listed(LevelsFromDriveRoot(c.path))), Narrow(c.levels));
    }
}

TEST(FolderLevels, TheFinalPathIsGivenInTheFormThePathWasAskedFor) {
    struct Case {
        const char* name;
        std::wstring final;
        std::wstring path;
    };
    const Case cases[] = {
        {"a drive letter", L"\\\\?\\C:\\Lab\\Brevanto", L"C:\\Lab\\Brevanto"},
        {"a drive's root", L"\\\\?\\C:\\", L"C:\\"},
        {"a network share", L"\\\\?\\UNC\\server\\share\\x", L"\\\\server\\share\\x"},
        {"no prefix", L"C:\\Lab", L"C:\\Lab"},
        {"a volume name is left as it is", L"\\\\?\\Volume{1234}\\Lab", L"Volume{1234}\\Lab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Narrow(DosPathOfFinalPath(c.final)), Narrow(c.path));
    }
}

TEST(FolderLevels, A32BitProcessOn64BitWindowsOpensWhereTheRedirectorSendsIt) {
    struct Case {
        const char* name;
        std::wstring path;
        std::wstring opened;
    };
    const Case cases[] = {
        {"System32 itself", L"C:\\Windows\\System32", L"C:\\Windows\\SysWOW64"},
        {"a DLL in System32, any case", L"c:\\windows\\system32\\ole32.dll",
         L"C:\\Windows\\SysWOW64\\ole32.dll"},
        {"a folder in System32", L"C:\\Windows\\System32\\wbem\\x.dll",
         L"C:\\Windows\\SysWOW64\\wbem\\x.dll"},
        {"lastgood", L"C:\\Windows\\lastgood\\System32\\a.dll",
         L"C:\\Windows\\lastgood\\SysWOW64\\a.dll"},
        {"spool is left alone", L"C:\\Windows\\System32\\spool\\drivers",
         L"C:\\Windows\\System32\\spool\\drivers"},
        {"drivers\\etc is left alone", L"C:\\Windows\\System32\\drivers\\etc\\hosts",
         L"C:\\Windows\\System32\\drivers\\etc\\hosts"},
        {"drivers itself is not", L"C:\\Windows\\System32\\drivers\\x.sys",
         L"C:\\Windows\\SysWOW64\\drivers\\x.sys"},
        {"catroot2 is left alone, catroot3 is not", L"C:\\Windows\\System32\\catroot3",
         L"C:\\Windows\\SysWOW64\\catroot3"},
        {"Sysnative is the real System32", L"C:\\Windows\\Sysnative\\a.dll",
         L"C:\\Windows\\System32\\a.dll"},
        {"regedit", L"C:\\Windows\\regedit.exe", L"C:\\Windows\\SysWOW64\\regedit.exe"},
        {"a name that only starts like System32", L"C:\\Windows\\System32x\\a.dll",
         L"C:\\Windows\\System32x\\a.dll"},
        {"another folder", L"C:\\Program Files\\ZELTAR\\a.dll",
         L"C:\\Program Files\\ZELTAR\\a.dll"},
        {"another Windows folder", L"D:\\Windows\\System32\\a.dll",
         L"D:\\Windows\\System32\\a.dll"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Narrow(Wow64RedirectedPath(c.path, L"C:\\Windows\\")), Narrow(c.opened));
    }
}

} // namespace
} // namespace brevanto::testing
