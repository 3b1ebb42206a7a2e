// The about box on real windows: its texts and place, its keys and focus, its
// modal run from the about command, and the web-link and donation commands.
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

std::function<void()>& ModalBody() {
    static std::function<void()> body;
    return body;
}

void CALLBACK RunModalBody(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    std::function<void()> body = std::move(ModalBody());
    ModalBody() = nullptr;
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

// Runs the about command and body from inside the box's modal loop; returns
// when the command has returned, that is when the box has been closed.
void WithBoxUp(TFormMain& form, std::function<void()> body) {
    ModalBody() = std::move(body);
    SetTimer(nullptr, 0, 10, &RunModalBody);
    const UINT_PTR guard = SetTimer(nullptr, 0, 8000, &EndStuckBox);
    form.PopUpAboutClick();
    KillTimer(nullptr, guard);
    ModalBody() = nullptr;
}

// The product version as the version resource's text entry states it.
std::string ProductVersionEntry() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    std::vector<char> block(GetFileVersionInfoSizeA(path, &ignored));
    if (block.empty() ||
        !GetFileVersionInfoA(path, 0, static_cast<DWORD>(block.size()), block.data()))
        return "<no version>";
    char* text = nullptr;
    UINT length = 0;
    char entry[] = "\\StringFileInfo\\040904E4\\ProductVersion";
    if (!VerQueryValueA(block.data(), entry, reinterpret_cast<void**>(&text), &length) || !text)
        return "<no version>";
    return std::string(text);
}

// Records the browser calls as "owner|verb|file|show" and answers them with result.
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
    std::vector<std::string> calls;
};

// Records the help requests as "command:data" instead of serving them.
struct HelpScript {
    HelpScript() {
        fw::Application.OnHelp = [this](unsigned command, std::uintptr_t data, bool& callHelp) {
            requests.push_back(std::to_string(command) + ":" + std::to_string(data));
            callHelp = false;
            return true;
        };
    }
    ~HelpScript() { fw::Application.OnHelp = nullptr; }
    std::vector<std::string> requests;
};

// Buttons and icon; who owns the box may add MB_TOPMOST.
constexpr UINT kKindOfBox = MB_TYPEMASK | MB_ICONMASK;

// Other programs share the test display: their windows taking the activation
// must not close the box in the middle of a test that needs it up.
void KeepBoxOnDeactivation() {
    fw::Application.OnDeactivate = nullptr;
}

HWND OwnFindDialog() {
    HWND dialog = FindWindowA(nullptr, "Find");
    DWORD process = 0;
    if (dialog) GetWindowThreadProcessId(dialog, &process);
    return process == GetCurrentProcessId() ? dialog : nullptr;
}

}  // namespace

TEST(AboutBox, ShowsVersionTextsAndPlace) {
    harness::Program program;
    KeepBoxOnDeactivation();
    TFormAbout& box = *FormAbout;
    EXPECT_FALSE(box.Visible());
    const std::string expected = "Version: " + ProductVersionEntry();
    WithBoxUp(program.Main(), [&] {
        EXPECT_TRUE(box.Visible());
        EXPECT_EQ(box.Label3->Caption(), expected);

        RECT client;
        GetClientRect(box.Handle(), &client);
        EXPECT_EQ(client.right * 1000 + client.bottom, 472 * 1000 + 283);
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
    EXPECT_NE(text.find("the \"SOFTWARE\"), is provided \"as is\" and"), std::string::npos);
}

TEST(AboutBox, EscapeFromAnyControlClosesOtherKeysDoNot) {
    harness::Program program;
    KeepBoxOnDeactivation();
    TFormAbout& box = *FormAbout;
    struct Row {
        const char* where;
        std::function<HWND()> window;
        char key;
        bool closes;
    };
    const Row rows[] = {
        {"form", [&] { return box.Handle(); }, 27, true},
        {"field", [&] { return box.Memo1->Handle(); }, 27, true},
        {"OK button", [&] { return box.SpeedButtonOK->Handle(); }, 27, true},
        {"focus button", [&] { return box.ButtonFocus->Handle(); }, 27, true},
        {"focus button", [&] { return box.ButtonFocus->Handle(); }, 'x', false},
        {"field", [&] { return box.Memo1->Handle(); }, 13, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.where) + " key " + std::to_string(int(row.key)));
        bool closedByKey = false;
        WithBoxUp(program.Main(), [&] {
            PostMessageA(row.window(), WM_CHAR, static_cast<unsigned char>(row.key), 1);
            closedByKey = harness::WaitFor([&] { return !box.Visible(); }, row.closes ? 2000 : 200);
            if (!closedByKey) box.Close();
        });
        EXPECT_EQ(closedByKey, row.closes);
        EXPECT_FALSE(box.Visible());
    }
    EXPECT_NE(box.Memo1->Text().find("freeware"), std::string::npos) << "Enter changed the text";

    // F1 anywhere in the box asks for the box's own help number.
    HelpScript help;
    HELPINFO info{sizeof info, HELPINFO_WINDOW, 0, box.ButtonFocus->Handle(), 0, {0, 0}};
    SendMessageA(box.ButtonFocus->Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(help.requests, std::vector<std::string>{"1:2"});  // HELP_CONTEXT, number 2
}

TEST(AboutBox, DescriptionFieldNeverKeepsTheFocus) {
    harness::Program program;
    KeepBoxOnDeactivation();
    TFormAbout& box = *FormAbout;
    WithBoxUp(program.Main(), [&] {
        const HWND field = box.Memo1->Handle();
        SetFocus(field);
        EXPECT_EQ(GetFocus(), box.ButtonFocus->Handle());
        SendMessageA(field, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
        SendMessageA(field, WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
        EXPECT_NE(GetFocus(), field);
        EXPECT_NE(GetCapture(), field);
        // The field still scrolls.
        SendMessageA(field, WM_VSCROLL, SB_BOTTOM, 0);
        EXPECT_GT(SendMessageA(field, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
        box.Close();
    });
}

TEST(AboutBox, TrayItemsAreOffWhileUpAndActivatingTheMainWindowClosesIt) {
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
    EXPECT_TRUE(form.PopUpAbout.Enabled());
    EXPECT_TRUE(IsWindowEnabled(form.Handle()));

    // The same when the program loses the activation.
    WithBoxUp(form, [&] { SendMessageA(fw::Application.Handle(), WM_ACTIVATEAPP, FALSE, 0); });
    EXPECT_FALSE(FormAbout->Visible());
    EXPECT_TRUE(form.PopUpAbout.Enabled());
    EXPECT_TRUE(IsWindowEnabled(form.Handle()));
}

TEST(WebLink, AsksThenOpensTheSiteOrReports) {
    struct Row {
        const char* name;
        bool boxUp;     // started from the box's link, else from the tray while it is hidden
        bool memoText;  // the memo holds text, so Find comes back afterwards
        bool findOpen;  // a Find dialog is open when the link is used
        int answer;
        INT_PTR browser;  // what the shell call returns
        bool opens;
        bool reports;
    };
    const Row rows[] = {
        {"No, from the box", true, true, true, IDNO, 42, false, false},
        {"Yes, browser starts", true, false, false, IDYES, 42, true, false},
        {"Yes, browser fails", true, true, false, IDYES, SE_ERR_NOASSOC, true, true},
        {"Yes, 32 is an error", false, true, false, IDYES, 32, true, true},
        {"tray, box hidden", false, false, false, IDYES, 33, true, false},
        {"No from the tray", false, false, true, IDNO, 42, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        harness::Program program;
        KeepBoxOnDeactivation();
        TFormMain& form = program.Main();
        if (row.findOpen) {
            form.Memo1->SetText("call Ann");
            form.MemoSearch1->ExecuteFind();
            ASSERT_TRUE(harness::WaitFor([] { return OwnFindDialog() != nullptr; }));
        }
        form.Memo1->SetText(row.memoText ? "call Ann" : "");

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

        std::vector<std::string> shown;
        for (const harness::ShownBox& box : boxes.Shown())
            shown.push_back(box.caption + " " + std::to_string(box.flags & kKindOfBox));
        std::vector<std::string> expected{"BriskJot - Web Connect Query 36"};  // Yes/No, question
        if (row.reports) expected.push_back("BriskJot - Error Opening Web Browser 48");  // OK, !
        EXPECT_EQ(shown, expected);
        const std::string call = std::to_string(reinterpret_cast<INT_PTR>(FormAbout->Handle())) +
                                 "||" + kHomeSiteUrl + "|" + std::to_string(SW_SHOWNORMAL);
        EXPECT_EQ(shell.calls,
                  row.opens ? std::vector<std::string>{call} : std::vector<std::string>{});
        // No keeps the box; a started browser closes it.
        EXPECT_EQ(openAfter, row.boxUp && !row.opens);
        EXPECT_EQ(OwnFindDialog(), nullptr);
        EXPECT_TRUE(form.PopUpHomeSite.Enabled());
        EXPECT_TRUE(form.PopUpExit.Enabled());
        EXPECT_EQ(form.PopUpFindReplace.Enabled(), row.memoText);
        EXPECT_EQ(form.MemoSearch1->SearchKey, row.memoText ? bj::kShortCutCtrlF : 0);
    }
}

TEST(WebLink, DonateAsksNothingAndOpensHelpNumberOne) {
    harness::Program program;
    TFormMain& form = program.Main();
    ShellScript shell(42);
    HelpScript help;
    // Any message box fails the test: the harness default.
    WithBoxUp(form, [&] {
        form.PopUpDonateClick();
        EXPECT_FALSE(FormAbout->Visible());
    });
    EXPECT_TRUE(form.PopUpAbout.Enabled());
    form.PopUpDonateClick();  // with the box hidden as well
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_EQ(help.requests, (std::vector<std::string>{"1:1", "1:1"}));  // HELP_CONTEXT, number 1
}
