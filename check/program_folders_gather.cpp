#include "check/program_folders_gather.h"

#include "check/core/program_folders.h"
#include "platform/folder_security.h"

namespace brevanto::check {

std::vector<ProgramFolderFacts> GatherProgramFolders(const WorkstationFacts& facts) {
    std::vector<ProgramFolderFacts> gathered;
    const std::wstring administrator = AdministratorRunningThis().value_or(L"");
    for (const FolderToJudge& folder : FoldersToJudge(facts)) {
        const FolderSecurity security = JudgeFolderSecurity(folder.path, administrator);
        ProgramFolderFacts judged{folder.path, folder.roles, security.read, security.error, {}};
        for (const FolderChanger& changer : security.changers) {
            std::wstring rights;
            for (const auto& right : changer.rights)
                rights += (rights.empty() ? L"" : L", ") + right;
            judged.changers.push_back(changer.account + L" (" + changer.sid + L"): " + rights);
        }
        gathered.push_back(std::move(judged));
    }
    return gathered;
}

} // namespace brevanto::check
