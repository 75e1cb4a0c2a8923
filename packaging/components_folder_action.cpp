#include <windows.h>

#include <msiquery.h>

#include <string>

#include "packaging/installer_session.h"
#include "platform/base/file_paths.h"
#include "platform/com/class_registration.h"
#include "platform/com/ole_apartment.h"
#include "platform/security/program_location.h"

using brevanto::setup::Log;
using brevanto::setup::Property;

// Sets COMPONENTSFOLDER to the folder (with a trailing backslash) of the in-process server
// registered for the class named in COMPONENTCLASS: the class name gives the CLSID and the CLSID
// its InprocServer32, expanded, as Brevanto.exe looks it up, but only in the machine's classes in
// the 32-bit view, which the user running an install cannot change. A registration whose file is
// missing gives no folder: a stale one must not decide where Brevanto goes; nor does one that is
// no absolute path on a local fixed drive.
extern "C" UINT __stdcall FindComponentsFolder(MSIHANDLE install) {
    try {
        const brevanto::OleApartment ole;
        const std::wstring progId = Property(install, L"COMPONENTCLASS");
        const brevanto::ClassRegistration registration =
            brevanto::ReadMachineClassRegistration(progId, KEY_WOW64_32KEY);
        const std::wstring& path = registration.serverPath;
        const auto slash = path.rfind(L'\\');
        if (registration.serverKind != L"InprocServer32" || slash == std::wstring::npos ||
            !brevanto::FileExists(path)) {
            Log(install, L"no in-process server of \"" + progId + L"\" is here (CLSID \"" +
                             registration.clsid + L"\", server \"" + path + L"\")");
            return ERROR_SUCCESS;
        }
        const std::wstring folder = path.substr(0, slash + 1);
        if (const auto problem = brevanto::ProgramFolderPathProblem(folder)) {
            Log(install, L"\"" + progId + L"\" is served by " + path +
                             L", whose folder is not taken: " + *problem);
            return ERROR_SUCCESS;
        }
        Log(install, L"\"" + progId + L"\" is served by " + path);
        MsiSetPropertyW(install, L"COMPONENTSFOLDER", folder.c_str());
        return ERROR_SUCCESS;
    } catch (...) {
        return brevanto::setup::FailedOnException(install, L"FindComponentsFolder");
    }
}
