#pragma once

#include <string>
#include <utility>
#include <vector>

#include "check/core/judgement.h"
#include "check/core/workstation_facts.h"

namespace brevanto::check {

// The folders whose files Brevanto.exe runs or loads: its own and each in-process component's
// DLL folder, each named once, with what it is to Brevanto ("program folder, user component").
struct FolderToJudge {
    std::wstring path;
    std::wstring roles;
};
std::vector<FolderToJudge> FoldersToJudge(const WorkstationFacts& facts);

// A folder that accounts other than administrators can change is a problem: what they put there
// runs in every lab user's run, and in any administrator's that runs the check.
void JudgeProgramFolders(const WorkstationFacts& facts, Judgement& judgement);

// The report's rows for those folders: the path, and who can change it.
std::vector<std::pair<std::wstring, std::wstring>> ProgramFolderRows(const WorkstationFacts& facts);

} // namespace brevanto::check
