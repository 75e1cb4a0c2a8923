#include "platform/base/pe_header.h"

#include "platform/base/unique_resource.h"

namespace brevanto {
namespace {

template <typename T> bool ReadAt(HANDLE file, LONG offset, T& value) {
    DWORD read = 0;
    return SetFilePointer(file, offset, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
           ReadFile(file, &value, sizeof value, &read, nullptr) && read == sizeof value;
}

} // namespace

int PeHeader::Bits() const {
    switch (machine) {
    case IMAGE_FILE_MACHINE_I386:
        return 32;
    case IMAGE_FILE_MACHINE_AMD64:
        return 64;
    default:
        return 0;
    }
}

std::optional<PeHeader> ReadPeHeader(const std::wstring& path) {
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    IMAGE_DOS_HEADER dos{};
    if (!file || !ReadAt(file.Get(), 0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE)
        return std::nullopt;
    // Signature and file header are alike in both layouts; DllCharacteristics sits at the same
    // offset in both optional headers.
    IMAGE_NT_HEADERS32 nt{};
    if (!ReadAt(file.Get(), dos.e_lfanew, nt) || nt.Signature != IMAGE_NT_SIGNATURE)
        return std::nullopt;
    return PeHeader{nt.FileHeader.Machine, nt.OptionalHeader.DllCharacteristics};
}

} // namespace brevanto
