// The about box run modally from the about command, and the web-link and donation commands.
#include <gtest/gtest.h>

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

// Browser calls as "owner|file", answered with result.
struct ShellScript {
    explicit ShellScript(INT_PTR result) {
        fw::SetShellExecuteHook(
            [this, result](HWND owner, const std::string&, const std::string& file, int) {
                calls.push_back(std::to_string(reinterpret_cast<INT_PTR>(owner)) + "|" + file);
                return result;
            });
    }
    ~ShellScript() { fw::SetShellExecuteHook(nullptr); }
    Calls calls;
};

// The room a label's text needs as a static control draws it: in the font the control really
// has, broken into lines at its width where it wraps.
SIZE TextNeeds(HWND label, int width) {
    const bool wraps = (GetWindowLongPtrA(label, GWL_STYLE) & SS_TYPEMASK) == SS_LEFT;
    char text[512] = {};
    GetWindowTextA(label, text, sizeof text);
    HDC dc = GetDC(label);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0)));
    RECT rect{0, 0, width, 0};
    DrawTextA(dc, text, -1, &rect,
              DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    return {rect.right, rect.bottom};
}

RECT PlaceIn(HWND parent, HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

TEST(AboutBox, ShowsTheVersionAndEveryTextWholeAndClosesOnEscapeDeactivationOrDonate) {
    harness::Program program;
    TFormMain& form = program.Main();
    WithBoxUp(form, [&] {
        EXPECT_FALSE(form.PopUpAbout.Enabled());
        EXPECT_FALSE(IsWindowEnabled(form.Handle()));
        SendMessageA(form.Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
        EXPECT_FALSE(FormAbout->Visible());
    });
    EXPECT_TRUE(form.PopUpAbout.Enabled());
    EXPECT_TRUE(IsWindowEnabled(form.Handle()));
    WithBoxUp(form, [&] { SendMessageA(fw::Application.Handle(), WM_ACTIVATEAPP, FALSE, 0); });
    EXPECT_FALSE(FormAbout->Visible());

    // Other programs share the test display: their taking the activation must not close the box.
    fw::Application.OnDeactivate = nullptr;
    TFormAbout& box = *FormAbout;
    const std::string text = box.Memo1->Text();
    WithBoxUp(form, [&] {
        RECT boxClient{};
        GetClientRect(box.Handle(), &boxClient);
        for (const about::TAboutLabel* label :
             {box.Label1.get(), box.Label2.get(), box.Label3.get(), box.Label4.get(),
              box.Label5.get(), box.LabelF1.get(), box.Label6.get(), box.Label7.get(),
              box.Label8.get()}) {
            SCOPED_TRACE(label->Caption());
            RECT client{};
            GetClientRect(label->Handle(), &client);
            const SIZE needs = TextNeeds(label->Handle(), client.right);
            EXPECT_LE(needs.cx, client.right);
            EXPECT_LE(needs.cy, client.bottom);
            EXPECT_LE(PlaceIn(box.Handle(), label->Handle()).right, boxClient.right);
        }
        const RECT link = PlaceIn(box.Handle(), box.URLLabel1->Handle());
        EXPECT_GE(link.left, PlaceIn(box.Handle(), box.Label8->Handle()).right)
            << "the link starts after its label";
        EXPECT_LE(link.right, boxClient.right);
        PostMessageA(box.Memo1->Handle(), WM_CHAR, 'x', 1);
        PostMessageA(box.Memo1->Handle(), WM_CHAR, 27, 1);
        EXPECT_TRUE(harness::WaitFor([&] { return !box.Visible(); }, 2000));
        if (box.Visible()) box.Close();
    });
    EXPECT_EQ(box.Memo1->Text(), text) << "the keys changed the text";

    // F1 in the box asks for its number; donating asks nothing and opens help number 1.
    Calls help;  // requests as "command:data", not served
    fw::Application.OnHelp = [&](unsigned command, std::uintptr_t data, bool& callHelp) {
        help.push_back(std::to_string(command) + ":" + std::to_string(data));
        callHelp = false;
        return true;
    };
    ShellScript shell(42);  // any message box fails the test
    WithBoxUp(form, [&] {
        HELPINFO info{sizeof info, HELPINFO_WINDOW, 0, box.ButtonFocus->Handle(), 0, {0, 0}};
        SendMessageA(box.ButtonFocus->Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        form.PopUpDonateClick();
        EXPECT_FALSE(box.Visible());
    });
    form.PopUpDonateClick();  // with the box hidden as well
    EXPECT_TRUE(shell.calls.empty());
    fw::Application.OnHelp = nullptr;
    EXPECT_EQ(help, (Calls{"1:2", "1:1", "1:1"}));  // HELP_CONTEXT and the number
}

TEST(WebLink, AsksThenOpensTheSiteOrReports) {
    const struct {
        const char* name;
        bool boxUp;     // from the box's link, else from the tray with the box hidden
        bool memoText;  // so Find is open before and comes back afterwards
        int answer;
        INT_PTR browser;  // the shell's result
        bool opens, reports;
    } rows[] = {
        {"No, from the box", true, true, IDNO, 42, false, false},
        {"Yes, 32 is an error", false, true, IDYES, 32, true, true},
        {"Yes, 33 is success", true, false, IDYES, 33, true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        harness::RemoveFile(harness::NotePath());
        harness::Program program;
        fw::Application.OnDeactivate = nullptr;
        TFormMain& form = program.Main();
        if (row.memoText) {
            form.Memo1->ReplaceSel("call Ann", true);
            form.MemoSearch1->ExecuteFind();
            ASSERT_NE(form.MemoSearch1->DialogHandle(), nullptr);
        }

        ShellScript shell(row.browser);
        harness::MessageBoxScript boxes;
        boxes.Answer(row.answer);
        if (row.reports) boxes.Answer(IDOK);
        boxes.OnShow = [&] {
            if (boxes.Shown().size() != 1) return;
            EXPECT_EQ(form.MemoSearch1->DialogHandle(), nullptr) << "Find still up at the question";
            EXPECT_FALSE(form.PopUpExit.Enabled()) << "exit while asking";
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
        }

        EXPECT_EQ(boxes.Shown().size(), row.reports ? 2u : 1u);
        const std::string call =
            std::to_string(reinterpret_cast<INT_PTR>(FormAbout->Handle())) + "|" + kHomeSiteUrl;
        EXPECT_EQ(shell.calls, row.opens ? Calls{call} : Calls{});
        EXPECT_EQ(openAfter, row.boxUp && !row.opens) << "No keeps the box, a browser closes it";
        EXPECT_TRUE(form.PopUpExit.Enabled());
        EXPECT_EQ(form.PopUpFindReplace.Enabled(), row.memoText);
        EXPECT_EQ(form.MemoSearch1->SearchKey, row.memoText ? bj::kShortCutCtrlF : 0);
    }
    harness::RemoveFile(harness::NotePath());
}
