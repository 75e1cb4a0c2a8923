#include "tests/e2e/check_run.h"

#include <windows.h>

#include "platform/program_directory.h"
#include "platform/utf8.h"
#include "tests/support/settings.h"

namespace brevanto::e2e {
namespace {

void StoreUserText(const std::wstring& key, const std::wstring& name, const std::wstring& text) {
    support::StoreUserValue(key, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

// The viewer registered again for this user alone, with a copy of the stand-ins' DLL.
class UserRegistration {
public:
    UserRegistration() {
        EXPECT_TRUE(CopyFileW(Standin().c_str(), Copy().c_str(), FALSE));
        StoreUserText(Key() + L"\\InprocServer32", L"", Copy());
        StoreUserText(Key() + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    }
    ~UserRegistration() {
        support::DeleteUserKey(Key());
        DeleteFileW(Copy().c_str());
    }
    UserRegistration(const UserRegistration&) = delete;
    UserRegistration& operator=(const UserRegistration&) = delete;

    static std::wstring Standin() { return ProgramDirectory() + L"\\BrevantoStandin.dll"; }
    static std::wstring Copy() { return TempFolder() + L"\\BrevantoStandin-user.dll"; }

private:
    static std::wstring Key() { return L"Software\\Classes\\" + std::wstring(kViewerClsidKey); }
};

TEST_F(NewLabUser, AUserRegistrationOverTheMachinesIsAProblemAndTheDllThatServedIsNamed) {
    CheckRun run;
    {
        const UserRegistration registration;
        run = RunCheck();
    }
    const std::wstring& report = run.output;
    EXPECT_EQ(run.status, 1) << Utf8(report);
    const std::wstring copy = UserRegistration::Copy();
    const std::wstring standin = UserRegistration::Standin();
    for (const std::wstring& line :
         {Row(L"Registered", L"for this user (HKEY_CURRENT_USER\\Software\\Classes), over the "
                             L"machine's registration of " +
                                 standin),
          Row(L"Server", L"InprocServer32 " + copy),
          L"  1. \"velmonic.labresultviewer\" (viewer component) is registered for this user "
          L"(HKEY_CURRENT_USER\\Software\\Classes) over the machine's registration: Brevanto would "
          L"load " +
              copy + L", not the machine's " + standin +
              L": remove this user's registration of the class, so that the machine's "
              L"applies.\r\n"})
        EXPECT_NE(report.find(line), std::wstring::npos) << Utf8(line) << "\n" << Utf8(report);

    // The machine's registration under the user's needs an elevated run to set up (NewLabUser
    // skips otherwise), and an elevated process does not load the user's classes: Windows creates
    // the object from the machine's DLL, as Wine does, which merges no user classes at all. The
    // check says which DLL served, and under Wine names Wine as the reason.
    EXPECT_NE(report.find(Row(L"Served by", standin + L", not the registered DLL")),
              std::wstring::npos)
        << Utf8(report);
    const std::wstring note = L"  - \"velmonic.labresultviewer\" was served by " + standin +
                              L", not by the registered " + copy;
    EXPECT_TRUE(
        report.find(note + L".\r\n") != std::wstring::npos ||
        WineOnly(report.find(note + L" (Wine does not merge the user's classes into the "
                                    L"classes root; Windows does).\r\n") != std::wstring::npos,
                 "Wine does not merge the user's classes into the classes root, and the "
                 "check's note says so"))
        << Utf8(note) << "\n"
        << Utf8(report);
}

} // namespace
} // namespace brevanto::e2e
