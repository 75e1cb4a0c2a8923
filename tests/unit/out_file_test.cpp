#include <gtest/gtest.h>

#include "check/core/out_file.h"
#include "tests/unit/check_facts.h"

namespace brevanto::testing {
namespace {

TEST(OutFile, TheReportIsWrittenOnlyIntoAPlainFileWithOneNameWhereItWasAskedFor) {
    struct Case {
        const char* name;
        check::OutFileFacts facts;
        std::wstring refusal; // empty: written
    };
    const std::wstring asked = L"C:\\Reports\\check.json";
    const Case cases[] = {
        {"a new file", {false, 1, asked, asked}, L""},
        {"the final path spelt in another case",
         {false, 1, asked, L"c:\\REPORTS\\Check.JSON"},
         L""},
        {"a symbolic link", {true, 1, asked, asked}, L"it is a link (a reparse point)"},
        {"a link with another name too",
         {true, 2, asked, L"C:\\Windows\\win.ini"},
         L"it is a link (a reparse point)"},
        {"a hard link to another file",
         {false, 2, asked, asked},
         L"it has 2 names (hard links), and writing it would change the file under its other "
         L"names"},
        {"a junction on the way",
         {false, 1, asked, L"C:\\Windows\\System32\\drivers\\etc\\check.json"},
         L"a link on the way leads it to C:\\Windows\\System32\\drivers\\etc\\check.json"},
        {"a longer final path",
         {false, 1, asked, asked + L".txt"},
         L"a link on the way leads it to C:\\Reports\\check.json.txt"},
        {"no final path", {false, 1, asked, L""}, L"where it leads could not be read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Narrow(check::OutFileRefusal(c.facts)), Narrow(c.refusal));
    }
}

} // namespace
} // namespace brevanto::testing
