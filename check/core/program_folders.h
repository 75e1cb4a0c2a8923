#pragma once

#include <string>
#include <utility>
#include <vector>

#include "check/core/judgement.h"
#include "check/core/workstation_facts.h"

namespace brevanto::check {

// The folders whose files Brevanto.exe runs or loads: its own, each in-process component's DLL
// folder and each local server's folder, each named once, with what it is to Brevanto ("program
// folder, user component"), and the programs and DLLs in it that run.
struct FolderToJudge {
    std::wstring path;
    std::wstring roles;
    std::vector<std::wstring> files;
};
std::vector<FolderToJudge> FoldersToJudge(const WorkstationFacts& facts);

// Why the check must not create the class, whose code would then run in a process of its own with
// this account's rights: the program folder (whose DLLs it may load) or the class's own folder,
// a folder above either, or its file, can be changed by non-administrators, or could not be
// judged. Empty when it may.
std::wstring WhyNotCreated(const WorkstationFacts& facts, const ClassFacts& c);

// A folder that accounts other than administrators can change, or that could not be judged, is a
// problem: what they put there runs in every lab user's run, and in any administrator's that
// runs the check.
void JudgeProgramFolders(const WorkstationFacts& facts, Judgement& judgement);

// The report's rows for those folders: the path, and who can change it.
std::vector<std::pair<std::wstring, std::wstring>> ProgramFolderRows(const WorkstationFacts& facts);

} // namespace brevanto::check
