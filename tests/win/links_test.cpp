// The version strings read from module files, and the hyperlink label on a
// form of its own: property rules, the pressed look, the cursor and the click.
#include <gtest/gtest.h>
// commctrl.h needs windows.h before it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <cstdint>
#include <cstdio>
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

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kPurple = RGB(128, 0, 128);

// ---- version information

std::uint32_t Word32(const std::string& bytes, std::size_t at) {
    std::uint32_t value;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

void SetWord32(std::string& bytes, std::size_t at, std::uint32_t value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

// Offset of the fixed version record in a file's bytes, found through the
// UTF-16 key of the version resource (built here so the test's own code
// does not contain it); npos unless there is exactly one.
std::size_t FindFixedInfo(const std::string& bytes) {
    std::string key;
    for (const char c : std::string("VS_VERSION_INFO")) key += std::string{c, '\0'};
    const std::size_t at = bytes.find(key);
    if (at == std::string::npos || bytes.find(key, at + 1) != std::string::npos)
        return std::string::npos;
    // Header of three words, the key with its terminator, padding to 32 bits.
    const std::size_t block = at - 6;
    const std::size_t fixed = block + ((6 + key.size() + 2 + 3) & ~std::size_t(3));
    if (Word32(bytes, fixed) != VS_FFI_SIGNATURE) return std::string::npos;
    return fixed;
}

std::string Dotted(std::uint32_t ms, std::uint32_t ls) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", unsigned(ms >> 16), unsigned(ms & 0xFFFF),
                  unsigned(ls >> 16), unsigned(ls & 0xFFFF));
    return text;
}

struct VersionFiles {
    std::string exe = fw::Application.ExeName();
    std::string folder = harness::ExeFolder();
    std::string patched = folder + "links_patched.exe";
    std::string text = folder + "links_notes.txt";
    ~VersionFiles() {
        for (const std::string* file : {&patched, &text}) harness::RemoveFile(*file);
    }
};

std::vector<std::string> Strings(const TProgVersion& version) {
    return {version.OneDigitVersion(), version.TwoDigitVersion(), version.ThreeDigitVersion(),
            version.FourDigitVersion()};
}

TEST(ProgVersionTest, RunningExeGivesItsFixedProductVersion) {
    const VersionFiles files;
    const std::string bytes = harness::ReadFile(files.exe);
    const std::size_t fixed = FindFixedInfo(bytes);
    ASSERT_NE(fixed, std::string::npos) << "the test exe carries one version resource";
    const std::string expected = Dotted(Word32(bytes, fixed + 16), Word32(bytes, fixed + 20));

    const TProgVersion version;
    EXPECT_EQ(version.FourDigitVersion(), expected);
    // Naming the exe gives the same as the default.
    EXPECT_EQ(TProgVersion(files.exe).FourDigitVersion(), expected);
}

TEST(ProgVersionTest, FixedProductVersionWinsOverFileVersionAndTexts) {
    const VersionFiles files;
    std::string bytes = harness::ReadFile(files.exe);
    const std::size_t fixed = FindFixedInfo(bytes);
    ASSERT_NE(fixed, std::string::npos);
    SetWord32(bytes, fixed + 8, 0x00020005);  // file version 2.5.6.8
    SetWord32(bytes, fixed + 12, 0x00060008);
    SetWord32(bytes, fixed + 16, 0x00040003);  // product version 4.3.0.7
    SetWord32(bytes, fixed + 20, 0x00000007);
    harness::WriteFile(files.patched, bytes);

    // Its text entries still name the project version.
    EXPECT_EQ(Strings(TProgVersion(files.patched)),
              (std::vector<std::string>{"4", "4.3", "4.3.0", "4.3.0.7"}));
}

TEST(ProgVersionTest, FilesWithoutVersionInformationGiveEmptyStrings) {
    const VersionFiles files;
    harness::WriteFile(files.text, "MZ but not a program at all\r\n");
    const std::vector<std::string> none(4);
    EXPECT_EQ(Strings(TProgVersion(files.text)), none);
    EXPECT_EQ(Strings(TProgVersion(files.folder + "no_such_file.exe")), none);
    EXPECT_EQ(Strings(TProgVersion("")), none);
}

// ---- the hyperlink label

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

    void ClearUpdate() const { ValidateRect(Label(), nullptr); }
    bool NeedsRepaint() const { return GetUpdateRect(Label(), nullptr, FALSE) != FALSE; }

    LRESULT Send(UINT msg, int x = 3, int y = 3, WPARAM keys = 0) const {
        return SendMessageA(Label(), msg, keys, MAKELPARAM(x, y));
    }

    fw::TForm form_;
    std::unique_ptr<TURLLabel> label_;
};

TEST_F(URLLabelTest, StartsBlueUnderlinedWithTheHandCursor) {
    EXPECT_EQ(label_->LabelType(), links::hmHTTP);
    EXPECT_EQ(label_->URLColStd(), kBlue);
    EXPECT_EQ(label_->URLColPre(), kPurple);
    EXPECT_FALSE(label_->AllowDown());
    EXPECT_FALSE(label_->Effect98());
    EXPECT_EQ(label_->Font().Color, kBlue);
    EXPECT_EQ(label_->Font().Style, unsigned(links::fsUnderline));
    ExpectDrawnIn(kBlue, kPurple, "at rest");
    EnableWindow(Label(), FALSE);
    ExpectDrawnIn(GetSysColor(COLOR_GRAYTEXT), kBlue, "disabled");
    EnableWindow(Label(), TRUE);

    // Sized to its text where it was put.
    const RECT placed = Placed();
    EXPECT_EQ(placed.left, kLeft);
    EXPECT_EQ(placed.top, kTop);
    EXPECT_GT(placed.right - placed.left, 40);
    EXPECT_GT(placed.bottom - placed.top, 5);
    EXPECT_EQ(placed.right - placed.left, label_->Width());

    const HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), "URLHAND");
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(label_->Cursor(), hand);
    EXPECT_EQ(links::HandPointCursor(), hand);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    SendMessageA(Label(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Label()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), hand);

    label_->SetHint("Click to connect");
    EXPECT_EQ(label_->Hint(), "Click to connect");
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

    struct Step {
        const char* what;
        std::function<void(TURLLabel&)> write;
        bool repaint;
        COLORREF color;
        unsigned style;
    };
    const Step steps[] = {
        {"pressed colour only stored", [&](TURLLabel& l) { l.SetURLColPre(kRed); }, false, kBlue,
         kLine},
        {"allow down only stored", [](TURLLabel& l) { l.SetAllowDown(true); }, false, kBlue, kLine},
        {"same rest colour", [](TURLLabel& l) { l.SetURLColStd(kBlue); }, false, kBlue, kLine},
        {"new rest colour", [&](TURLLabel& l) { l.SetURLColStd(kGreen); }, true, kGreen, kLine},
        {"same type", [](TURLLabel& l) { l.SetLabelType(links::hmHTTP); }, false, kGreen, kLine},
        {"custom type is plain", [](TURLLabel& l) { l.SetLabelType(links::hmCUSTOM); }, true,
         kGreen, kPlain},
        {"effect already off", [](TURLLabel& l) { l.SetEffect98(false); }, false, kGreen, kPlain},
        {"mail type underlined", [](TURLLabel& l) { l.SetLabelType(links::hmMAIL); }, true, kGreen,
         kLine},
        {"effect on is plain", [](TURLLabel& l) { l.SetEffect98(true); }, true, kGreen, kPlain},
        {"type under effect stays plain", [](TURLLabel& l) { l.SetLabelType(links::hmFTP); }, false,
         kGreen, kPlain},
        {"effect off underlines", [](TURLLabel& l) { l.SetEffect98(false); }, true, kGreen, kLine},
        {"a new font gives the rest colour", [&](TURLLabel& l) { l.SetFont(boldRed); }, true, kRed,
         kBoldLine},
        {"custom type drops bold too", [](TURLLabel& l) { l.SetLabelType(links::hmCUSTOM); }, true,
         kRed, kPlain},
        {"font applied after the type keeps its style", [&](TURLLabel& l) { l.SetFont(boldRed); },
         true, kRed, kBoldLine},
        {"effect off with custom leaves the style",
         [&](TURLLabel& l) {
             l.SetEffect98(true);
             l.SetFont(boldRed);
             l.SetEffect98(false);
         },
         true, kRed, kBoldLine},
    };
    const RECT start = Placed();
    for (const Step& step : steps) {
        ClearUpdate();
        step.write(*label_);
        EXPECT_EQ(NeedsRepaint(), step.repaint) << step.what;
        EXPECT_EQ(label_->Font().Color, step.color) << step.what;
        EXPECT_EQ(label_->Font().Style, step.style) << step.what;
        EXPECT_EQ(Placed().top, start.top) << step.what << ": writes never move the label";
        EXPECT_EQ(Placed().left, start.left) << step.what;
    }
    EXPECT_EQ(label_->URLColPre(), kRed);
    EXPECT_TRUE(label_->AllowDown());
    EXPECT_EQ(label_->URLColStd(), kRed);
    ExpectDrawnIn(kRed, kBlue, "after the writes");
    // The bold font of the bigger height takes more room.
    EXPECT_GT(Placed().bottom - Placed().top, start.bottom - start.top);
}

TEST_F(URLLabelTest, PressShowsPurpleAndMovesDownOnlyWithAllowDown) {
    int clicks = 0;
    label_->OnClick = [&] { ++clicks; };
    const LONG top = Placed().top;

    Send(WM_LBUTTONDOWN, 3, 3, MK_LBUTTON);
    EXPECT_EQ(label_->Font().Color, kPurple);
    ExpectDrawnIn(kPurple, kBlue, "pressed");
    EXPECT_EQ(Placed().top, top) << "AllowDown is off";
    Send(WM_LBUTTONUP);
    EXPECT_EQ(clicks, 1);
    ExpectDrawnIn(kBlue, kPurple, "released");

    label_->SetAllowDown(true);
    Send(WM_LBUTTONDOWN, 3, 3, MK_LBUTTON);
    EXPECT_EQ(Placed().top, top + 1);
    EXPECT_EQ(label_->Top(), kTop + 1);
    Send(WM_LBUTTONDOWN, 3, 3, MK_LBUTTON);
    EXPECT_EQ(Placed().top, top + 1) << "a second press does not push further";
    // Released outside: no click, but the look comes back.
    Send(WM_LBUTTONUP, label_->Width() + 20, 3);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Placed().top, top);
    EXPECT_EQ(label_->Font().Color, kBlue);

    // A button up with no press before it moves nothing.
    Send(WM_LBUTTONUP);
    EXPECT_EQ(Placed().top, top);
    EXPECT_EQ(clicks, 1);

    // Another button's release restores the colour; the left one still owes the move back.
    Send(WM_LBUTTONDOWN, 3, 3, MK_LBUTTON);
    Send(WM_RBUTTONUP, 3, 3, MK_LBUTTON);
    EXPECT_EQ(label_->Font().Color, kBlue);
    EXPECT_EQ(Placed().top, top + 1);
    Send(WM_LBUTTONUP);
    EXPECT_EQ(Placed().top, top);
    EXPECT_EQ(clicks, 2);

    // Losing the mouse mid-press ends the press without a click.
    Send(WM_LBUTTONDOWN, 3, 3, MK_LBUTTON);
    ASSERT_EQ(GetCapture(), Label());
    ReleaseCapture();
    EXPECT_EQ(Placed().top, top);
    EXPECT_EQ(label_->Font().Color, kBlue);
    Send(WM_LBUTTONUP);
    EXPECT_EQ(clicks, 2);
}

TEST_F(URLLabelTest, HoverChangesTheLookOnlyWithEffect98) {
    ClearUpdate();
    Send(WM_MOUSEMOVE);
    EXPECT_FALSE(NeedsRepaint());
    EXPECT_EQ(label_->Font().Color, kBlue);
    Send(WM_MOUSELEAVE);
    EXPECT_EQ(label_->Font().Style, unsigned(links::fsUnderline));

    label_->SetEffect98(true);
    ClearUpdate();
    Send(WM_MOUSEMOVE);
    EXPECT_TRUE(NeedsRepaint());
    EXPECT_EQ(label_->Font().Color, kPurple);
    EXPECT_EQ(label_->Font().Style, unsigned(links::fsUnderline));
    // With the effect on, a release keeps the hover colour.
    Send(WM_LBUTTONDOWN, 3, 3, MK_LBUTTON);
    Send(WM_LBUTTONUP);
    EXPECT_EQ(label_->Font().Color, kPurple);
    Send(WM_MOUSELEAVE);
    EXPECT_EQ(label_->Font().Color, kBlue);
    EXPECT_EQ(label_->Font().Style, 0u);
}

TEST_F(URLLabelTest, ClickHandlerRunsWithThePressedLookKept) {
    label_->SetLabelType(links::hmCUSTOM);
    label_->SetAllowDown(true);
    const LONG top = Placed().top;
    std::vector<std::string> events;
    links::SetOpenUrlHook([&](const std::string& url) {
        events.push_back("open " + url);
        return 42;
    });

    harness::MessageBoxScript boxes;
    boxes.Answer(IDNO);
    boxes.OnShow = [&] {
        harness::Pump();
        events.push_back("box");
        EXPECT_EQ(label_->Font().Color, kPurple);
        ExpectDrawnIn(kPurple, kBlue, "while the box is open");
        EXPECT_EQ(Placed().top, top + 1);
    };
    label_->OnClick = [&] {
        events.push_back("click");
        fw::Application.MessageBox("Continue?", "Web Connect Query", MB_YESNO | MB_ICONQUESTION);
    };
    Send(WM_LBUTTONDOWN, 3, 3, MK_LBUTTON);
    Send(WM_LBUTTONUP);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].caption, "BriskJot - Web Connect Query");
    EXPECT_EQ(events, (std::vector<std::string>{"click", "box"})) << "a custom link opens nothing";
    EXPECT_EQ(Placed().top, top);
    ExpectDrawnIn(kBlue, kPurple, "after the handler");

    // Other kinds open their caption after the handler.
    events.clear();
    label_->SetLabelType(links::hmHTTP);
    label_->OnClick = [&] { events.push_back("click"); };
    Send(WM_LBUTTONDOWN, 3, 3, MK_LBUTTON);
    Send(WM_LBUTTONUP);
    EXPECT_EQ(events, (std::vector<std::string>{"click", "open http://Lumen Workshop Web Site"}));

    // A double click's second press does not open the address again.
    events.clear();
    Send(WM_LBUTTONDBLCLK, 3, 3, MK_LBUTTON);
    EXPECT_EQ(label_->Font().Color, kPurple);
    Send(WM_LBUTTONUP);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(label_->Font().Color, kBlue);
    EXPECT_EQ(Placed().top, top);
}

}  // namespace
