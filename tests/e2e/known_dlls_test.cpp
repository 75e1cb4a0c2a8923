#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace brevanto::e2e {
namespace {

// Windows' KnownDLLs on every supported version: the loader takes these from the system
// folder only. For any other DLL it searches the exe's folder first.
const std::set<std::string> kKnownDlls = {
    "advapi32.dll", "gdi32.dll",  "kernel32.dll", "msvcrt.dll",  "ole32.dll",  "oleaut32.dll",
    "psapi.dll",    "rpcrt4.dll", "shell32.dll",  "shlwapi.dll", "user32.dll",
};

// The DLLs a PE file names in its import and delay-import tables, read from the file itself.
class ImportTables {
public:
    explicit ImportTables(const char* path) {
        std::ifstream file(path, std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    std::vector<std::string> Dlls() const {
        std::vector<std::string> dlls;
        IMAGE_DOS_HEADER dos;
        IMAGE_NT_HEADERS32 nt;
        if (!Read(0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE || !Read(dos.e_lfanew, nt) ||
            nt.Signature != IMAGE_NT_SIGNATURE)
            return dlls;
        const std::size_t optional = dos.e_lfanew + offsetof(IMAGE_NT_HEADERS32, OptionalHeader);
        const bool pe64 = nt.OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
        const std::size_t directories =
            optional + (pe64 ? offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory)
                             : offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory));
        sections_ = optional + nt.FileHeader.SizeOfOptionalHeader;
        sectionCount_ = nt.FileHeader.NumberOfSections;

        IMAGE_DATA_DIRECTORY imports;
        IMAGE_DATA_DIRECTORY delayed;
        Read(directories + IMAGE_DIRECTORY_ENTRY_IMPORT * sizeof imports, imports);
        Read(directories + IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT * sizeof delayed, delayed);
        IMAGE_IMPORT_DESCRIPTOR import;
        for (std::size_t at = Offset(imports.VirtualAddress);
             imports.VirtualAddress && Read(at, import) && import.Name; at += sizeof import)
            dlls.push_back(Name(import.Name));
        IMAGE_DELAYLOAD_DESCRIPTOR delay;
        for (std::size_t at = Offset(delayed.VirtualAddress);
             delayed.VirtualAddress && Read(at, delay) && delay.DllNameRVA; at += sizeof delay)
            dlls.push_back(Name(delay.DllNameRVA));
        return dlls;
    }

private:
    template <typename T> bool Read(std::size_t offset, T& value) const {
        if (offset > bytes_.size() || bytes_.size() - offset < sizeof value)
            return false;
        std::memcpy(&value, bytes_.data() + offset, sizeof value);
        return true;
    }

    std::size_t Offset(DWORD rva) const {
        IMAGE_SECTION_HEADER section;
        for (std::size_t i = 0; i < sectionCount_; ++i) {
            if (!Read(sections_ + i * sizeof section, section))
                break;
            if (rva >= section.VirtualAddress &&
                rva < section.VirtualAddress +
                          std::max(section.Misc.VirtualSize, section.SizeOfRawData))
                return rva - section.VirtualAddress + section.PointerToRawData;
        }
        return kNowhere;
    }

    std::string Name(DWORD rva) const {
        const std::size_t at = Offset(rva);
        std::string name;
        for (std::size_t i = at; i < bytes_.size() && bytes_[i]; ++i)
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(bytes_[i])));
        return name;
    }

    static constexpr std::size_t kNowhere = SIZE_MAX; // an RVA in no section

    std::vector<char> bytes_;
    mutable std::size_t sections_ = 0;
    mutable std::size_t sectionCount_ = 0;
};

// A DLL beside the exe that the loader took at start-up would run before any of our code, in
// every run; so both exes import KnownDLLs only, and load any other DLL at run time from the
// system folder.
TEST(KnownDlls, BothExesImportOnlyKnownDlls) {
    for (const char* exe : {"Brevanto.exe", "brevanto-check.exe"}) {
        SCOPED_TRACE(exe);
        const std::vector<std::string> dlls = ImportTables(exe).Dlls();
        EXPECT_NE(std::find(dlls.begin(), dlls.end(), "kernel32.dll"), dlls.end())
            << "the import table was not read";
        for (const std::string& dll : dlls)
            EXPECT_TRUE(kKnownDlls.count(dll)) << dll << " is no KnownDLL";
    }
}

} // namespace
} // namespace brevanto::e2e
