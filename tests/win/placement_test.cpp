// Where the main window goes, how it is shown and hidden, and what
// activation does, on the real main window.
#include <gtest/gtest.h>

#include "about/formabout.h"
#include "app/formmain.h"
#include "app/forms.h"
#include "app/globals.h"
#include "tests/win/harness.h"

namespace {

using harness::Program;

void ExpectDefaultPlace(TFormMain& form) {
    const RECT r = form.Bounds();
    EXPECT_EQ(r.left, 615);
    EXPECT_EQ(r.top, 521);
    EXPECT_EQ(r.right - r.left, 409);
    EXPECT_EQ(r.bottom - r.top, 219);
    EXPECT_TRUE(form.Visible());
    EXPECT_FALSE(form.Maximized());
    EXPECT_EQ(form.PopUpShowBriskjot.Caption(), "Hide Brisk&Jot");
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
    ASSERT_TRUE(form.Maximized());
    form.PopUpDefaultSizePositionClick();
    ExpectDefaultPlace(form);

    ShowWindow(form.Handle(), SW_MAXIMIZE);
    form.Hide();
    form.DefaultSizePositionProc();
    ExpectDefaultPlace(form);
}

TEST(Placement, TheToggleFollowsTheCaptionOnEveryRoute) {
    Program program;
    TFormMain& form = program.Main();
    ASSERT_TRUE(form.Visible());
    // A Find dialog of our own closes with the hiding.
    HWND find = CreateWindowExA(0, "STATIC", "Find", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
    form.TrayIcon1Click();
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(form.PopUpShowBriskjot.Caption(), "Show Brisk&Jot");
    EXPECT_FALSE(IsWindow(find));

    form.PopUpShowBriskjot.Click();
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(form.PopUpShowBriskjot.Caption(), "Hide Brisk&Jot");
    form.MenuHide.Click();
    EXPECT_FALSE(form.Visible());

    // Other routes keep the caption too: the tray component's own hiding and showing.
    form.TrayIcon1->ShowApplication();
    EXPECT_EQ(form.PopUpShowBriskjot.Caption(), "Hide Brisk&Jot");
    form.TrayIcon1->HideApplication();
    EXPECT_EQ(form.PopUpShowBriskjot.Caption(), "Show Brisk&Jot");

    form.PopUpShowBriskjot.SetCaption("something else");
    form.TrayIcon1Click();
    EXPECT_FALSE(form.Visible()) << "any other caption does nothing";
}

TEST(Placement, ADoubleClickOnTheIconEndsAtTheDefaultPlace) {
    Program program;
    TFormMain& form = program.Main();
    ShowWindow(form.Handle(), SW_MAXIMIZE);
    HWND tray = form.TrayIcon1->WindowHandle();
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        PostMessageA(tray, TTrayIcon::kCallbackMessage, 0, m);
    harness::Pump(50);
    ExpectDefaultPlace(form);

    // A single click hides the shown window, the next shows it again.
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP}) PostMessageA(tray, TTrayIcon::kCallbackMessage, 0, m);
    harness::Pump(50);
    EXPECT_FALSE(form.Visible());
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP}) PostMessageA(tray, TTrayIcon::kCallbackMessage, 0, m);
    harness::Pump(50);
    EXPECT_TRUE(form.Visible());
}

TEST(Placement, ActivationDisablesCloseClosesTheAboutBoxAndFocusesTheMemo) {
    Program program;
    TFormMain& form = program.Main();
    const UINT close = GetMenuState(GetSystemMenu(form.Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND);
    EXPECT_TRUE(close & MF_GRAYED);
    EXPECT_TRUE(FormActivated);

    FormAbout->Show();
    ASSERT_TRUE(FormAbout->Visible());
    form.FormActivate();
    EXPECT_FALSE(FormAbout->Visible());
    EXPECT_EQ(GetFocus(), form.Memo1->Handle());
}

}  // namespace
