// The about box run modally from the about command, and the web-link and donation commands.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "about/formabout.h"
#include "app/formmain.h"
#include "app/forms.h"
#include "framework/application.h"
#include "framework/barrier.h"
#include "framework/shell.h"
#include "tests/win/harness.h"

namespace {

using Calls = std::vector<std::string>;

std::function<void()> modalBody;

void CALLBACK RunModalBody(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    const std::function<void()> body = std::move(modalBody);
    modalBody = nullptr;
    fw::Guarded([&] {
        if (body) body();
    });
}

void CALLBACK EndStuckBox(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (FormAbout && FormAbout->Modal()) {
        ADD_FAILURE() << "the about box was still up";
        FormAbout->Close();
    }
}

// Runs the about command with body inside the box's modal loop; returns once the box is closed.
void WithBoxUp(TFormMain& form, std::function<void()> body) {
    modalBody = std::move(body);
    SetTimer(nullptr, 0, 10, &RunModalBody);
    const UINT_PTR guard = SetTimer(nullptr, 0, 8000, &EndStuckBox);
    form.PopUpAboutClick();
    KillTimer(nullptr, guard);
    modalBody = nullptr;
}

// Other programs share the test display: their taking the activation must not close the box.
void KeepBoxOnDeactivation() {
    fw::Application.OnDeactivate = nullptr;
}

// Browser calls as "owner|verb|file|show", answered with result.
struct ShellScript {
    explicit ShellScript(INT_PTR result) {
        fw::SetShellExecuteHook(
            [this, result](HWND owner, const std::string& verb, const std::string& file, int show) {
                calls.push_back(std::to_string(reinterpret_cast<INT_PTR>(owner)) + "|" + verb +
                                "|" + file + "|" + std::to_string(show));
                return result;
            });
    }
    ~ShellScript() { fw::SetShellExecuteHook(nullptr); }
    Calls calls;
};

// Help requests as "command:data", not served.
struct HelpScript {
    HelpScript() {
        fw::Application.OnHelp = [this](unsigned command, std::uintptr_t data, bool& callHelp) {
            requests.push_back(std::to_string(command) + ":" + std::to_string(data));
            callHelp = false;
            return true;
        };
    }
    ~HelpScript() { fw::Application.OnHelp = nullptr; }
    Calls requests;
};

HWND OwnFindDialog() {
    HWND dialog = FindWindowA(nullptr, "Find");
    DWORD process = 0;
    if (dialog) GetWindowThreadProcessId(dialog, &process);
    return process == GetCurrentProcessId() ? dialog : nullptr;
}

}  // namespace

TEST(AboutBox, ShowsVersionArtworkAndTextCentredAndKeepsTheFocusOffTheField) {
    harness::Program program;
    KeepBoxOnDeactivation();
    TFormAbout& box = *FormAbout;
    const std::string version = "Version: " + TProgVersion().FourDigitVersion();
    WithBoxUp(program.Main(), [&] {
        EXPECT_EQ(box.Label3->Caption(), version);
        const RECT frame = box.Bounds();
        EXPECT_LE(std::abs(frame.left + frame.right - GetSystemMetrics(SM_CXSCREEN)), 1);
        EXPECT_LE(std::abs(frame.top + frame.bottom - GetSystemMetrics(SM_CYSCREEN)), 1);

        // The artwork's transparent magenta shows the face colour; the picture itself stays.
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP canvas = CreateCompatibleBitmap(screen, 118, 105);
        HGDIOBJ old = SelectObject(memory, canvas);
        SendMessageA(box.ImageArtwork->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory),
                     PRF_CLIENT);
        EXPECT_EQ(GetPixel(memory, 0, 0), GetSysColor(COLOR_BTNFACE));
        const COLORREF paper = GetPixel(memory, 30, 40);
        EXPECT_NE(paper, GetSysColor(COLOR_BTNFACE));
        EXPECT_NE(paper, RGB(255, 0, 255));
        SelectObject(memory, old);
        DeleteObject(canvas);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);

        // The field is read only: focus and clicks go elsewhere, yet it scrolls.
        const HWND field = box.Memo1->Handle();
        SetFocus(field);
        EXPECT_EQ(GetFocus(), box.ButtonFocus->Handle());
        SendMessageA(field, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
        SendMessageA(field, WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
        EXPECT_NE(GetFocus(), field);
        EXPECT_NE(GetCapture(), field);
        SendMessageA(field, WM_VSCROLL, SB_BOTTOM, 0);
        EXPECT_GT(SendMessageA(field, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
        SendMessageA(box.SpeedButtonOK->Handle(), BM_CLICK, 0, 0);
    });
    EXPECT_FALSE(box.Visible());

    // One description paragraph, the freeware line, then the disclaimer without breaks.
    const std::string text = box.Memo1->Text();
    const std::string middle = "\r\n\r\nBriskJot is freeware.\r\n\r\nDISCLAIMER: This";
    const size_t at = text.find(middle);
    ASSERT_NE(at, std::string::npos) << text;
    EXPECT_EQ(text.find("\r\n"), at);
    EXPECT_EQ(text.find_first_of("\r\n", at + middle.size()), std::string::npos);
}

TEST(AboutBox, ClosesOnEscapeOnActivatingTheMainWindowOrAnotherProgramTrayItemsOffWhileUp) {
    harness::Program program;
    TFormMain& form = program.Main();
    WithBoxUp(form, [&] {
        EXPECT_FALSE(form.PopUpShowBriskjot.Enabled());
        EXPECT_FALSE(form.PopUpAbout.Enabled());
        EXPECT_FALSE(IsWindowEnabled(form.Handle()));
        SendMessageA(form.Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
        EXPECT_FALSE(FormAbout->Visible());
    });
    EXPECT_TRUE(form.PopUpShowBriskjot.Enabled());
    EXPECT_TRUE(IsWindowEnabled(form.Handle()));

    WithBoxUp(form, [&] { SendMessageA(fw::Application.Handle(), WM_ACTIVATEAPP, FALSE, 0); });
    EXPECT_FALSE(FormAbout->Visible());
    EXPECT_TRUE(form.PopUpAbout.Enabled());
    EXPECT_TRUE(IsWindowEnabled(form.Handle()));

    KeepBoxOnDeactivation();
    TFormAbout& box = *FormAbout;
    const std::string text = box.Memo1->Text();
    const struct {
        const char* where;
        std::function<HWND()> window;
        char key;
        bool closes;
    } rows[] = {
        {"form", [&] { return box.Handle(); }, 27, true},
        {"field", [&] { return box.Memo1->Handle(); }, 27, true},
        {"OK button", [&] { return box.SpeedButtonOK->Handle(); }, 27, true},
        {"focus button", [&] { return box.ButtonFocus->Handle(); }, 27, true},
        {"focus button", [&] { return box.ButtonFocus->Handle(); }, 'x', false},
        {"field", [&] { return box.Memo1->Handle(); }, 13, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.where) + " key " + std::to_string(int(row.key)));
        bool closedByKey = false;
        WithBoxUp(form, [&] {
            PostMessageA(row.window(), WM_CHAR, static_cast<unsigned char>(row.key), 1);
            closedByKey = harness::WaitFor([&] { return !box.Visible(); }, row.closes ? 2000 : 200);
            if (!closedByKey) box.Close();
        });
        EXPECT_EQ(closedByKey, row.closes);
    }
    EXPECT_EQ(box.Memo1->Text(), text) << "the keys changed the text";

    HelpScript help;
    HELPINFO info{sizeof info, HELPINFO_WINDOW, 0, box.ButtonFocus->Handle(), 0, {0, 0}};
    SendMessageA(box.ButtonFocus->Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(help.requests, Calls{"1:2"});  // HELP_CONTEXT, the box's number
}

TEST(WebLink, AsksThenOpensTheSiteOrReports) {
    const struct {
        const char* name;
        bool boxUp;     // from the box's link, else from the tray with the box hidden
        bool memoText;  // so Find comes back afterwards
        bool findOpen;
        int answer;
        INT_PTR browser;  // the shell's result
        bool opens, reports;
    } rows[] = {
        {"No, from the box", true, true, true, IDNO, 42, false, false},
        {"Yes, browser starts", true, false, false, IDYES, 42, true, false},
        {"Yes, browser fails", true, true, false, IDYES, SE_ERR_NOASSOC, true, true},
        {"Yes, 32 is an error", false, true, false, IDYES, 32, true, true},
        {"tray, 33 is success", false, false, false, IDYES, 33, true, false},
        {"No, from the tray", false, false, true, IDNO, 42, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        harness::RemoveFile(harness::NotePath());
        harness::Program program;
        KeepBoxOnDeactivation();
        TFormMain& form = program.Main();
        if (row.memoText) form.Memo1->ReplaceSel("call Ann", true);  // typed: Find comes on
        ASSERT_EQ(form.MemoSearch1->SearchKey, row.memoText ? bj::kShortCutCtrlF : 0);
        if (row.findOpen) {
            form.MemoSearch1->ExecuteFind();
            ASSERT_TRUE(harness::WaitFor([] { return OwnFindDialog() != nullptr; }));
        }

        ShellScript shell(row.browser);
        harness::MessageBoxScript boxes;
        boxes.Answer(row.answer);
        if (row.reports) boxes.Answer(IDOK);
        boxes.OnShow = [&] {
            if (boxes.Shown().size() != 1) return;
            EXPECT_EQ(OwnFindDialog(), nullptr) << "Find still open at the question";
            EXPECT_FALSE(form.PopUpHomeSite.Enabled());
            EXPECT_FALSE(form.PopUpExit.Enabled());
            EXPECT_FALSE(form.PopUpFindReplace.Enabled());
            EXPECT_EQ(form.MemoSearch1->SearchKey, 0);
        };
        bool openAfter = false;
        if (row.boxUp) {
            WithBoxUp(form, [&] {
                FormAbout->URLLabel1Click();
                openAfter = FormAbout->Visible();
                if (openAfter) FormAbout->Close();
            });
        } else {
            form.PopUpHomeSiteClick();
            openAfter = FormAbout->Visible();
        }

        Calls shown;
        for (const harness::ShownBox& box : boxes.Shown())
            shown.push_back(box.caption + " " +
                            std::to_string(box.flags & (MB_TYPEMASK | MB_ICONMASK)));
        Calls expected{"BriskJot - Web Connect Query 36"};  // Yes/No, question
        if (row.reports) expected.push_back("BriskJot - Error Opening Web Browser 48");  // OK, !
        EXPECT_EQ(shown, expected);
        const std::string call = std::to_string(reinterpret_cast<INT_PTR>(FormAbout->Handle())) +
                                 "||" + kHomeSiteUrl + "|" + std::to_string(SW_SHOWNORMAL);
        EXPECT_EQ(shell.calls, row.opens ? Calls{call} : Calls{});
        EXPECT_EQ(openAfter, row.boxUp && !row.opens) << "No keeps the box, a browser closes it";
        EXPECT_EQ(OwnFindDialog(), nullptr);
        EXPECT_TRUE(form.PopUpHomeSite.Enabled());
        EXPECT_TRUE(form.PopUpExit.Enabled());
        EXPECT_EQ(form.PopUpFindReplace.Enabled(), row.memoText);
        EXPECT_EQ(form.MemoSearch1->SearchKey, row.memoText ? bj::kShortCutCtrlF : 0);
    }
    harness::RemoveFile(harness::NotePath());
}

TEST(WebLink, DonateAsksNothingAndOpensHelpNumberOne) {
    harness::Program program;  // any message box fails the test
    TFormMain& form = program.Main();
    ShellScript shell(42);
    HelpScript help;
    WithBoxUp(form, [&] {
        form.PopUpDonateClick();
        EXPECT_FALSE(FormAbout->Visible());
    });
    form.PopUpDonateClick();  // with the box hidden as well
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_EQ(help.requests, (Calls{"1:1", "1:1"}));  // HELP_CONTEXT, number 1
}
