#include <windows.h>

#include <msiquery.h>

#include <string>

#include "packaging/install_folder_data.h"
#include "packaging/installer_session.h"
#include "platform/com/class_registration.h"
#include "platform/security/program_location.h"
#include "platform/security/trusted_accounts.h"
#include "report/report_job.h"

using brevanto::setup::Log;
using brevanto::setup::Property;

namespace {

// The deferred action reads what it judges from the property of its own name.
constexpr wchar_t kPrepareAction[] = L"PrepareInstallFolder";

std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

// What will run from the folder: the two programs, once installed, and the components' DLLs the
// machine registers there.
std::vector<std::wstring> FilesThatRun(const std::wstring& folder) {
    const std::wstring prefix = folder + (folder.back() == L'\\' ? L"" : L"\\");
    std::vector<std::wstring> files{prefix + L"Brevanto.exe", prefix + L"brevanto-check.exe"};
    for (const std::wstring_view progId : {brevanto::kUserClass, brevanto::kViewerClass}) {
        const auto registration = brevanto::ReadMachineClassRegistration(progId, KEY_WOW64_32KEY);
        const std::wstring& path = registration.serverPath;
        if (registration.serverKind == L"InprocServer32" && path.size() > prefix.size() &&
            CompareStringOrdinal(path.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                 static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL &&
            path.find(L'\\', prefix.size()) == std::wstring::npos)
            files.push_back(path);
    }
    return files;
}

std::wstring WhatItIs(const brevanto::ObjectChangers& object, const std::wstring& folder) {
    switch (object.judged) {
    case brevanto::Judged::ProgramFolder:
        break;
    case brevanto::Judged::FolderAbove:
        return L"the folder " + Quoted(object.path) + L", on the way to " + Quoted(folder) + L",";
    case brevanto::Judged::ProgramFile:
        return L"the file " + Quoted(object.path);
    }
    return L"the folder " + Quoted(folder);
}

// Says in the log what the walk found, and whether the install goes on: only administrators may
// change the folder, every folder above it and what runs from it, unless ALLOWWRITABLEFOLDER=1.
UINT Verdict(MSIHANDLE install, const std::wstring& folder,
             const brevanto::LocationJudgement& judgement, bool allowWritable) {
    for (const std::wstring& made : judgement.made)
        Log(install, L"made the folder " + Quoted(made) +
                         L" with full control for SYSTEM and Administrators and read and execute "
                         L"for Users");
    if (!judgement.refusal.empty()) {
        Log(install, L"the folder " + Quoted(folder) + L" is refused: " + judgement.refusal);
        return ERROR_INSTALL_FAILURE;
    }
    for (const brevanto::ObjectChangers& object : judgement.changers)
        for (const brevanto::AccountRights& changer : object.changers)
            Log(install,
                WhatItIs(object, folder) + L" can be changed by " + brevanto::Described(changer));
    if (judgement.changers.empty())
        return ERROR_SUCCESS;
    if (allowWritable) {
        Log(install, L"ALLOWWRITABLEFOLDER=1: installing into " + Quoted(folder) +
                         L" anyway, though accounts other than administrators can change "
                         L"what runs from it");
        return ERROR_SUCCESS;
    }
    Log(install, L"the folder " + Quoted(folder) +
                     L" is refused: any of those accounts could replace Brevanto.exe or put a DLL "
                     L"beside it, which would run in every lab user's run. Let only SYSTEM and "
                     L"Administrators change it, every folder above it and the files it holds, "
                     L"choose another folder with INSTALLFOLDER, or install anyway with "
                     L"ALLOWWRITABLEFOLDER=1");
    return ERROR_INSTALL_FAILURE;
}

} // namespace

// Judges INSTALLFOLDER before anything is installed, as the user who installs: its path must be
// an absolute one on a local fixed drive outside user profiles and temporary folders, and what is
// there of it is judged as PrepareInstallFolder judges it, to refuse early (before an upgrade
// removes the installed version). Hands the folder to PrepareInstallFolder, which judges it again
// as SYSTEM right before the files come.
extern "C" UINT __stdcall CheckInstallFolder(MSIHANDLE install) {
    try {
        const std::wstring folder = Property(install, L"INSTALLFOLDER");
        if (folder.empty())
            return ERROR_SUCCESS; // the launch condition explains it
        if (const auto problem = brevanto::ProgramFolderPathProblem(folder)) {
            Log(install, L"the folder " + Quoted(folder) + L" is refused: " + *problem);
            return ERROR_INSTALL_FAILURE;
        }
        const bool allowWritable = Property(install, L"ALLOWWRITABLEFOLDER") == L"1";
        const brevanto::LocationJudgement judgement = brevanto::JudgeProgramLocation(
            folder, FilesThatRun(folder), brevanto::MissingFolders::Report,
            brevanto::TrustedAccountsHere());
        if (!judgement.missingFrom.empty())
            Log(install, L"the folder " + Quoted(folder) + L" will be made from " +
                             Quoted(judgement.missingFrom) +
                             L" down, each folder with full control for SYSTEM and "
                             L"Administrators and read and execute for Users");
        if (const UINT status = Verdict(install, folder, judgement, allowWritable))
            return status;
        const std::wstring data = brevanto::setup::InstallFolderData{folder, allowWritable}.Text();
        MsiSetPropertyW(install, kPrepareAction, data.c_str());
        return ERROR_SUCCESS;
    } catch (...) {
        return brevanto::setup::FailedOnException(install, L"CheckInstallFolder");
    }
}

// Deferred, as SYSTEM, right before the files are installed, on every install, repair and
// upgrade: walks from the drive's root down to the folder CheckInstallFolder handed over (its
// CustomActionData), makes each missing folder with the package's permissions, and judges every
// folder and the files that will run, refusing a link anywhere on the way.
extern "C" UINT __stdcall PrepareInstallFolder(MSIHANDLE install) {
    try {
        const auto data =
            brevanto::setup::InstallFolderData::Read(Property(install, L"CustomActionData"));
        if (!data) {
            Log(install, L"PrepareInstallFolder was given no folder");
            return ERROR_INSTALL_FAILURE;
        }
        const brevanto::LocationJudgement judgement = brevanto::JudgeProgramLocation(
            data->folder, FilesThatRun(data->folder), brevanto::MissingFolders::Create,
            brevanto::TrustedAccountsHere());
        const UINT status = Verdict(install, data->folder, judgement, data->allowWritable);
        if (status == ERROR_SUCCESS && judgement.OnlyTrustedMayChange())
            Log(install, L"the folder " + Quoted(data->folder) +
                             L", every folder above it and the files that run from it can be "
                             L"changed by administrators only");
        return status;
    } catch (...) {
        return brevanto::setup::FailedOnException(install, L"PrepareInstallFolder");
    }
}
