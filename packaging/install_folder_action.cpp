#include <windows.h>

#include <msiquery.h>

#include <string>

#include "packaging/installer_session.h"
#include "platform/folder_security.h"

using brevanto::setup::Log;
using brevanto::setup::Property;

namespace {

// The deferred action that creates a missing folder reads it from the property of its own name.
constexpr wchar_t kCreateAction[] = L"CreateInstallFolder";

std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

std::wstring Joined(const std::vector<std::wstring>& items) {
    std::wstring text;
    for (const auto& item : items)
        text += (text.empty() ? L"" : L", ") + item;
    return text;
}

} // namespace

// Judges INSTALLFOLDER before anything is installed. Its path must be an absolute one on a local
// fixed drive outside user profiles and temporary folders. An existing folder must be one that
// only administrators can change: the programs in it run as every lab user, and the check as
// whoever runs it. A missing one is handed to CreateInstallFolder. A refusal ends the install
// with 1603 and says in the log which folder and which account; ALLOWWRITABLEFOLDER=1 installs
// into a folder others can change anyway, and the log says so.
extern "C" UINT __stdcall CheckInstallFolder(MSIHANDLE install) {
    try {
        const std::wstring folder = Property(install, L"INSTALLFOLDER");
        if (folder.empty())
            return ERROR_SUCCESS; // the launch condition explains it
        if (const auto problem = brevanto::ProgramFolderPathProblem(folder)) {
            Log(install, L"the folder " + Quoted(folder) + L" is refused: " + *problem);
            return ERROR_INSTALL_FAILURE;
        }
        const DWORD attributes = GetFileAttributesW(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            Log(install, L"the folder " + Quoted(folder) +
                             L" will be created with full control for SYSTEM and "
                             L"Administrators and read and execute for Users");
            MsiSetPropertyW(install, kCreateAction, folder.c_str());
            return ERROR_SUCCESS;
        }
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            Log(install, L"the folder " + Quoted(folder) + L" is refused: it is a file");
            return ERROR_INSTALL_FAILURE;
        }
        const std::wstring installer = brevanto::AdministratorRunningThis().value_or(L"");
        const brevanto::FolderSecurity security = brevanto::JudgeFolderSecurity(folder, installer);
        if (!security.read) {
            Log(install, L"the folder " + Quoted(folder) +
                             L" is refused: its permissions could not be read (error " +
                             std::to_wstring(security.error) + L")");
            return ERROR_INSTALL_FAILURE;
        }
        for (const brevanto::FolderChanger& changer : security.changers)
            Log(install, L"the folder " + Quoted(folder) + L" can be changed by " +
                             changer.account + L" (" + changer.sid + L"): " +
                             Joined(changer.rights));
        if (security.changers.empty())
            return ERROR_SUCCESS;
        if (Property(install, L"ALLOWWRITABLEFOLDER") == L"1") {
            Log(install, L"ALLOWWRITABLEFOLDER=1: installing into " + Quoted(folder) +
                             L" anyway, though accounts other than administrators can change "
                             L"what runs from it");
            return ERROR_SUCCESS;
        }
        Log(install, L"the folder " + Quoted(folder) +
                         L" is refused: any of those accounts could replace Brevanto.exe or put "
                         L"a DLL beside it, which would run in every lab user's run. Let only "
                         L"SYSTEM and Administrators change it, choose another folder with "
                         L"INSTALLFOLDER, or install anyway with ALLOWWRITABLEFOLDER=1");
        return ERROR_INSTALL_FAILURE;
    } catch (...) {
        return brevanto::setup::FailedOnException(install, L"CheckInstallFolder");
    }
}

// Deferred, as SYSTEM: creates the folder CheckInstallFolder found missing (its
// CustomActionData), each missing folder above it too, so that none of them inherits what the
// drive's root lets users do.
extern "C" UINT __stdcall CreateInstallFolder(MSIHANDLE install) {
    try {
        const std::wstring folder = Property(install, L"CustomActionData");
        if (folder.empty())
            return ERROR_SUCCESS;
        if (!brevanto::CreateProgramFolder(folder)) {
            Log(install, L"the folder " + Quoted(folder) + L" could not be created (error " +
                             std::to_wstring(GetLastError()) + L")");
            return ERROR_INSTALL_FAILURE;
        }
        return ERROR_SUCCESS;
    } catch (...) {
        return brevanto::setup::FailedOnException(install, L"CreateInstallFolder");
    }
}
