#include <gtest/gtest.h>

#include "platform/folder_levels.h"
#include "tests/unit/check_facts.h"

namespace brevanto::testing {
namespace {

std::wstring Listed(const std::vector<std::wstring>& levels) {
    std::wstring text;
    for (const std::wstring& level : levels)
        text += (text.empty() ? L"" : L" | ") + level;
    return text;
}

TEST(FolderLevels, EveryFolderFromTheDrivesRootDown) {
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
        EXPECT_EQ(Narrow(Listed(FolderLevels(c.path))), Narrow(c.levels));
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

} // namespace
} // namespace brevanto::testing
