#include "check/out_file_writer.h"

#include <windows.h>

#include "check/core/out_file.h"
#include "platform/base/file_paths.h"
#include "platform/base/unique_resource.h"

namespace brevanto::check {
namespace {

std::wstring ErrorText(DWORD error) {
    return L"error " + std::to_wstring(error);
}

UniqueFile Open(const std::wstring& path, DWORD access, DWORD disposition) {
    return UniqueFile(CreateFileW(path.c_str(), access | FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
                                  nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

} // namespace

std::wstring WriteOutFile(const std::wstring& path, const std::string& bytes) {
    const std::wstring full = FullPath(path);
    // An existing file is opened as it is; one that is not there is made, with the right to
    // delete it again should it be refused.
    bool made = false;
    UniqueFile file = Open(full, GENERIC_WRITE, OPEN_EXISTING);
    if (!file && GetLastError() == ERROR_FILE_NOT_FOUND) {
        file = Open(full, GENERIC_WRITE | DELETE, CREATE_NEW);
        made = static_cast<bool>(file);
        if (!file && GetLastError() == ERROR_FILE_EXISTS)
            file = Open(full, GENERIC_WRITE, OPEN_EXISTING);
    }
    if (!file)
        return ErrorText(GetLastError());

    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file.Get(), &information))
        return ErrorText(GetLastError());
    OutFileFacts facts;
    facts.reparsePoint = (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    facts.links = information.nNumberOfLinks;
    facts.askedPath = AsThisProcessOpens(LongPath(full));
    facts.finalPath = FinalPath(file.Get());
    if (const std::wstring refusal = OutFileRefusal(facts); !refusal.empty()) {
        if (made) {
            FILE_DISPOSITION_INFO gone{TRUE};
            SetFileInformationByHandle(file.Get(), FileDispositionInfo, &gone, sizeof gone);
        }
        return L"refused: " + refusal;
    }

    DWORD written = 0;
    if (SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
        !SetEndOfFile(file.Get()) ||
        !WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return ErrorText(GetLastError());
    return written == bytes.size() ? std::wstring() : ErrorText(ERROR_WRITE_FAULT);
}

} // namespace brevanto::check
