#include <gtest/gtest.h>

#include "check/core/judgement.h"
#include "check/core/program_folders.h"
#include "check/core/report_output.h"
#include "tests/unit/check_facts.h"

namespace brevanto::testing {
namespace {

using check::WorkstationFacts;

check::ClassFacts Viewer(const std::wstring& serverPath) {
    check::ClassFacts c = ReadyClass();
    c.role = L"viewer component";
    c.progId = L"velmonic.labresultviewer";
    c.serverPath = serverPath;
    return c;
}

std::wstring Listed(const std::vector<check::FolderToJudge>& folders) {
    std::wstring text;
    for (const auto& folder : folders)
        text += (text.empty() ? L"" : L"; ") + folder.path + L" (" + folder.roles + L")";
    return text;
}

TEST(ProgramFolders, TheProgramFolderAndEachComponentDllsFolderAreJudgedOnce) {
    struct Case {
        const char* name;
        std::function<void(WorkstationFacts&)> change;
        std::wstring folders;
    };
    const Case cases[] = {
        {"beside the components", [](auto&) {}, L"C:\\Lab (program folder, user component)"},
        {"components elsewhere",
         [](auto& f) { f.classes.push_back(Viewer(L"D:\\Viewer\\viewer.dll")); },
         L"C:\\Lab (program folder, user component); D:\\Viewer (viewer component)"},
        {"same folder written otherwise",
         [](auto& f) { f.classes.push_back(Viewer(L"c:/LAB/viewer.dll")); },
         L"C:\\Lab (program folder, user component, viewer component)"},
        {"a DLL in a drive's root", [](auto& f) { f.classes[0].serverPath = L"D:\\user.dll"; },
         L"C:\\Lab (program folder); D:\\ (user component)"},
        {"a local server is not loaded into Brevanto",
         [](auto& f) {
             f.classes[0].serverKind = L"LocalServer32";
             f.classes[0].serverPath = L"D:\\Server\\user.exe";
         },
         L"C:\\Lab (program folder)"},
        {"a missing DLL has no folder to judge",
         [](auto& f) {
             f.classes[0].serverPath = L"D:\\Gone\\user.dll";
             f.classes[0].fileExists = false;
         },
         L"C:\\Lab (program folder)"},
        {"a bare name has none either", [](auto& f) { f.classes[0].serverPath = L"user.dll"; },
         L"C:\\Lab (program folder)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WorkstationFacts facts = ReadyWorkstation();
        c.change(facts);
        EXPECT_EQ(Narrow(Listed(check::FoldersToJudge(facts))), Narrow(c.folders));
    }
}

TEST(ProgramFolders, AFolderOthersCanChangeIsAProblemNamingThemInEveryReport) {
    WorkstationFacts facts = ReadyWorkstation();
    facts.programFolders = {
        {L"C:\\Lab",
         L"program folder, user component",
         true,
         0,
         {L"BUILTIN\\Users (S-1-5-32-545): add files, delete or rename the folder"}},
        {L"D:\\Viewer", L"viewer component", true, 0, {}},
    };
    const check::Judgement judgement = check::Judge(facts);
    ASSERT_EQ(judgement.problems.size(), 1u);
    EXPECT_EQ(Narrow(judgement.problems[0].what),
              "Writable by non-administrators: C:\\Lab (program folder, user component), by "
              "BUILTIN\\Users (S-1-5-32-545): add files, delete or rename the folder");
    EXPECT_NE(judgement.problems[0].todo.find(L"only SYSTEM and Administrators"),
              std::wstring::npos);

    const std::wstring text = check::TextReport(facts, judgement);
    EXPECT_NE(text.find(L"  C:\\Lab                        Writable by non-administrators "
                        L"(program folder, user component)\r\n"),
              std::wstring::npos)
        << Narrow(text);
    EXPECT_NE(text.find(L"  D:\\Viewer                     only administrators can change it "
                        L"(viewer component)\r\n"),
              std::wstring::npos)
        << Narrow(text);

    const std::string json = check::JsonReport(facts, judgement);
    EXPECT_NE(json.find("\"programFolders\":[{\"path\":\"C:\\\\Lab\",\"roles\":\"program "
                        "folder, user component\",\"judged\":true,\"writableByNonAdministrators\""
                        ":true,\"changers\":[\"BUILTIN\\\\Users (S-1-5-32-545): add files, "
                        "delete or rename the folder\"]},{\"path\":\"D:\\\\Viewer\""),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"writableByNonAdministrators\":false"), std::string::npos) << json;
}

TEST(ProgramFolders, AFolderWhosePermissionsCannotBeReadIsSaidSoButNoProblem) {
    WorkstationFacts facts = ReadyWorkstation();
    facts.programFolders = {{L"C:\\Lab", L"program folder", false, 5, {}}};
    const check::Judgement judgement = check::Judge(facts);
    EXPECT_TRUE(judgement.Ready());
    EXPECT_NE(check::TextReport(facts, judgement)
                  .find(L"its permissions could not be read (error 5) (program folder)"),
              std::wstring::npos);
}

} // namespace
} // namespace brevanto::testing
