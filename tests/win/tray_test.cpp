// The tray icon component on real windows, driven by posted shell notifications.
#include <gtest/gtest.h>

#include <string>

#include "components/tray/trayicon.h"
#include "framework/application.h"
#include "framework/form.h"
#include "framework/imagelist.h"
#include "framework/menu.h"
#include "tests/win/harness.h"

namespace {

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

class TrayTest : public ::testing::Test {
protected:
    TrayTest() : root("", 0), showItem("Show", 9001), otherItem("Other", 9002), menu(root) {
        form.CreateForm({"tray test"});
        root.Add(otherItem);  // the double click looks past it for the default item
        root.Add(showItem);
        showItem.SetDefault(true);
        showItem.OnClick = [this] { Log("default item"); };
        menu.Build(nullptr);
        fw::Application.Reset();
        fw::Application.SetMainForm(&form);
        tray = std::make_unique<CountingTrayIcon>(&form, "TrayIcon1");
        tray->SetHint("BriskJot");
        tray->SetPopupMenu(&menu);
        tray->OnClick = [this] { Log("click"); };
        tray->OnDblClick = [this] { Log("double click"); };
        tray->OnMouseDown = [this](TMouseButton b, unsigned, int, int) {
            Log("down " + std::to_string(b));
        };
        tray->OnMouseUp = [this](TMouseButton b, unsigned, int, int) {
            Log("up " + std::to_string(b) + (GetForegroundWindow() == form.Handle() ? " fg" : ""));
        };
        tray->OnPopupMenu = [this] { Log("popup"); };
        tray->OnMinimize = [this] { Log("minimize"); };
        tray->SetVisible(true);
        events.clear();
    }
    ~TrayTest() override {
        tray.reset();
        fw::Application.Reset();
    }

    fw::TForm form;
    fw::TMenuItem root, showItem, otherItem;
    fw::TPopupMenu menu;
    std::unique_ptr<CountingTrayIcon> tray;
    void Log(const std::string& event) { events += (events.empty() ? "" : ", ") + event; }
    std::string events;
};

TEST_F(TrayTest, TheShellRecordFollowsTheProperties) {
    const NOTIFYICONDATAA& data = tray->NotifyData();
    EXPECT_EQ(data.uFlags, UINT(NIF_MESSAGE | NIF_TIP | NIF_ICON));
    EXPECT_STREQ(data.szTip, "BriskJot");
    EXPECT_TRUE(InNotificationArea(*tray));

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
    tray->SetImageList(nullptr);

    tray->SetHint(std::string(200, 'x'));
    EXPECT_EQ(std::string(data.szTip), std::string(127, 'x')) << "cut to the long tip's size";
    EXPECT_EQ(data.cbSize, DWORD(NOTIFYICONDATAA_V2_SIZE)) << "the record that has it";
    tray->SetShowHint(false);
    EXPECT_STREQ(data.szTip, "");
    EXPECT_TRUE(data.uFlags & NIF_TIP) << "the tip flag stays";
    tray->SetIconID(7);  // re-added under the new id
    EXPECT_TRUE(InNotificationArea(*tray));
    EXPECT_EQ(data.uID, 7u);

    tray->SetVisible(false);
    EXPECT_EQ(data.uFlags, UINT(NIF_MESSAGE | NIF_TIP));
    EXPECT_FALSE(InNotificationArea(*tray));
}

TEST_F(TrayTest, LeftButtonEventsAndTheDefaultItem) {
    const struct {
        const char* name;
        bool defaultEnabled, autoPopup, enabled;
        const char* events;
        bool shownAfter;
    } rows[] = {
        // clang-format off
        {"default item", true, true, true,
         "down 0, up 0 fg, click, default item, double click, up 0 fg", true},
        {"a disabled default item does nothing", false, true, true,
         "down 0, up 0 fg, click, double click, up 0 fg", true},
        // Without a menu to pop up, MinimizeToTray hides the shown owner.
        {"no AutoPopup", true, false, true, "down 0, up 0 fg, click, double click, up 0 fg", false},
        {"disabled icon", true, true, false, "", true},
        // clang-format on
    };
    tray->MinimizeToTray = true;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        showItem.SetEnabled(row.defaultEnabled);
        menu.AutoPopup = row.autoPopup;
        tray->PopupByLeft = !row.autoPopup;  // would block the test with AutoPopup on
        tray->Enabled = row.enabled;
        form.Show();
        SetForegroundWindow(GetDesktopWindow());
        events.clear();
        for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
            PostMessageA(tray->WindowHandle(), TTrayIcon::kCallbackMessage, tray->IconID(), m);
        harness::Pump();
        EXPECT_EQ(events, row.events);
        EXPECT_EQ(form.Visible(), row.shownAfter);
    }
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
    EXPECT_EQ(events, "down 1, up 1 fg, popup");
    EXPECT_TRUE(PeekMessageA(&msg, form.Handle(), WM_NULL, WM_NULL, PM_REMOVE))
        << "WM_NULL posted to the owner after the menu";
}

TEST_F(TrayTest, MinimisingHidesToTheTrayUntilTheIconGoes) {
    tray->MinimizeToTray = true;
    tray->SetVisible(false);
    form.Show();
    events.clear();
    HWND app = fw::Application.Handle();
    SendMessageA(app, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_EQ(events, "minimize");
    EXPECT_FALSE(form.Visible());
    EXPECT_TRUE(InNotificationArea(*tray));
    tray->SetVisible(false);
    EXPECT_TRUE(form.Visible()) << "removing the icon brings the application back";

    // Destroyed, it leaves the shell and the application window its own procedure.
    tray->SetVisible(true);
    NOTIFYICONDATAA probe = tray->NotifyData();
    tray.reset();
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &probe)) << "icon removed";
    // Checked first: a procedure left behind would run on a destroyed component.
    ASSERT_EQ(GetWindowLongPtrA(app, GWLP_WNDPROC), GetClassLongPtrA(app, GCLP_WNDPROC));
    SendMessageA(app, WM_SIZE, SIZE_MINIMIZED, 0);
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

}  // namespace
