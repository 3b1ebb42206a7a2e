// The tray icon component on real windows, driven by posted shell notifications.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/tray/trayicon.h"
#include "framework/application.h"
#include "framework/form.h"
#include "framework/imagelist.h"
#include "framework/menu.h"
#include "tests/win/harness.h"

namespace {

class TestForm : public fw::TForm {
public:
    TestForm() {
        Style style;
        style.caption = "tray test";
        style.width = 200;
        style.height = 100;
        CreateForm(style);
    }
};

// Counts the refreshes the property writes cause.
class CountingTrayIcon : public TTrayIcon {
public:
    using TTrayIcon::TTrayIcon;
    void RefreshIcon() override {
        ++refreshes;
        TTrayIcon::RefreshIcon();
    }
    int refreshes = 0;
};

// Whether the shell has our icon: a modify request fails for an icon it does not know.
bool InNotificationArea(const TTrayIcon& tray) {
    NOTIFYICONDATAA data = tray.NotifyData();
    data.uFlags = NIF_TIP;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

void Notify(const TTrayIcon& tray, UINT mouseMessage) {
    PostMessageA(tray.WindowHandle(), TTrayIcon::kCallbackMessage, tray.IconID(), mouseMessage);
    harness::Pump();
}

class TrayTest : public ::testing::Test {
protected:
    TrayTest()
        : root("", 0), showItem("Show", 9001), otherItem("Other", 9002), menu(root) {
        root.Add(showItem);
        root.Add(otherItem);
        showItem.SetDefault(true);
        showItem.OnClick = [this] { events.push_back("default item"); };
        menu.Build(nullptr);
        fw::Application.Reset();
        fw::Application.SetMainForm(&form);
        tray = std::make_unique<CountingTrayIcon>(&form, "TrayIcon1");
        tray->SetHint("BriskJot");
        tray->SetPopupMenu(&menu);
        tray->OnClick = [this] { events.push_back("click"); };
        tray->OnDblClick = [this] { events.push_back("double click"); };
        tray->OnMouseDown = [this](TMouseButton b, unsigned, int, int) {
            events.push_back("down " + std::to_string(b));
        };
        tray->OnMouseUp = [this](TMouseButton b, unsigned, int, int) {
            events.push_back("up " + std::to_string(b) +
                             (GetForegroundWindow() == form.Handle() ? " fg" : ""));
        };
        tray->OnPopupMenu = [this] { events.push_back("popup"); };
        tray->OnMinimize = [this] { events.push_back("minimize"); };
        tray->SetVisible(true);
        events.clear();
    }
    ~TrayTest() override {
        tray.reset();
        fw::Application.Reset();
    }

    TestForm form;
    fw::TMenuItem root, showItem, otherItem;
    fw::TPopupMenu menu;
    std::unique_ptr<CountingTrayIcon> tray;
    std::vector<std::string> events;
};

TEST_F(TrayTest, TheRecordFollowsTheProperties) {
    ASSERT_TRUE(TTrayIcon::UseExtendedNotifyData());
    const NOTIFYICONDATAA& data = tray->NotifyData();
    EXPECT_EQ(data.cbSize, DWORD(NOTIFYICONDATAA_V2_SIZE));
    EXPECT_EQ(data.hWnd, tray->WindowHandle());
    EXPECT_EQ(data.uCallbackMessage, 1235u);
    EXPECT_EQ(data.uFlags, UINT(NIF_MESSAGE | NIF_TIP | NIF_ICON));
    EXPECT_STREQ(data.szTip, "BriskJot");
    EXPECT_TRUE(InNotificationArea(*tray));

    tray->SetHint(std::string(200, 'x'));
    EXPECT_EQ(std::string(tray->NotifyData().szTip), std::string(127, 'x'));
    tray->SetShowHint(false);
    EXPECT_STREQ(tray->NotifyData().szTip, "");
    EXPECT_TRUE(tray->NotifyData().uFlags & NIF_TIP) << "the tip flag stays";

    tray->SetVisible(false);
    EXPECT_EQ(tray->NotifyData().uFlags, UINT(NIF_MESSAGE | NIF_TIP));
    EXPECT_FALSE(InNotificationArea(*tray));
}

TEST_F(TrayTest, PropertyWritesRefreshAsTheyShould) {
    fw::TImageList images;
    ASSERT_TRUE(images.LoadStrip("IMAGELIST1"));
    tray->SetImageList(&images);
    tray->SetImageIndex(2);
    const int before = tray->refreshes;
    tray->SetImageIndex(2);
    EXPECT_EQ(tray->refreshes, before + 1) << "an unchanged index still refreshes";
    EXPECT_TRUE(tray->Icon());
    tray->SetHint("BriskJot");
    tray->SetShowHint(true);
    EXPECT_EQ(tray->refreshes, before + 1) << "unchanged hint and ShowHint do not";
    tray->SetIconID(7);  // re-added under the new id
    EXPECT_TRUE(InNotificationArea(*tray));
    EXPECT_EQ(tray->NotifyData().uID, 7u);
    tray->SetImageList(nullptr);
}

TEST_F(TrayTest, ClickDoubleClickAndTheSecondButtonUp) {
    SetForegroundWindow(GetDesktopWindow());
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) Notify(*tray, m);
    EXPECT_EQ(events, (std::vector<std::string>{"down 0", "up 0 fg", "click", "default item",
                                                "double click", "up 0 fg"}));

    events.clear();
    showItem.SetEnabled(false);  // a disabled default item does nothing
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) Notify(*tray, m);
    EXPECT_EQ(events,
              (std::vector<std::string>{"down 0", "up 0 fg", "click", "double click", "up 0 fg"}));

    events.clear();
    tray->Enabled = false;
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP}) Notify(*tray, m);
    EXPECT_TRUE(events.empty());
}

TEST_F(TrayTest, RightClickShowsTheMenuAfterTheForegroundCallThenPostsNull) {
    // The menu runs its own loop: close it from inside as a user would.
    SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        EndMenu();
    });
    PostMessageA(tray->WindowHandle(), TTrayIcon::kCallbackMessage, 0, WM_RBUTTONDOWN);
    PostMessageA(tray->WindowHandle(), TTrayIcon::kCallbackMessage, 0, WM_RBUTTONUP);
    MSG msg;
    while (PeekMessageA(&msg, tray->WindowHandle(), 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    EXPECT_EQ(events, (std::vector<std::string>{"down 1", "up 1 fg", "popup"}));
    EXPECT_TRUE(PeekMessageA(&msg, form.Handle(), WM_NULL, WM_NULL, PM_REMOVE))
        << "WM_NULL posted to the owner after the menu";
}

TEST_F(TrayTest, PopupByLeftAndTheDoubleClickWithoutTheDefaultItem) {
    tray->PopupByLeft = true;
    tray->MinimizeToTray = true;
    menu.AutoPopup = false;  // keeps the left-button menu from blocking the test
    form.Show();
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK}) Notify(*tray, m);
    EXPECT_EQ(events, (std::vector<std::string>{"down 0", "up 0 fg", "click", "double click"}));
    EXPECT_FALSE(form.Visible()) << "MinimizeToTray hides a shown owner on double click";
}

TEST_F(TrayTest, MinimisingTheApplicationHidesToTheTray) {
    tray->MinimizeToTray = true;
    tray->SetVisible(false);
    form.Show();
    events.clear();
    SendMessageA(fw::Application.Handle(), WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_EQ(events, std::vector<std::string>{"minimize"});
    EXPECT_FALSE(form.Visible());
    EXPECT_TRUE(tray->Visible());
    EXPECT_TRUE(InNotificationArea(*tray));

    // Removing the icon brings the application back.
    tray->SetVisible(false);
    EXPECT_TRUE(form.Visible());
}

TEST_F(TrayTest, TaskbarRestartPutsTheIconBackAndShowsTheWindow) {
    tray->MinimizeToTray = true;
    form.Hide();
    // Simulates the shell forgetting the icon, then announcing its restart.
    NOTIFYICONDATAA data = tray->NotifyData();
    Shell_NotifyIconA(NIM_DELETE, &data);
    ASSERT_FALSE(InNotificationArea(*tray));
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(harness::WaitFor([&] { return InNotificationArea(*tray); }));
    EXPECT_TRUE(form.Visible());
}

TEST_F(TrayTest, DestructionRemovesTheIconAndRestoresTheApplicationWindow) {
    HWND app = fw::Application.Handle();
    const NOTIFYICONDATAA data = tray->NotifyData();
    tray.reset();
    NOTIFYICONDATAA probe = data;
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &probe)) << "icon removed";
    // The application window answers with its own procedure again.
    form.Show();
    SendMessageA(app, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_TRUE(form.Visible());
}

}  // namespace
