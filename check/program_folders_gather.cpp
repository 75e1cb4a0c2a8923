#include "check/program_folders_gather.h"

#include "check/core/program_folders.h"
#include "platform/security/program_location.h"
#include "platform/security/trusted_accounts.h"

namespace brevanto::check {
namespace {

// A changer of the folder itself is named as before; one of a folder above it or of a file is led
// by that object's path.
std::wstring Lead(const ObjectChangers& object) {
    switch (object.judged) {
    case Judged::ProgramFolder:
        break;
    case Judged::FolderAbove:
        return object.path + L" (above it): ";
    case Judged::ProgramFile:
        return object.path + L": ";
    }
    return {};
}

} // namespace

std::vector<ProgramFolderFacts> GatherProgramFolders(const WorkstationFacts& facts) {
    std::vector<ProgramFolderFacts> gathered;
    const std::vector<std::wstring> trusted = TrustedAccountsHere();
    for (const FolderToJudge& folder : FoldersToJudge(facts)) {
        const LocationJudgement location =
            JudgeProgramLocation(folder.path, folder.files, MissingFolders::Report, trusted);
        ProgramFolderFacts judged{
            folder.path, folder.roles, location.Complete(), location.refusal, {}};
        if (!location.missingFrom.empty())
            judged.problem = L"\"" + location.missingFrom + L"\" does not exist";
        for (const ObjectChangers& object : location.changers)
            for (const AccountRights& changer : object.changers)
                judged.changers.push_back(Lead(object) + Described(changer));
        gathered.push_back(std::move(judged));
    }
    return gathered;
}

} // namespace brevanto::check
