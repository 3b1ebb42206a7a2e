// The tray icon component on real windows, driven by posted shell notifications.
#include <gtest/gtest.h>

#include <string>

#include "components/tray/trayicon.h"
#include "framework/application.h"
#include "framework/form.h"
#include "framework/menu.h"
#include "framework/messages.h"
#include "tests/win/harness.h"

namespace {

void CALLBACK EndMenuTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EndMenu();
}

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
        tray = std::make_unique<TTrayIcon>(&form, "TrayIcon1");
        tray->SetHint("BriskJot");
        tray->SetPopupMenu(&menu);
        tray->OnClick = [this] { Log("click"); };
        tray->OnDblClick = [this] { Log("double click"); };
        tray->OnMouseDown = [this](TMouseButton b, unsigned, int, int) { Log("down ", b); };
        tray->OnMouseUp = [this](TMouseButton b, unsigned, int, int) {
            Log("up ", b, GetForegroundWindow() == form.Handle() ? " fg" : "");
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
    std::unique_ptr<TTrayIcon> tray;
    void Log(const std::string& event, int button = -1, const char* tail = "") {
        events += (events.empty() ? "" : ", ") + event +
                  (button < 0 ? "" : std::to_string(button) + tail);
    }
    std::string events;
};

TEST_F(TrayTest, LeftButtonEventsTheDefaultItemAndTheRightClickMenu) {
    tray->MinimizeToTray = true;
    // Without a menu to pop up, MinimizeToTray hides the shown owner.
    for (const bool autoPopup : {true, false}) {
        SCOPED_TRACE(autoPopup);
        menu.AutoPopup = autoPopup;
        tray->PopupByLeft = !autoPopup;  // would block the test with AutoPopup on
        form.Show();
        SetForegroundWindow(GetDesktopWindow());
        events.clear();
        for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
            PostMessageA(tray->WindowHandle(), fw::messages::kTrayCallback, tray->IconID(), m);
        harness::Pump();
        EXPECT_EQ(events, std::string("down 0, up 0 fg, click, ") +
                              (autoPopup ? "default item, " : "") + "double click, up 0 fg");
        EXPECT_EQ(form.Visible(), autoPopup);
    }
    // The menu runs its own loop: close it from inside as a user would.
    menu.AutoPopup = true;
    events.clear();
    SetTimer(nullptr, 0, 200, &EndMenuTimer);
    PostMessageA(tray->WindowHandle(), fw::messages::kTrayCallback, 0, WM_RBUTTONDOWN);
    PostMessageA(tray->WindowHandle(), fw::messages::kTrayCallback, 0, WM_RBUTTONUP);
    MSG msg;
    while (PeekMessageA(&msg, tray->WindowHandle(), 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    EXPECT_EQ(events, "down 1, up 1 fg, popup");
    EXPECT_TRUE(PeekMessageA(&msg, form.Handle(), WM_NULL, WM_NULL, PM_REMOVE))
        << "WM_NULL posted to the owner after the menu";
}

TEST_F(TrayTest, TheShellRecordFollowsThePropertiesAndMinimisingHidesToTheTray) {
    const NOTIFYICONDATAA& data = tray->NotifyData();
    tray->SetHint(std::string(200, 'x'));
    EXPECT_EQ(std::string(data.szTip), std::string(127, 'x')) << "cut to the long tip's size";
    tray->SetVisible(false);
    EXPECT_EQ(data.uFlags, UINT(NIF_MESSAGE | NIF_TIP));
    EXPECT_FALSE(InNotificationArea(*tray));

    tray->MinimizeToTray = true;
    form.Show();
    HWND app = fw::Application.Handle();
    SendMessageA(app, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_EQ(events, "minimize");
    EXPECT_FALSE(form.Visible());
    EXPECT_TRUE(InNotificationArea(*tray));
    // Simulates the shell forgetting the icon, then announcing its restart.
    NOTIFYICONDATAA probe = tray->NotifyData();
    Shell_NotifyIconA(NIM_DELETE, &probe);
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(harness::WaitFor([&] { return InNotificationArea(*tray); }));
    EXPECT_TRUE(form.Visible());
    SendMessageA(app, WM_SIZE, SIZE_MINIMIZED, 0);
    tray->SetVisible(false);
    EXPECT_TRUE(form.Visible()) << "removing the icon brings the application back";

    // Destroyed, it leaves the shell and the application window its own procedure.
    tray->SetVisible(true);
    tray.reset();
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &probe)) << "icon removed";
    // Checked first: a procedure left behind would run on a destroyed component.
    ASSERT_EQ(GetWindowLongPtrA(app, GWLP_WNDPROC), GetClassLongPtrA(app, GCLP_WNDPROC));
    SendMessageA(app, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_TRUE(form.Visible());
}

}  // namespace
