#include <gtest/gtest.h>

#include "packaging/install_folder_data.h"
#include "tests/unit/check_facts.h"

namespace brevanto::testing {
namespace {

using setup::InstallFolderData;

TEST(InstallFolderData, TheDeferredActionReadsTheFolderAndTheAllowanceItWasHanded) {
    struct Case {
        const char* name;
        std::wstring text;
        bool read;
        std::wstring folder;
        bool allowWritable;
    };
    const Case cases[] = {
        {"a folder", L"C:\\Lab\\Brevanto\\|0", true, L"C:\\Lab\\Brevanto\\", false},
        {"writable allowed", L"D:\\Lab|1", true, L"D:\\Lab", true},
        {"blanks and a semicolon", L"C:\\Lab; old\\x y|0", true, L"C:\\Lab; old\\x y", false},
        {"empty", L"", false, L"", false},
        {"no flag", L"C:\\Lab", false, L"", false},
        {"an unknown flag", L"C:\\Lab|yes", false, L"", false},
        {"no folder", L"|1", false, L"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto data = InstallFolderData::Read(c.text);
        ASSERT_EQ(data.has_value(), c.read);
        if (!data)
            continue;
        EXPECT_EQ(Narrow(data->folder), Narrow(c.folder));
        EXPECT_EQ(data->allowWritable, c.allowWritable);
        EXPECT_EQ(Narrow(data->Text()), Narrow(c.text));
    }
}

} // namespace
} // namespace brevanto::testing
