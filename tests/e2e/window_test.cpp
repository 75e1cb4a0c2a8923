#include "tests/e2e/program_test.h"

#include <tuple>

#include "app/window_layout.h"
#include "platform/base/unique_resource.h"

namespace brevanto::e2e {
namespace {

RECT ClientRectOf(HWND control, HWND parent) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

TEST_F(ProgramTest, WindowOpensWithItsControlsWhereTheLayoutSays) {
    ProgramRun run;
    HWND window = run.Window();
    if (window && WindowDpi(window) != kLayoutDpi)
        BREVANTO_SKIP(runner::kLayoutNotComparableSkip,
                      "the layout's pixels are known at 96 DPI; the window is at " +
                          std::to_string(WindowDpi(window)));
    ASSERT_TRUE(window);
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));

    EXPECT_EQ(run.Caption(), kMainWindowCaption);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 571);
    EXPECT_EQ(client.bottom, 379);

    struct Expected {
        int id;
        const wchar_t* cls;
        const wchar_t* text;
        RECT rect;
    };
    // 15 twips a pixel at 96 DPI.
    const Expected controls[] = {
        {kCmdTestId, L"Button", L"Test", {304, 64, 304 + 89, 64 + 33}},
        {kCmdCancelId, L"Button", L"&Cancel", {408, 40, 408 + 137, 40 + 61}},
        {kText1Id, L"Edit", nullptr, {16, 104, 16 + 537, 104 + 257}},
        {kLabel1Id, L"Static", L"Generating Report...", {16, 16, 16 + 561, 16 + 25}},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.id);
        HWND control = run.Control(c.id);
        ASSERT_TRUE(control);
        EXPECT_EQ(ClassOf(control), c.cls);
        const RECT rect = ClientRectOf(control, window);
        EXPECT_EQ(std::tie(rect.left, rect.top, rect.right, rect.bottom),
                  std::tie(c.rect.left, c.rect.top, c.rect.right, c.rect.bottom));
        if (c.text) {
            wchar_t text[64] = {};
            SendMessageW(control, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
            EXPECT_STREQ(text, c.text);
        }
    }

    HWND log = run.Control(kText1Id);
    const LONG style = GetWindowLongW(log, GWL_STYLE);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_TRUE(style & WS_VSCROLL);

    // Cancel has the focus; the keyboard order is Cancel, the log, Test.
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info));
    EXPECT_EQ(info.hwndFocus, run.Control(kCmdCancelId));
    EXPECT_EQ(GetNextDlgTabItem(window, run.Control(kCmdCancelId), FALSE), log);
    EXPECT_EQ(GetNextDlgTabItem(window, log, FALSE), run.Control(kCmdTestId));
    EXPECT_EQ(GetNextDlgTabItem(window, run.Control(kCmdTestId), FALSE), run.Control(kCmdCancelId));

    EXPECT_EQ(run.EndWithCancel(3000), 0);
}

TEST_F(ProgramTest, CancelWhileIdleAfterTheJobEndsTheProgramAtOnce) {
    ProgramRun run;
    ASSERT_TRUE(run.WaitForLogLines(13, 10000));
    const std::int64_t clickUs = NowUs();
    EXPECT_EQ(run.EndWithCancel(5000), 0);
    EXPECT_LT(Ms(run.ExitUs() - clickUs), 1500.0);
}

TEST_F(ProgramTest, EscapeAndTheCloseBoxActAsCancel) {
    for (const bool escape : {true, false}) {
        SCOPED_TRACE(escape ? "Escape" : "close box");
        ProgramRun run;
        ASSERT_TRUE(run.WaitForLogLines(13, 10000));
        if (escape)
            PostMessageW(run.Control(kCmdCancelId), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        else
            PostMessageW(run.Window(), WM_CLOSE, 0, 0);
        EXPECT_EQ(run.WaitForExit(3000), 0);
    }
}

TEST_F(ProgramTest, CancelDuringTheJobStopsItBeforeTheNextComponentCall) {
    const RunEnd end = RunToItsEnd("click:User.LoginUser=Cancel", 5000);
    EXPECT_EQ(end.status, 3);
    EXPECT_LT(end.lifeMs, 4000.0);
    EXPECT_EQ(end.lastCall, "User.call LoginUser BSTR:\"\" BSTR:\"\"");
}

TEST_F(ProgramTest, CancelWhileTheViewerShowsEndsTheProgramAsCancelled) {
    // The viewer serves the click in its own message loop and returns on the quit it brings.
    const RunEnd end =
        RunToItsEnd("click:Viewer.Show_Results=Cancel;pump:Viewer.Show_Results=3000", 8000);
    EXPECT_EQ(end.status, 3);
    EXPECT_LT(end.lifeMs, 2500.0);
    EXPECT_EQ(end.lastCall, "Viewer.call Show_Results");
    EXPECT_TRUE(end.everyObjectReleased);
}

TEST_F(ProgramTest, JobStillRunningAfterTwentySecondsIsCutOff) {
    // Show_Results lets window events run for longer than the exit timer's first count.
    ProgramRun run("pump:Viewer.Show_Results=30000");
    ASSERT_TRUE(run.Window());
    ASSERT_TRUE(run.WaitForLogLines(12, 10000));
    EXPECT_EQ(run.WaitForExit(40000), 2);
    const double lifeMs = Ms(run.ExitUs() - run.ShownUs());
    EXPECT_GE(lifeMs, 19800.0);
    EXPECT_LE(lifeMs, 21000.0);
    EXPECT_EQ(LogLines(run.LastLog()).back(), L" 8 Show_Results ");
    // Show_Results never returned: its journal line is written on return.
    EXPECT_EQ(run.Calls().back(), "Viewer.put Export BOOL:-1");
}

TEST_F(ProgramTest, ExecutableCarriesItsVersionRecordAndIcon) {
    const std::wstring exe = ProgramDirectory() + L"\\Brevanto.exe";
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, data.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00080000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 34u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00080000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 34u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));

    const std::pair<const wchar_t*, const wchar_t*> strings[] = {
        {L"FileVersion", L"8.00.0034"},       {L"ProductVersion", L"8.00.0034"},
        {L"InternalName", L"Brevanto"},       {L"OriginalFilename", L"Brevanto.exe"},
        {L"ProductName", L"ZELTAR Brevanto"},
    };
    for (const auto& [name, expected] : strings) {
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        wchar_t* value = nullptr;
        ASSERT_TRUE(
            VerQueryValueW(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
            << Utf8(name);
        EXPECT_STREQ(value, expected);
    }
    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);

    const UniqueModule module(LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module);
    HRSRC group = FindResourceW(module.Get(), MAKEINTRESOURCEW(1), RT_GROUP_ICON);
    ASSERT_TRUE(group);
    // The group's only entry: 32 x 32, 16 colours.
    const auto* entry = static_cast<const BYTE*>(LockResource(LoadResource(module.Get(), group)));
    EXPECT_EQ(entry[6], 32);
    EXPECT_EQ(entry[7], 32);
    EXPECT_EQ(entry[8], 16);
}

} // namespace
} // namespace brevanto::e2e
