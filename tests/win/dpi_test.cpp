// The program at the DPI of its monitor. Runs in every test run at the prefix's DPI; ctest's
// win_dpi192 runs it again in a prefix at 192 DPI, where the sizes must double.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "about/formabout.h"
#include "app/commands.h"
#include "app/formmain.h"
#include "app/forms.h"
#include "tests/win/harness.h"

namespace {

// Sizes at 96 DPI: the about box's client area, a menu picture. The memo's cell height is
// measured: this system's Fixedsys need not be the one Windows has.
constexpr SIZE kAboutClient96{472, 283};
constexpr int kMenuImage96 = 16;

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int MemoCellHeight(TFormMain& form) {
    HDC dc = GetDC(form.Memo1->Handle());
    const HGDIOBJ old = SelectObject(
        dc, reinterpret_cast<HGDIOBJ>(SendMessageA(form.Memo1->Handle(), WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(form.Memo1->Handle(), dc);
    return metrics.tmHeight;
}

UINT MenuImageSize(TFormMain& form) {
    MEASUREITEMSTRUCT measure{ODT_MENU, 0, cmd::PopUpExit, 0, 0, 0};
    SendMessageA(form.Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    return measure.itemHeight;
}

int TrayIconWidth(TFormMain& form) {
    ICONINFO info{};
    if (!GetIconInfo(form.TrayIcon1->NotifyData().hIcon, &info)) return 0;
    BITMAP shape{};
    GetObjectA(info.hbmColor, sizeof shape, &shape);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return shape.bmWidth;
}

TEST(Dpi, TheProgramIsAwareAndScalesFontsLayoutAndPictures) {
    // What Windows reads from the manifest when the process starts. (Wine reports every process
    // aware, so asking the process itself could not fail here.)
    using QueryFn =
        BOOL(WINAPI*)(DWORD, HANDLE, const wchar_t*, const wchar_t*, wchar_t*, SIZE_T, SIZE_T*);
    const auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryActCtxSettingsW")));
    ASSERT_TRUE(query);
    auto setting = [&](const wchar_t* space, const wchar_t* name) {
        wchar_t value[64] = {};
        return query(0, nullptr, space, name, value, 64, nullptr) ? std::wstring(value) : L"";
    };
    EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
              L"PerMonitorV2, System");
    EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
              L"true");

    const int dpi = SystemDpi();
    std::printf("Screen at %d DPI\n", dpi);  // the 192-DPI run checks that it got its screen
    auto scaled = [&](int value) { return MulDiv(value, dpi, 96); };
    harness::Program program;
    TFormMain& form = program.Main();
    const int startCell = MemoCellHeight(form);
    EXPECT_EQ(MenuImageSize(form), UINT(scaled(kMenuImage96)));
    EXPECT_EQ(TrayIconWidth(form), GetSystemMetrics(SM_CXSMICON));
    FormAbout->Show();
    RECT client{};
    GetClientRect(FormAbout->Handle(), &client);
    // Wider where a font needs more room for a label than the table gives it.
    EXPECT_GE(client.right, scaled(kAboutClient96.cx));
    EXPECT_EQ(client.bottom, scaled(kAboutClient96.cy));
    FormAbout->Hide();

    // Moved to a monitor at 150%: the size Windows suggests, and fonts and pictures for it.
    RECT suggested{100, 120, 700, 520};
    SendMessageA(form.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT window{};
    GetWindowRect(form.Handle(), &window);
    EXPECT_TRUE(EqualRect(&window, &suggested));
    const int cell144 = MemoCellHeight(form);
    EXPECT_EQ(MenuImageSize(form), 24u);
    SendMessageA(form.Handle(), WM_DPICHANGED, MAKEWPARAM(96, 96),
                 reinterpret_cast<LPARAM>(&suggested));
    const int cell96 = MemoCellHeight(form);
    EXPECT_EQ(MenuImageSize(form), 16u);
    // A tolerance of a pixel for the font's rounding.
    EXPECT_NEAR(cell144, MulDiv(cell96, 144, 96), 1);
    EXPECT_NEAR(startCell, scaled(cell96), 1);
}

}  // namespace
