#include <gtest/gtest.h>

#include <windows.h>

#include "platform/registry/registry_settings.h"
#include "tests/support/settings.h"

namespace brevanto::platform_test {
namespace {

constexpr wchar_t kScratch[] = L"Software\\BrevantoTest\\Scratch";

class RegistryStoreTest : public testing::Test {
protected:
    void SetUp() override { support::DeleteUserKey(L"Software\\BrevantoTest"); }
    void TearDown() override { support::DeleteUserKey(L"Software\\BrevantoTest"); }

    static void Write(const wchar_t* key, DWORD type, const void* data, DWORD size) {
        support::StoreUserValue(std::wstring(kScratch) + L"\\App\\Section", key, type, data, size);
    }
    static void WriteText(const wchar_t* key, const std::wstring& text, DWORD type = REG_SZ) {
        Write(key, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    std::optional<std::wstring> Read(const wchar_t* key, const wchar_t* section = L"Section",
                                     const wchar_t* app = L"App") const {
        return store_.TryRead(app, section, key);
    }

    RegistrySettingsStore store_{HKEY_CURRENT_USER, kScratch};
};

TEST_F(RegistryStoreTest, TextIsReturnedExactlyAsStored) {
    const std::wstring surrogates = L"\xD83D\xDE00 caf\u00e9 \u7530\u4e2d \"q\" \\ \r\n\t";
    WriteText(L"Plain", L"1");
    WriteText(L"Empty", L"");
    WriteText(L"Blanks", L"  0  ");
    WriteText(L"Unicode", surrogates);
    WriteText(L"Expand", L"%TEMP%\\x", REG_EXPAND_SZ);
    EXPECT_EQ(Read(L"Plain"), L"1");
    EXPECT_EQ(Read(L"Empty"), L"");
    EXPECT_EQ(Read(L"Blanks"), L"  0  ");
    EXPECT_EQ(Read(L"Unicode"), surrogates);
    EXPECT_EQ(Read(L"Expand"), L"%TEMP%\\x");
}

TEST_F(RegistryStoreTest, HugeValueIsReadWhole) {
    std::wstring huge(1 << 20, L'x');
    for (std::size_t i = 0; i < huge.size(); i += 1000)
        huge[i] = static_cast<wchar_t>(L'a' + i % 26);
    WriteText(L"Huge", huge);
    EXPECT_EQ(Read(L"Huge"), huge);
}

TEST_F(RegistryStoreTest, AbsentAddressesReadAsAbsent) {
    WriteText(L"Present", L"yes");
    EXPECT_EQ(Read(L"Missing"), std::nullopt);
    EXPECT_EQ(Read(L"Present", L"OtherSection"), std::nullopt);
    EXPECT_EQ(Read(L"Present", L"Section", L"OtherApp"), std::nullopt);
    EXPECT_EQ(Read(L"Present"), L"yes");
}

TEST_F(RegistryStoreTest, OtherTypesReadAsAbsentAndRawTextIsCutSafely) {
    const DWORD number = 1;
    const BYTE binary[] = {'1', 0};
    const wchar_t multi[] = L"1\0"
                            L"2\0";
    const wchar_t noTerminator[] = {L'4', L'2'};
    const wchar_t embeddedNul[] = L"ab\0cd";
    Write(L"Dword", REG_DWORD, &number, sizeof number);
    Write(L"Binary", REG_BINARY, binary, sizeof binary);
    Write(L"Multi", REG_MULTI_SZ, multi, sizeof multi);
    Write(L"NoTerminator", REG_SZ, noTerminator, sizeof noTerminator);
    Write(L"OddBytes", REG_SZ, L"12", 3);
    Write(L"EmbeddedNul", REG_SZ, embeddedNul, sizeof embeddedNul);
    EXPECT_EQ(Read(L"Dword"), std::nullopt);
    EXPECT_EQ(Read(L"Binary"), std::nullopt);
    EXPECT_EQ(Read(L"Multi"), std::nullopt);
    EXPECT_EQ(Read(L"NoTerminator"), L"42");
    EXPECT_EQ(Read(L"OddBytes"), L"1");
    EXPECT_EQ(Read(L"EmbeddedNul"), L"ab");
}

} // namespace
} // namespace brevanto::platform_test
