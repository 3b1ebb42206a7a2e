// The search component on a memo of its own: hot keys through the real message path, the
// system Find dialog, the result boxes and the key injection.
#include "components/memosearch/memosearch.h"

#include <dlgs.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/memosearch/sendkeys.h"
#include "framework/application.h"
#include "framework/form.h"
#include "framework/memo.h"
#include "tests/win/harness.h"

namespace {

enum : unsigned { kCtrl = 1, kShift = 2 };

void SetModifiers(unsigned modifiers) {
    BYTE keys[256] = {};
    if (modifiers & kCtrl) keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
    if (modifiers & kShift) keys[VK_SHIFT] = keys[VK_LSHIFT] = 0x80;
    SetKeyboardState(keys);
}

// A press as the keyboard delivers it: queued key-down, translated on the way, key-up.
void Press(HWND window, UINT vk, unsigned modifiers = 0) {
    SetModifiers(modifiers);
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(window, WM_KEYDOWN, vk, scan | 1);
    harness::Pump();
    PostMessageA(window, WM_KEYUP, vk, scan | 1 | (LPARAM(3) << 30));
    harness::Pump();
    SetModifiers(0);
}

class MemoSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        fw::TForm::Style style;
        style.caption = "MemoSearch test";
        form_.CreateForm(style);
        memo_ = std::make_unique<fw::TMemo>(form_.Handle(), fw::TMemo::Style{});
        MoveWindow(Memo(), 0, 0, 300, 150, FALSE);
        // Under the component: records what it lets through to the memo.
        recorder_ = this;
        memoProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(Memo(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Record)));
        search_ = std::make_unique<TMemoSearch>();
        search_->SetMemo(memo_.get());
    }
    void TearDown() override {
        search_.reset();
        memo_.reset();
        recorder_ = nullptr;
        harness::Pump();
    }

    static LRESULT CALLBACK Record(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_KEYDOWN) recorder_->keys_ += static_cast<char>(wParam);
        if (msg == WM_CHAR) recorder_->chars_ += static_cast<char>(wParam);
        return CallWindowProcA(recorder_->memoProc_, hwnd, msg, wParam, lParam);
    }
    bool KeySeen(UINT vk) const { return keys_.find(static_cast<char>(vk)) != std::string::npos; }
    HWND Memo() const { return memo_->Handle(); }

    HWND Open() {
        search_->ExecuteFind();
        EXPECT_NE(search_->DialogHandle(), nullptr);
        return search_->DialogHandle();
    }
    // Types the text into the open dialog and presses its Find Next button.
    void FindNext(const std::string& text) {
        HWND dialog = search_->DialogHandle();
        ASSERT_NE(dialog, nullptr);
        SetDlgItemTextA(dialog, edt1, text.c_str());
        SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        harness::Pump();
    }
    bool DialogClosed() {
        return harness::WaitFor([&] { return search_->DialogHandle() == nullptr; });
    }

    static inline MemoSearchTest* recorder_ = nullptr;
    fw::TForm form_;
    std::unique_ptr<fw::TMemo> memo_;
    std::unique_ptr<TMemoSearch> search_;
    WNDPROC memoProc_ = nullptr;
    std::string keys_, chars_;
};

TEST_F(MemoSearchTest, HotKeysAreConsumedOnlyWhenTheyMatch) {
    const struct {
        const char* name;
        bj::ShortCut searchKey;
        UINT vk;
        unsigned modifiers;
        bool consumed, opensDialog;
    } rows[] = {
        {"Ctrl+F", bj::kShortCutCtrlF, 'F', kCtrl, true, true},
        {"plain F", bj::kShortCutCtrlF, 'F', 0, false, false},
        {"Ctrl+Shift+F", bj::kShortCutCtrlF, 'F', kCtrl | kShift, false, false},
        {"search key off", 0, 'F', kCtrl, false, false},
        {"F3 before any search", bj::kShortCutCtrlF, VK_F3, 0, false, false},
        {"Ctrl+R, no Replace dialog", bj::kShortCutCtrlF, 'R', kCtrl, true, false},
        {"Shift+F2", bj::MakeShortCut(VK_F2, true, false, false), VK_F2, kShift, true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        search_->SearchKey = row.searchKey;
        memo_->SetText("alpha beta");
        keys_.clear();
        Press(Memo(), row.vk, row.modifiers);
        harness::Pump(50);
        EXPECT_EQ(KeySeen(row.vk), !row.consumed);
        HWND dialog = search_->DialogHandle();
        ASSERT_EQ(dialog != nullptr, row.opensDialog);
        if (!dialog) continue;
        EXPECT_EQ(fw::Application.ModelessDialog(), dialog);
        SendMessageA(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(DialogClosed());
        EXPECT_EQ(fw::Application.ModelessDialog(), nullptr);
    }
}

TEST_F(MemoSearchTest, OnlyTheCharacterOfAConsumedPressIsDropped) {
    search_->SearchKey = 0;
    Press(Memo(), 'F', kCtrl);
    ASSERT_EQ(chars_, "\x06") << "what Ctrl+F makes when nobody takes it";
    search_->SearchKey = bj::kShortCutCtrlF;
    memo_->SetText("note one note two");
    memo_->SetSel(0, 0);
    chars_.clear();

    Press(Memo(), 'F', kCtrl);
    ASSERT_TRUE(harness::WaitFor([&] { return search_->DialogHandle() != nullptr; }));
    Press(Memo(), 'X');
    Press(Memo(), 'F', kCtrl);
    PostMessageA(Memo(), WM_CHAR, 'y', 1);  // a character of its own
    harness::Pump();
    EXPECT_EQ(chars_, "xy");
    EXPECT_EQ(memo_->Text(), "xynote one note two");
}

TEST_F(MemoSearchTest, SearchAgainUsesTheOptionsAndTheCaretAndMissesAreReportedInABox) {
    harness::MessageBoxScript boxes;
    memo_->SetText("cat concat cat");
    search_->Options = bj::frDown | bj::frWholeWord;
    Open();
    FindNext("cat");  // the window is hidden: it selects, nothing fails
    EXPECT_EQ(memo_->SelStart(), 0);
    EXPECT_EQ(memo_->SelLength(), 3);
    EXPECT_TRUE(DialogClosed());
    Press(Memo(), VK_F3);
    EXPECT_EQ(memo_->SelStart(), 11) << "down, and concat is no whole word";
    memo_->SetSel(6, 6);
    Press(Memo(), VK_F3);
    EXPECT_EQ(memo_->SelStart(), 11) << "from the caret";
    EXPECT_FALSE(KeySeen(VK_F3));

    boxes.Answer(IDOK);
    Press(Memo(), VK_F3);
    Open();
    boxes.Answer(IDOK);
    FindNext("dog");
    EXPECT_EQ(memo_->SelStart(), 11) << "the selection stays";
    std::vector<std::string> shown;
    for (const harness::ShownBox& box : boxes.Shown()) {
        shown.push_back(box.caption + ": " + box.text);
        EXPECT_EQ(box.flags & (MB_TYPEMASK | MB_ICONMASK), UINT(MB_OK));
    }
    EXPECT_EQ(shown,
              (std::vector<std::string>{"Search Results: No more instances of \"cat\" found.",
                                        "Search Results: Search string \"dog\" not found."}));
}

TEST_F(MemoSearchTest, TheDialogsOptionsOutliveItAndAShownMemoGetsTheFocus) {
    memo_->SetText("Note one note two NOTE");
    memo_->SetSel(9, 13);
    search_->Options = bj::frDown | bj::frWholeWord;
    HWND dialog = Open();
    // Up, Match case on, Whole word off, then Cancel.
    for (int control : {rad1, chx2, chx1, IDCANCEL})
        SendMessageA(GetDlgItem(dialog, control), BM_CLICK, 0, 0);
    ASSERT_TRUE(DialogClosed());
    EXPECT_EQ(search_->Options & (bj::frDown | bj::frMatchCase | bj::frWholeWord), bj::frMatchCase);

    form_.Show();
    SetFocus(nullptr);
    search_->HideAfterSearch = false;
    dialog = Open();
    EXPECT_EQ(IsDlgButtonChecked(dialog, rad1), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, chx2), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, chx1), BST_UNCHECKED);
    FindNext("note");
    EXPECT_EQ(memo_->SelStart(), 9);
    EXPECT_EQ(GetFocus(), Memo());
    harness::Pump(50);
    EXPECT_NE(search_->DialogHandle(), nullptr) << "stays open without HideAfterSearch";

    // F1 in the dialog asks for the number given, even after it opened.
    std::vector<std::uintptr_t> requests;
    fw::Application.OnHelp = [&](unsigned command, std::uintptr_t data, bool& callHelp) {
        if (command == HELP_CONTEXT) requests.push_back(data);
        callHelp = false;
        return true;
    };
    search_->SetHelpContext(2);
    HELPINFO info{sizeof info, HELPINFO_WINDOW, 0, dialog, 0, {0, 0}};
    SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    fw::Application.OnHelp = nullptr;
    EXPECT_EQ(requests, std::vector<std::uintptr_t>{2});
}

LRESULT CALLBACK PassOn(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto previous = reinterpret_cast<WNDPROC>(GetPropA(hwnd, "test.previous"));
    return CallWindowProcA(previous, hwnd, msg, wParam, lParam);
}

TEST_F(MemoSearchTest, UnbindingRestoresThePreviousProcedureOrLeavesALaterChainWhole) {
    const auto original = reinterpret_cast<LONG_PTR>(&Record);
    search_->SetMemo(nullptr);
    EXPECT_EQ(GetWindowLongPtrA(Memo(), GWLP_WNDPROC), original);
    search_->SetMemoHandle(Memo());
    EXPECT_NE(GetWindowLongPtrA(Memo(), GWLP_WNDPROC), original);
    search_.reset();
    EXPECT_EQ(GetWindowLongPtrA(Memo(), GWLP_WNDPROC), original) << "the component went";

    search_ = std::make_unique<TMemoSearch>();
    search_->SetMemo(memo_.get());
    SetPropA(Memo(), "test.previous",
             reinterpret_cast<HANDLE>(
                 SetWindowLongPtrA(Memo(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PassOn))));
    search_->SetMemo(nullptr);
    EXPECT_EQ(GetWindowLongPtrA(Memo(), GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&PassOn));
    Press(Memo(), 'F', kCtrl);
    EXPECT_TRUE(KeySeen('F')) << "the keys are free";

    // The memo goes while bound: the component forgets it.
    auto spare = std::make_unique<fw::TMemo>(form_.Handle(), fw::TMemo::Style{});
    TMemoSearch other;
    other.SetMemo(spare.get());
    spare.reset();
    EXPECT_EQ(other.MemoHandle(), nullptr);
    EXPECT_EQ(other.Memo(), nullptr);
}

// What SendKeys injects, kept from reaching any window.
std::vector<KBDLLHOOKSTRUCT> injected;

LRESULT CALLBACK RecordInjected(int code, WPARAM wParam, LPARAM lParam) {
    const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (code != HC_ACTION || event->dwExtraInfo != kSendKeysExtraInfo)
        return CallNextHookEx(nullptr, code, wParam, lParam);
    injected.push_back(*event);
    return 1;
}

TEST(SendKeys, TypesCaretKeysAndShiftedCharacters) {
    HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, &RecordInjected, GetModuleHandleA(nullptr), 0);
    ASSERT_NE(hook, nullptr);
    // Key-downs as the virtual key, key-ups as its negative.
    const int shiftedA = LOBYTE(VkKeyScanA('A'));
    const struct {
        const char* keys;
        bool sent;
        std::vector<int> events;
    } rows[] = {
        {"^f", true, {VK_CONTROL, 'F', -'F', -VK_CONTROL}},
        {"A", true, {VK_SHIFT, shiftedA, -shiftedA, -VK_SHIFT}},
        {"^ab", true, {VK_CONTROL, 'A', -'A', -VK_CONTROL, 'B', -'B'}},
        {"x^", false, {'X', -'X'}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.keys);
        injected.clear();
        EXPECT_EQ(SendKeys(row.keys, true), row.sent);
        harness::WaitFor([&] { return injected.size() >= row.events.size(); }, 1000);
        std::vector<int> events;
        for (const KBDLLHOOKSTRUCT& event : injected) {
            events.push_back((event.flags & LLKHF_UP) ? -int(event.vkCode) : int(event.vkCode));
            EXPECT_EQ(event.scanCode, MapVirtualKeyA(event.vkCode, MAPVK_VK_TO_VSC));
        }
        EXPECT_EQ(events, row.events);
    }
    UnhookWindowsHookEx(hook);
}

}  // namespace
