// The version strings read from module files, and the hyperlink label on a form of its own.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "components/links/progversion.h"
#include "components/links/urllabel.h"
#include "framework/application.h"
#include "framework/form.h"
#include "framework/shell.h"
#include "tests/win/harness.h"

namespace {

using links::TURLLabel;
using Strings = std::vector<std::string>;

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kPurple = RGB(128, 0, 128);

TEST(ProgVersionTest, GivesEmptyForAFileWithoutOne) {
    const std::string text = harness::ExeFolder() + "links.txt";
    harness::WriteFile(text, "MZ but not a program at all\r\n");
    for (const std::string& file : {text, harness::ExeFolder() + "no_such_file.exe", std::string()})
        EXPECT_EQ(TProgVersion(file).OneDigitVersion(), "") << file;
    harness::RemoveFile(text);
}

class URLLabelTest : public ::testing::Test {
protected:
    void SetUp() override {
        form_.CreateForm(fw::TForm::Style{"Links test"});
        label_ = std::make_unique<TURLLabel>(form_.Handle(), 20, 30, "Lumen Workshop Web Site");
        ShowWindow(form_.Handle(), SW_SHOWNOACTIVATE);
        harness::Pump();
        label_->OnClick = [&] { ++clicks_; };
    }
    void TearDown() override {
        fw::SetShellExecuteHook(nullptr);
        label_.reset();
        harness::Pump();
    }

    HWND Label() const { return label_->Handle(); }
    LONG Top() const {
        RECT rect;
        GetWindowRect(Label(), &rect);
        MapWindowPoints(nullptr, form_.Handle(), reinterpret_cast<POINT*>(&rect), 2);
        return rect.top;
    }
    void Send(UINT msg, int x = 3, WPARAM keys = 0) const {
        SendMessageA(Label(), msg, keys, MAKELPARAM(x, 3));
    }

    fw::TForm form_;
    std::unique_ptr<TURLLabel> label_;
    int clicks_ = 0;
};

TEST_F(URLLabelTest, OnlyAReleaseOnThePressedLabelClicksAndOpensTheAddressOnce) {
    label_->SetAllowDown(true);
    const LONG top = Top();
    const auto expect = [&](int down, COLORREF color, int clicked, const char* when) {
        EXPECT_EQ(Top(), top + down) << when;
        EXPECT_EQ(label_->Font().Color, color) << when;
        EXPECT_EQ(clicks_, clicked) << when;
    };
    Send(WM_LBUTTONDOWN, 3, MK_LBUTTON);
    expect(1, kPurple, 0, "pressed: one pixel down");
    Send(WM_LBUTTONUP, label_->Width() + 20);
    expect(0, kBlue, 0, "released outside");
    Send(WM_LBUTTONUP);
    expect(0, kBlue, 0, "released with no press");

    Send(WM_LBUTTONDOWN, 3, MK_LBUTTON);
    ASSERT_EQ(GetCapture(), Label());
    ReleaseCapture();
    expect(0, kBlue, 0, "the mouse taken mid-press");
    Send(WM_LBUTTONUP);
    expect(0, kBlue, 0, "a release after losing the mouse");

    // The handler runs pressed, then the address opens once, unless the link is custom.
    Strings events;
    fw::SetShellExecuteHook([&](HWND, const std::string& verb, const std::string& url, int) {
        events.push_back(verb + " " + url);
        return INT_PTR(42);
    });
    label_->OnClick = [&] {
        events.push_back("click");
        harness::Pump();  // as under the program's question box
        EXPECT_EQ(Top(), top + 1);
    };
    Send(WM_LBUTTONDOWN, 3, MK_LBUTTON);
    Send(WM_LBUTTONUP);
    // A double click's second press opens nothing again.
    Send(WM_LBUTTONDBLCLK, 3, MK_LBUTTON);
    Send(WM_LBUTTONUP);
    label_->SetLabelType(links::hmCUSTOM);
    Send(WM_LBUTTONDOWN, 3, MK_LBUTTON);
    Send(WM_LBUTTONUP);
    EXPECT_EQ(events, (Strings{"click", "open http://Lumen Workshop Web Site", "click"}));
    EXPECT_EQ(Top(), top);
    EXPECT_EQ(label_->Font().Color, kBlue);
}

}  // namespace
