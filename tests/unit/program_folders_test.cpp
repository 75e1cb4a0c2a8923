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
    for (const auto& folder : folders) {
        text += (text.empty() ? L"" : L"; ") + folder.path + L" (" + folder.roles + L")";
        for (const auto& file : folder.files)
            text += L" " + file;
    }
    return text;
}

TEST(ProgramFolders, TheProgramFolderAndEachComponentsFolderAreJudgedOnceWithWhatRunsThere) {
    struct Case {
        const char* name;
        std::function<void(WorkstationFacts&)> change;
        std::wstring folders;
    };
    const std::wstring programs = L" C:\\Lab\\Brevanto.exe C:\\Lab\\brevanto-check.exe";
    const Case cases[] = {
        {"beside the components", [](auto&) {},
         L"C:\\Lab (program folder, user component)" + programs + L" C:\\Lab\\user.dll"},
        {"components elsewhere",
         [](auto& f) { f.classes.push_back(Viewer(L"D:\\Viewer\\viewer.dll")); },
         L"C:\\Lab (program folder, user component)" + programs +
             L" C:\\Lab\\user.dll; D:\\Viewer (viewer component) D:\\Viewer\\viewer.dll"},
        {"same folder written otherwise",
         [](auto& f) { f.classes.push_back(Viewer(L"c:/LAB/viewer.dll")); },
         L"C:\\Lab (program folder, user component, viewer component)" + programs +
             L" C:\\Lab\\user.dll c:/LAB/viewer.dll"},
        {"a DLL in a drive's root", [](auto& f) { f.classes[0].serverPath = L"D:\\user.dll"; },
         L"C:\\Lab (program folder)" + programs + L"; D:\\ (user component) D:\\user.dll"},
        {"a local server's program and folder",
         [](auto& f) {
             f.classes[0].serverKind = L"LocalServer32";
             f.classes[0].serverPath = L"D:\\Server\\user.exe";
         },
         L"C:\\Lab (program folder)" + programs +
             L"; D:\\Server (user component) "
             L"D:\\Server\\user.exe"},
        {"a missing DLL has no folder to judge",
         [](auto& f) {
             f.classes[0].serverPath = L"D:\\Gone\\user.dll";
             f.classes[0].fileExists = false;
         },
         L"C:\\Lab (program folder)" + programs},
        {"a bare name has none either", [](auto& f) { f.classes[0].serverPath = L"user.dll"; },
         L"C:\\Lab (program folder)" + programs},
        {"the program folder in a drive's root", [](auto& f) { f.host.programFolder = L"E:\\"; },
         L"E:\\ (program folder) E:\\Brevanto.exe E:\\brevanto-check.exe; C:\\Lab (user "
         L"component) C:\\Lab\\user.dll"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WorkstationFacts facts = ReadyWorkstation();
        c.change(facts);
        EXPECT_EQ(Narrow(Listed(check::FoldersToJudge(facts))), Narrow(c.folders));
    }
}

check::ProgramFolderFacts Judged(std::wstring path, std::wstring roles,
                                 std::vector<std::wstring> changers = {}) {
    return {std::move(path), std::move(roles), true, L"", std::move(changers)};
}
check::ProgramFolderFacts NotJudged(std::wstring path, std::wstring roles, std::wstring problem) {
    return {std::move(path), std::move(roles), false, std::move(problem), {}};
}

// The check runs no component code it has not judged: not from a program folder whose DLLs the
// component could load, nor from the component's own folder or file, that others can change.
TEST(ProgramFolders, NoComponentIsCreatedFromWhereOthersCouldHavePlantedCode) {
    struct Case {
        const char* name;
        std::vector<check::ProgramFolderFacts> folders;
        std::wstring userClass;   // why the user component is not created; empty: it is
        std::wstring viewerClass; // the same for the viewer in D:\Viewer
    };
    const std::wstring users = L"BUILTIN\\Users (S-1-5-32-545): add files";
    const Case cases[] = {
        {"every folder only administrators' ",
         {Judged(L"C:\\Lab", L"program folder, user component"),
          Judged(L"D:\\Viewer", L"viewer component")},
         L"",
         L""},
        {"the viewer's folder writable",
         {Judged(L"C:\\Lab", L"program folder, user component"),
          Judged(L"D:\\Viewer", L"viewer component", {users})},
         L"",
         L"non-administrators can change D:\\Viewer"},
        {"the viewer's DLL writable, its folder not",
         {Judged(L"C:\\Lab", L"program folder, user component"),
          Judged(L"D:\\Viewer", L"viewer component",
                 {L"D:\\Viewer\\viewer.dll: Everyone (S-1-1-0): write it"})},
         L"",
         L"non-administrators can change D:\\Viewer"},
        {"the program folder writable: neither",
         {Judged(L"C:\\Lab", L"program folder, user component", {users}),
          Judged(L"D:\\Viewer", L"viewer component")},
         L"non-administrators can change C:\\Lab",
         L"non-administrators can change C:\\Lab"},
        {"a folder above the viewer's writable",
         {Judged(L"C:\\Lab", L"program folder, user component"),
          Judged(L"D:\\Viewer", L"viewer component",
                 {L"D:\\ (above it): BUILTIN\\Users (S-1-5-32-545): delete or rename the "
                  L"folders it holds"})},
         L"",
         L"non-administrators can change D:\\Viewer"},
        {"the viewer reached through a link",
         {Judged(L"C:\\Lab", L"program folder, user component"),
          NotJudged(L"D:\\Viewer", L"viewer component",
                    L"\"D:\\Viewer\" is a link (a reparse point)")},
         L"",
         L"D:\\Viewer could not be judged"},
        {"the viewer's folder not judged at all",
         {Judged(L"C:\\Lab", L"program folder")},
         L"",
         L"D:\\Viewer could not be judged"},
        {"folders written otherwise",
         {Judged(L"c:/lab/", L"program folder, user component"),
          Judged(L"d:\\VIEWER", L"viewer component", {users})},
         L"",
         L"non-administrators can change D:\\Viewer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WorkstationFacts facts = ReadyWorkstation();
        facts.classes.push_back(Viewer(L"D:\\Viewer\\viewer.dll"));
        facts.programFolders = c.folders;
        EXPECT_EQ(Narrow(check::WhyNotCreated(facts, facts.classes[0])), Narrow(c.userClass));
        EXPECT_EQ(Narrow(check::WhyNotCreated(facts, facts.classes[1])), Narrow(c.viewerClass));
    }
}

TEST(ProgramFolders, AFolderOthersCanChangeIsAProblemNamingThemInEveryReport) {
    WorkstationFacts facts = ReadyWorkstation();
    facts.programFolders = {
        Judged(L"C:\\Lab", L"program folder, user component",
               {L"BUILTIN\\Users (S-1-5-32-545): add files, delete or rename the folder",
                L"C:\\ (above it): BUILTIN\\Users (S-1-5-32-545): delete or rename the folders it "
                L"holds"}),
        Judged(L"D:\\Viewer", L"viewer component"),
    };
    facts.classes[0].creationTried = false;
    facts.classes[0].created = false;
    facts.classes[0].notTriedBecause = L"non-administrators can change C:\\Lab";
    const check::Judgement judgement = check::Judge(facts);
    ASSERT_EQ(judgement.problems.size(), 1u);
    EXPECT_EQ(Narrow(judgement.problems[0].what),
              "Writable by non-administrators: C:\\Lab (program folder, user component), by "
              "BUILTIN\\Users (S-1-5-32-545): add files, delete or rename the folder; C:\\ (above "
              "it): BUILTIN\\Users (S-1-5-32-545): delete or rename the folders it holds");
    EXPECT_EQ(Narrow(judgement.problems[0].todo),
              "let only SYSTEM and Administrators change it, the folders above it and what it "
              "holds: whatever another account puts there runs in every lab user's run of "
              "Brevanto.exe; until then the check creates no component that would load code from "
              "it");

    const std::wstring text = check::TextReport(facts, judgement);
    for (const wchar_t* row :
         {L"  C:\\\\Lab                       Writable by non-administrators (program folder, user "
          L"component)\r\n",
          L"  D:\\\\Viewer                    only administrators can change it (viewer "
          L"component)\r\n",
          L"  Created                       not tried: non-administrators can change "
          L"C:\\\\Lab\r\n"})
        EXPECT_NE(text.find(row), std::wstring::npos) << Narrow(row) << "\n" << Narrow(text);

    const std::string json = check::JsonReport(facts, judgement);
    for (const char* member :
         {R"("programFolders":[{"path":"C:\\Lab","roles":"program folder, user component",)"
          R"("judged":true,"writableByNonAdministrators":true,"changers":["BUILTIN\\Users )"
          R"((S-1-5-32-545): add files, delete or rename the folder","C:\\ (above it): )"
          R"(BUILTIN\\Users (S-1-5-32-545): delete or rename the folders it holds"],"problem":""},)"
          R"({"path":"D:\\Viewer","roles":"viewer component","judged":true,)"
          R"("writableByNonAdministrators":false,"changers":[],"problem":""}])",
          R"("creation":"notTried",)",
          R"("notTriedBecause":"non-administrators can change C:\\Lab")"})
        EXPECT_NE(json.find(member), std::string::npos) << member << "\n" << json;
}

TEST(ProgramFolders, AFolderThatCannotBeJudgedIsAProblemAndRunsNothing) {
    WorkstationFacts facts = ReadyWorkstation();
    facts.programFolders = {NotJudged(L"C:\\Lab", L"program folder",
                                      L"the permissions of \"C:\\Lab\" could not be read "
                                      L"(error 5)")};
    facts.classes[0].creationTried = false;
    facts.classes[0].notTriedBecause = L"C:\\Lab could not be judged";
    const check::Judgement judgement = check::Judge(facts);
    ASSERT_EQ(judgement.problems.size(), 1u);
    EXPECT_EQ(Narrow(judgement.problems[0].what),
              "C:\\Lab (program folder) could not be judged: the permissions of \"C:\\Lab\" "
              "could not be read (error 5)");
    const std::wstring text = check::TextReport(facts, judgement);
    EXPECT_NE(text.find(L"  C:\\\\Lab                       could not be judged (program folder)"),
              std::wstring::npos)
        << Narrow(text);
    EXPECT_NE(
        check::JsonReport(facts, judgement)
            .find(R"("judged":false,"writableByNonAdministrators":false,"changers":[],)"
                  R"x("problem":"the permissions of \"C:\\Lab\" could not be read (error 5)")x"),
        std::string::npos);
}

} // namespace
} // namespace brevanto::testing
