// The version strings read from module files, and the hyperlink label on a form of its own.
#include <gtest/gtest.h>
// commctrl.h needs windows.h before it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "components/links/openurl.h"
#include "components/links/progversion.h"
#include "components/links/urllabel.h"
#include "framework/application.h"
#include "framework/form.h"
#include "tests/win/harness.h"

namespace {

using links::TURLLabel;
using Strings = std::vector<std::string>;

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kPurple = RGB(128, 0, 128);

// Offset of the fixed version record in a file's bytes, found through the UTF-16 key of the
// version resource (built at run time, so the test's own data does not hold it); npos unless
// there is exactly one.
std::size_t FindFixedInfo(const std::string& bytes) {
    std::string key;
    for (const char c : std::string("VS_VERSION_INFO")) key += std::string{c, '\0'};
    const std::size_t at = bytes.find(key);
    if (at == std::string::npos || bytes.find(key, at + 1) != std::string::npos)
        return std::string::npos;
    // Header of three words, the key with its terminator, padding to 32 bits.
    const std::size_t fixed = at - 6 + ((6 + key.size() + 2 + 3) & ~std::size_t(3));
    std::uint32_t signature;
    std::memcpy(&signature, bytes.data() + fixed, sizeof signature);
    return signature == VS_FFI_SIGNATURE ? fixed : std::string::npos;
}

Strings Forms(const TProgVersion& version) {
    return {version.OneDigitVersion(), version.TwoDigitVersion(), version.ThreeDigitVersion(),
            version.FourDigitVersion()};
}

TEST(ProgVersionTest, FixedProductVersionWinsOverFileVersionAndTextsAndNoneGivesEmpty) {
    const std::string exe = fw::Application.ExeName(), folder = harness::ExeFolder();
    const std::string patched = folder + "links_patched.exe", text = folder + "links_notes.txt";
    std::string bytes = harness::ReadFile(exe);
    const std::size_t fixed = FindFixedInfo(bytes);
    ASSERT_NE(fixed, std::string::npos) << "the test exe carries one version resource";
    // File version 2.5.6.8, product version 4.3.0.7; the text entries keep the project's.
    const std::uint32_t words[] = {0x00020005, 0x00060008, 0x00040003, 0x00000007};
    std::memcpy(bytes.data() + fixed + 8, words, sizeof words);
    harness::WriteFile(patched, bytes);
    harness::WriteFile(text, "MZ but not a program at all\r\n");

    EXPECT_EQ(Forms(TProgVersion(patched)), (Strings{"4", "4.3", "4.3.0", "4.3.0.7"}));
    EXPECT_NE(TProgVersion().FourDigitVersion(), "") << "the running exe by default";
    EXPECT_EQ(TProgVersion().FourDigitVersion(), TProgVersion(exe).FourDigitVersion());
    for (const std::string& file : {text, folder + "no_such_file.exe", std::string()})
        EXPECT_EQ(Forms(TProgVersion(file)), Strings(4)) << file;
    harness::RemoveFile(patched);
    harness::RemoveFile(text);
}

class URLLabelTest : public ::testing::Test {
protected:
    static constexpr int kLeft = 20, kTop = 30;

    void SetUp() override {
        fw::TForm::Style style;
        style.caption = "Links test";
        style.style = WS_POPUP | WS_CAPTION;
        style.clientWidth = 320;
        style.clientHeight = 120;
        form_.CreateForm(style);
        SetWindowPos(form_.Handle(), nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        label_ =
            std::make_unique<TURLLabel>(form_.Handle(), kLeft, kTop, "Lumen Workshop Web Site");
        ShowWindow(form_.Handle(), SW_SHOWNOACTIVATE);
        harness::Pump();
    }
    void TearDown() override {
        links::SetOpenUrlHook(nullptr);
        label_.reset();
        harness::Pump();
    }

    HWND Label() const { return label_->Handle(); }
    // Where the label sits in the form, as the window manager has it.
    RECT Placed() const {
        RECT rect;
        GetWindowRect(Label(), &rect);
        MapWindowPoints(nullptr, form_.Handle(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    // How many pixels of the label, drawn off screen, have exactly this colour.
    int PixelsOf(COLORREF color) const {
        RECT client;
        GetClientRect(Label(), &client);
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
        ReleaseDC(nullptr, screen);
        const HGDIOBJ old = SelectObject(dc, bitmap);
        SendMessageA(Label(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        int count = 0;
        for (int y = 0; y < client.bottom; ++y)
            for (int x = 0; x < client.right; ++x) count += GetPixel(dc, x, y) == color;
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        return count;
    }
    void ExpectDrawnIn(COLORREF shown, COLORREF notShown, const std::string& where) const {
        EXPECT_GT(PixelsOf(shown), 10) << where;
        EXPECT_EQ(PixelsOf(notShown), 0) << where;
    }
    bool RepaintAfter(const std::function<void()>& change) const {
        ValidateRect(Label(), nullptr);
        change();
        return GetUpdateRect(Label(), nullptr, FALSE) != FALSE;
    }
    void Send(UINT msg, int x = 3, WPARAM keys = 0) const {
        SendMessageA(Label(), msg, keys, MAKELPARAM(x, 3));
    }
    void Click() const {
        Send(WM_LBUTTONDOWN, 3, MK_LBUTTON);
        Send(WM_LBUTTONUP);
    }

    fw::TForm form_;
    std::unique_ptr<TURLLabel> label_;
};

TEST_F(URLLabelTest, DrawnBlueOrGreyAtItsPlaceWithTheHandCursorAndAHint) {
    ExpectDrawnIn(kBlue, kPurple, "at rest");
    EXPECT_EQ(label_->Font().Style, unsigned(links::fsUnderline));
    EnableWindow(Label(), FALSE);
    ExpectDrawnIn(GetSysColor(COLOR_GRAYTEXT), kBlue, "disabled");
    EnableWindow(Label(), TRUE);

    const RECT placed = Placed();  // sized to its text
    EXPECT_EQ(placed.left, kLeft);
    EXPECT_EQ(placed.top, kTop);
    EXPECT_GT(placed.right - placed.left, 40);
    EXPECT_GT(placed.bottom - placed.top, 5);

    const HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), "URLHAND");
    ASSERT_NE(hand, nullptr);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    SendMessageA(Label(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Label()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), hand);

    label_->SetHint("Click to connect");
    HWND tip = nullptr;
    do tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr);
    while (tip && GetWindow(tip, GW_OWNER) != form_.Handle());
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    label_->SetHint("");
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 0);
}

TEST_F(URLLabelTest, PropertyWritesRepaintOnlyWhenTheLookChanges) {
    const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 128, 0);
    constexpr unsigned kPlain = 0, kLine = links::fsUnderline;
    constexpr unsigned kBoldLine = links::fsBold | links::fsUnderline;
    links::TLabelFont boldRed;
    boldRed.Height = -12;
    boldRed.Color = kRed;
    boldRed.Style = kBoldLine;
    TURLLabel& l = *label_;
    const struct {
        const char* what;
        std::function<void()> write;
        bool repaint;
        COLORREF color;
        unsigned style;
    } steps[] = {
        {"values as they are",
         [&] {
             l.SetURLColStd(kBlue);
             l.SetLabelType(links::hmHTTP);
             l.SetEffect98(false);
         },
         false, kBlue, kLine},
        {"new rest colour", [&] { l.SetURLColStd(kGreen); }, true, kGreen, kLine},
        {"custom type is plain", [&] { l.SetLabelType(links::hmCUSTOM); }, true, kGreen, kPlain},
        {"mail is underlined", [&] { l.SetLabelType(links::hmMAIL); }, true, kGreen, kLine},
        {"effect on is plain", [&] { l.SetEffect98(true); }, true, kGreen, kPlain},
        {"type under the effect", [&] { l.SetLabelType(links::hmFTP); }, false, kGreen, kPlain},
        {"effect off underlines", [&] { l.SetEffect98(false); }, true, kGreen, kLine},
        {"a font sets the rest colour", [&] { l.SetFont(boldRed); }, true, kRed, kBoldLine},
        {"custom drops bold too", [&] { l.SetLabelType(links::hmCUSTOM); }, true, kRed, kPlain},
        {"font after the type", [&] { l.SetFont(boldRed); }, true, kRed, kBoldLine},
        {"effect off under custom keeps the style",
         [&] {
             l.SetEffect98(true);
             l.SetFont(boldRed);
             l.SetEffect98(false);
         },
         true, kRed, kBoldLine},
    };
    const RECT start = Placed();
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        EXPECT_EQ(RepaintAfter(step.write), step.repaint);
        EXPECT_EQ(l.Font().Color, step.color);
        EXPECT_EQ(l.Font().Style, step.style);
        EXPECT_EQ(Placed().top, start.top) << "writes never move the label";
        EXPECT_EQ(Placed().left, start.left);
    }
    EXPECT_GT(Placed().bottom - Placed().top, start.bottom - start.top) << "the bigger bold font";
    Click();
    ExpectDrawnIn(kRed, kBlue, "a press ends in the font's colour");
}

TEST_F(URLLabelTest, PressShowsPurpleMovesDownOnlyWithAllowDownAndAlwaysComesBack) {
    int clicks = 0;
    label_->OnClick = [&] { ++clicks; };
    const LONG top = Placed().top;
    const auto expect = [&](int down, COLORREF color, int clicked, const char* when) {
        EXPECT_EQ(Placed().top, top + down) << when;
        EXPECT_EQ(label_->Font().Color, color) << when;
        EXPECT_EQ(clicks, clicked) << when;
    };
    Send(WM_LBUTTONDOWN, 3, MK_LBUTTON);
    ExpectDrawnIn(kPurple, kBlue, "pressed");
    expect(0, kPurple, 0, "pressed without AllowDown");
    Send(WM_LBUTTONUP);
    expect(0, kBlue, 1, "released");

    label_->SetAllowDown(true);
    Send(WM_LBUTTONDOWN, 3, MK_LBUTTON);
    Send(WM_LBUTTONDOWN, 3, MK_LBUTTON);
    expect(1, kPurple, 1, "pressed twice: one pixel down");
    Send(WM_LBUTTONUP, label_->Width() + 20);
    expect(0, kBlue, 1, "released outside");
    Send(WM_LBUTTONUP);
    expect(0, kBlue, 1, "released with no press");

    Send(WM_LBUTTONDOWN, 3, MK_LBUTTON);
    Send(WM_RBUTTONUP, 3, MK_LBUTTON);
    expect(1, kBlue, 1, "another button's release: the left one still owes the move");
    Send(WM_LBUTTONUP);
    expect(0, kBlue, 2, "then the left release");

    Send(WM_LBUTTONDOWN, 3, MK_LBUTTON);
    ASSERT_EQ(GetCapture(), Label());
    ReleaseCapture();
    expect(0, kBlue, 2, "the mouse taken mid-press");
    Send(WM_LBUTTONUP);
    expect(0, kBlue, 2, "a release after losing the mouse");
}

TEST_F(URLLabelTest, HoverChangesTheLookOnlyWithEffect98) {
    EXPECT_FALSE(RepaintAfter([&] { Send(WM_MOUSEMOVE); }));
    Send(WM_MOUSELEAVE);
    EXPECT_EQ(label_->Font().Color, kBlue);
    EXPECT_EQ(label_->Font().Style, unsigned(links::fsUnderline));

    label_->SetEffect98(true);
    EXPECT_TRUE(RepaintAfter([&] { Send(WM_MOUSEMOVE); }));
    EXPECT_EQ(label_->Font().Color, kPurple);
    EXPECT_EQ(label_->Font().Style, unsigned(links::fsUnderline));
    Click();
    EXPECT_EQ(label_->Font().Color, kPurple) << "a release keeps the hover colour";
    Send(WM_MOUSELEAVE);
    EXPECT_EQ(label_->Font().Color, kBlue);
    EXPECT_EQ(label_->Font().Style, 0u);
}

TEST_F(URLLabelTest, TheHandlerRunsPressedThenTheAddressOpensOnceUnlessTheLinkIsCustom) {
    label_->SetAllowDown(true);
    const LONG top = Placed().top;
    Strings events;
    links::SetOpenUrlHook([&](const std::string& url) {
        events.push_back("open " + url);
        return 42;
    });
    label_->OnClick = [&] {
        events.push_back("click");
        harness::Pump();  // as under the program's question box
        ExpectDrawnIn(kPurple, kBlue, "in the handler");
        EXPECT_EQ(Placed().top, top + 1);
    };
    Click();
    // A double click's second press opens nothing again.
    Send(WM_LBUTTONDBLCLK, 3, MK_LBUTTON);
    Send(WM_LBUTTONUP);
    label_->SetLabelType(links::hmCUSTOM);
    Click();
    EXPECT_EQ(events, (Strings{"click", "open http://Lumen Workshop Web Site", "click"}));
    EXPECT_EQ(Placed().top, top);
    ExpectDrawnIn(kBlue, kPurple, "after the handler");
}

}  // namespace
