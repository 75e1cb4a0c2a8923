#include "tests/e2e/check_run.h"

#include <windows.h>

#include <sddl.h>

#include <algorithm>

#include "platform/base/program_directory.h"
#include "platform/base/unique_resource.h"
#include "platform/base/utf8.h"
#include "platform/security/accounts.h"
#include "tests/conformance/conformance.h"
#include "tests/support/folder_link.h"

namespace brevanto::e2e {
namespace {

std::wstring Standin() {
    return ProgramDirectory() + L"\\BrevantoStandin.dll";
}

void SetPermissions(const std::wstring& path, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    const UniqueLocal held(descriptor);
    ASSERT_TRUE(SetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, descriptor))
        << GetLastError();
}

bool ViewerCreated(const std::vector<JournalCall>& journal) {
    return std::any_of(journal.begin(), journal.end(), [](const JournalCall& line) {
        return line.kind == "create" && line.object == "Viewer";
    });
}

std::wstring ViewerSection(const std::wstring& report) {
    const auto start = report.find(L"Viewer component \"velmonic.labresultviewer\"");
    const auto end = report.find(L"\r\n\r\n", start);
    return start == std::wstring::npos ? L"" : report.substr(start, end + 2 - start);
}

// The viewer's DLL in a folder of the system drive's root that everyone may write to (what Wine
// also reports for a folder whose Unix mode lets others write), the DLL itself only
// administrators'. Windows makes the folder's owner Administrators for an elevated one only.
class WritableViewerFolder : public NewLabUser {
protected:
    void SetUp() override {
        if (!ProcessIsElevated())
            BREVANTO_SKIP(runner::kNeedsElevationSkip,
                          "a folder a standard user makes is theirs, and so not trusted");
        NewLabUser::SetUp();
        Remove();
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr)) << GetLastError();
        ASSERT_TRUE(CopyFileW(Standin().c_str(), dll_.c_str(), FALSE)) << GetLastError();
        SetPermissions(dll_, L"D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200a9;;;WD)");
        SetPermissions(folder_, L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301ff;;;WD)");
    }
    void TearDown() override {
        Remove();
        NewLabUser::TearDown();
    }

    const std::wstring folder_ = L"C:\\BrevantoWritableViewer";
    const std::wstring dll_ = folder_ + L"\\BrevantoStandin.dll";

private:
    void Remove() {
        SetFileAttributesW(dll_.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(dll_.c_str());
        RemoveDirectoryW(folder_.c_str());
    }
};

// The check runs no code it has not judged: the old check created the viewer from that folder
// first and judged it afterwards.
TEST_F(WritableViewerFolder, CheckDoesNotCreateAComponentFromAFolderOthersMayChangeAndSaysWhy) {
    CheckRun run;
    {
        const ServerPathReplaced viewer(kViewerClsidKey, dll_);
        run = RunCheck();
    }
    const std::wstring& report = run.output;
    EXPECT_EQ(run.status, 1) << Utf8(report);
    EXPECT_NE(ViewerSection(report).find(Row(L"Created",
                                             L"not tried: non-administrators can change C:\\\\"
                                             L"BrevantoWritableViewer")),
              std::wstring::npos)
        << Utf8(report);
    EXPECT_NE(report.find(L"\r\n  1. Writable by non-administrators: C:\\\\BrevantoWritableViewer "
                          L"(viewer component), by Everyone (S-1-1-0): add files, add folders, "
                          L"delete files, delete or rename the folder, write the files it holds, "
                          L"delete the files it holds: let only SYSTEM and Administrators change "
                          L"it, the folders above it and what it holds"),
              std::wstring::npos)
        << Utf8(report);
    EXPECT_NE(report.find(L"\r\n\r\n1 problem\r\n"), std::wstring::npos) << Utf8(report);
    // The user component, from the program folder, was made and released as always.
    EXPECT_FALSE(ViewerCreated(run.journal));
    EXPECT_TRUE(EveryObjectReleased(run.journal));
    EXPECT_TRUE(std::any_of(run.journal.begin(), run.journal.end(), [](const JournalCall& line) {
        return line.kind == "create" && line.object == "User";
    }));
}

TEST_F(NewLabUser, CheckDoesNotCreateAComponentReachedThroughALink) {
    const support::FolderLink link;
    if (!link.Made())
        BREVANTO_SKIP(runner::kNotApplicableSkip, Utf8(link.Why()));
    const std::wstring copy = link.Target() + L"\\BrevantoStandin.dll";
    ASSERT_TRUE(CopyFileW(Standin().c_str(), copy.c_str(), FALSE)) << GetLastError();
    CheckRun run;
    {
        const ServerPathReplaced viewer(kViewerClsidKey, link.Link() + L"\\BrevantoStandin.dll");
        run = RunCheck();
    }
    DeleteFileW(copy.c_str());
    const std::wstring& report = run.output;
    EXPECT_EQ(run.status, 1) << Utf8(report);
    EXPECT_NE(ViewerSection(report).find(
                  Row(L"Created", L"not tried: " + Shown(link.Link()) + L" could not be judged")),
              std::wstring::npos)
        << Utf8(report);
    EXPECT_NE(report.find(L"\r\n  1. " + Shown(link.Link()) +
                          L" (viewer component) could not be judged: \"" + Shown(link.Link()) +
                          L"\" "),
              std::wstring::npos)
        << Utf8(report);
    EXPECT_FALSE(ViewerCreated(run.journal));
}

// Whether this system puts a process already in a job into a second one (Windows 8 on, Wine 8).
bool JobsNest() {
    const UniqueHandle outer(CreateJobObjectW(nullptr, nullptr));
    const UniqueHandle inner(CreateJobObjectW(nullptr, nullptr));
    wchar_t system[MAX_PATH];
    std::wstring cmd = std::wstring(system, GetSystemDirectoryW(system, MAX_PATH)) + L"\\cmd.exe";
    std::wstring line = L"cmd /c exit";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(cmd.c_str(), line.data(), nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info))
        return false;
    const UniqueHandle process(info.hProcess);
    const UniqueHandle thread(info.hThread);
    const bool nests = AssignProcessToJobObject(outer.Get(), process.Get()) &&
                       AssignProcessToJobObject(inner.Get(), process.Get());
    TerminateProcess(process.Get(), 0);
    return nests;
}

// Run by Task Scheduler or over WinRM the check is in a job that may let its processes break away.
// Where jobs nest, its creation processes stay in that job (inside the check's own), as the
// caller asked; the old check always broke them away.
TEST_F(NewLabUser, CheckCreationProcessesStayInTheCallersJobWhereJobsNest) {
    if (!JobsNest())
        BREVANTO_SKIP(runner::kNotApplicableSkip, "jobs do not nest here (Windows 7)");
    const UniqueHandle job(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_BREAKAWAY_OK;
    ASSERT_TRUE(SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits,
                                        sizeof limits));
    const CheckRun run = RunCheck(L"", L"", 30000, job.Get());
    EXPECT_EQ(run.status, 0) << Utf8(run.output);
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    ASSERT_TRUE(QueryInformationJobObject(job.Get(), JobObjectBasicAccountingInformation,
                                          &accounting, sizeof accounting, nullptr));
    // The check and a creation process for each of the two classes.
    EXPECT_EQ(accounting.TotalProcesses, 3u);
}

} // namespace
} // namespace brevanto::e2e
