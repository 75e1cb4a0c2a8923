#include <windows.h>

#include <softpub.h>
#include <wintrust.h>

#include <cctype>
#include <fstream>
#include <iterator>

#include "platform/base/utf8.h"
#include "tests/conformance/conformance.h"
#include "tests/msi/package_test.h"

namespace brevanto::msi {
namespace {

using conformance::WineOnly;

// Beside the signed package: the SHA-1 thumbprint of the test certificate it was signed with,
// as openssl prints it ("sha1 Fingerprint=67:F8:..."), or as 40 hexadecimal digits.
constexpr wchar_t kThumbprintFile[] = L"test-certificate.sha1";

// The thumbprint in that file, as 40 upper-case hexadecimal digits; empty when there is none.
std::string ExpectedThumbprint(const std::wstring& package) {
    const std::wstring file = package.substr(0, package.find_last_of(L'\\') + 1) + kThumbprintFile;
    std::ifstream in(file.c_str(), std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    std::string digits;
    for (const char c : text.substr(text.find('=') == std::string::npos ? 0 : text.find('=') + 1))
        if (std::isxdigit(static_cast<unsigned char>(c)))
            digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return digits.size() == 40 ? digits : std::string();
}

struct TrustSeen {
    LONG status = 0;
    std::string rootThumbprint; // of the last certificate of the signer's chain; empty: none
};

// What WinVerifyTrust makes of a file's Authenticode signature, as a program that checks it
// would ask: no user interface, no revocation check (nothing here can reach a revocation list).
TrustSeen VerifyTrust(const std::wstring& path) {
    WINTRUST_FILE_INFO file{};
    file.cbStruct = sizeof file;
    file.pcwszFilePath = path.c_str();
    WINTRUST_DATA data{};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const auto noWindow = static_cast<HWND>(INVALID_HANDLE_VALUE);
    TrustSeen seen;
    seen.status = WinVerifyTrust(noWindow, &action, &data);
    CRYPT_PROVIDER_DATA* const provider = WTHelperProvDataFromStateData(data.hWVTStateData);
    CRYPT_PROVIDER_SGNR* const signer =
        provider ? WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
    CRYPT_PROVIDER_CERT* const root =
        signer && signer->csCertChain
            ? WTHelperGetProvCertFromChain(signer, signer->csCertChain - 1)
            : nullptr;
    BYTE hash[20];
    DWORD size = sizeof hash;
    if (root && CertGetCertificateContextProperty(root->pCert, CERT_SHA1_HASH_PROP_ID, hash, &size))
        for (DWORD i = 0; i < size; ++i) {
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02X", hash[i]);
            seen.rootThumbprint += hex;
        }
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(noWindow, &action, &data);
    return seen;
}

// The test certificate is trusted nowhere, and no test imports it (that would change the
// machine's trust): Windows verifies the signature, then stops at its root.
TEST_F(PackageTest, InstalledExesAreSignedUnderTheTestCertificateWhichNoMachineTrusts) {
    const std::string expected = ExpectedThumbprint(older_);
    ASSERT_FALSE(expected.empty())
        << "no thumbprint in " << Utf8(kThumbprintFile) << " beside " << Utf8(older_);
    ASSERT_EQ(Install(older_).status, kInstalled);
    for (const wchar_t* exe : {kProgramExe, kCheckExe}) {
        SCOPED_TRACE(Utf8(exe));
        const TrustSeen seen = VerifyTrust(VendorFolder() + L"\\" + exe);
        EXPECT_TRUE(static_cast<HRESULT>(seen.status) == CERT_E_UNTRUSTEDROOT ||
                    WineOnly(seen.status == ERROR_SUCCESS,
                             "Wine's WinVerifyTrust checks the signature but not whether its "
                             "root is trusted"))
            << std::hex << seen.status;
        EXPECT_EQ(seen.rootThumbprint, expected);
    }
}

} // namespace
} // namespace brevanto::msi
