// Where the main window goes, how it is shown and hidden, and what
// activation does, on the real main window.
#include <gtest/gtest.h>

#include <array>

#include "about/formabout.h"
#include "app/formmain.h"
#include "app/forms.h"
#include "app/globals.h"
#include "tests/win/harness.h"

namespace {

using harness::Program;

void ExpectDefaultPlace(TFormMain& form) {
    const RECT r = form.Bounds();
    EXPECT_EQ((std::array<LONG, 4>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
              (std::array<LONG, 4>{615, 521, 409, 219}));
    EXPECT_TRUE(form.Visible());
    EXPECT_FALSE(form.Maximized());
    EXPECT_EQ(form.PopUpShowBriskjot.Caption(), "Hide Brisk&Jot");
}

void NotifyTray(TFormMain& form, std::initializer_list<UINT> mouseMessages) {
    for (UINT m : mouseMessages)
        PostMessageA(form.TrayIcon1->WindowHandle(), TTrayIcon::kCallbackMessage, 0, m);
    harness::Pump(50);
}

TEST(Placement, DefaultSizeAndPositionFromAnyState) {
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024) << "the tests expect a 1024 x 768 screen";
    Program program;
    TFormMain& form = program.Main();
    ExpectDefaultPlace(form);  // a first run places the window at once

    form.SetLeft(10);
    form.Hide();
    form.PopUpDefaultSizePosition.Click();
    ExpectDefaultPlace(form);

    ShowWindow(form.Handle(), SW_MAXIMIZE);
    NotifyTray(form, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP});
    ExpectDefaultPlace(form);

    ShowWindow(form.Handle(), SW_MAXIMIZE);
    form.Hide();
    form.DefaultSizePositionProc();
    ExpectDefaultPlace(form);
}

TEST(Placement, ShowingHidingAndActivation) {
    Program program;
    TFormMain& form = program.Main();
    const UINT close = GetMenuState(GetSystemMenu(form.Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND);
    EXPECT_TRUE(close & MF_GRAYED);
    EXPECT_TRUE(FormActivated);
    // A Find dialog of our own closes with the hiding.
    HWND find = CreateWindowExA(0, "STATIC", "Find", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
    NotifyTray(form, {WM_LBUTTONDOWN, WM_LBUTTONUP});
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(form.PopUpShowBriskjot.Caption(), "Show Brisk&Jot");
    EXPECT_FALSE(IsWindow(find));
    NotifyTray(form, {WM_LBUTTONDOWN, WM_LBUTTONUP});
    EXPECT_TRUE(form.Visible());
    form.MenuHide.Click();
    EXPECT_FALSE(form.Visible());
    form.PopUpShowBriskjot.Click();
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(form.PopUpShowBriskjot.Caption(), "Hide Brisk&Jot");

    // The tray component's own hiding and showing keep the caption too.
    form.TrayIcon1->HideApplication();
    EXPECT_EQ(form.PopUpShowBriskjot.Caption(), "Show Brisk&Jot");
    form.TrayIcon1->ShowApplication();
    EXPECT_EQ(form.PopUpShowBriskjot.Caption(), "Hide Brisk&Jot");
    form.PopUpShowBriskjot.SetCaption("something else");
    form.TrayIcon1Click();
    EXPECT_TRUE(form.Visible()) << "any other caption does nothing";

    FormAbout->Show();
    ASSERT_TRUE(FormAbout->Visible());
    form.FormActivate();
    EXPECT_FALSE(FormAbout->Visible()) << "activation closes the About box";
    EXPECT_EQ(GetFocus(), form.Memo1->Handle());
}

}  // namespace
