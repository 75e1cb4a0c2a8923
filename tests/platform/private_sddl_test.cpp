#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "platform/security/accounts.h"
#include "platform/security/private_sddl.h"

namespace brevanto::platform_test {
namespace {

// The descriptor a dump and its folder are made with, as the system reads it back from the SDDL
// it is made of: a real descriptor, under Wine too, whatever Wine then stores on disk.
TEST(PrivateDescriptor, KeepsADumpToTheUserSystemAndAdministrators) {
    struct Case {
        const char* name;
        PrivateTo kind;
        std::string dacl;
    };
    const std::wstring sid = ReadCurrentAccount().sid;
    const Case cases[] = {
        {"the dump", PrivateTo::File, "D:P(A;;FA;;;" + Utf8(sid) + ")(A;;FA;;;SY)(A;;FA;;;BA)"},
        {"its folder", PrivateTo::Folder,
         "D:P(A;OICI;FA;;;" + Utf8(sid) + ")(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
            PrivateSddl(sid, c.kind).c_str(), SDDL_REVISION_1, &descriptor, nullptr));
        const UniqueLocal ownedDescriptor(descriptor);
        LPWSTR text = nullptr;
        ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorW(
            descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr));
        const UniqueLocal ownedText(text);
        EXPECT_EQ(Utf8(text), c.dacl);
    }
}

} // namespace
} // namespace brevanto::platform_test
