// The search component on a memo of its own: hot keys through the real message
// path, the system Find dialog, the result boxes and the key injection.
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

class TestForm : public fw::TForm {
public:
    TestForm() {
        Style style;
        style.caption = "MemoSearch test";
        CreateForm(style);
        Memo = std::make_unique<fw::TMemo>(Handle(), fw::TMemo::Style{});
        MoveWindow(Memo->Handle(), 0, 0, 300, 150, FALSE);
    }
    std::unique_ptr<fw::TMemo> Memo;
};

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
        form_ = std::make_unique<TestForm>();
        memo_ = form_->Memo.get();
        // Under the component: records what it lets through to the memo.
        recorder_ = this;
        memoProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(memo_->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Record)));
        search_ = std::make_unique<TMemoSearch>();
        search_->SetMemo(memo_);
    }
    void TearDown() override {
        search_.reset();
        form_.reset();
        recorder_ = nullptr;
        harness::Pump();
    }

    static LRESULT CALLBACK Record(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_KEYDOWN) recorder_->keys_ += static_cast<char>(wParam);
        if (msg == WM_CHAR) recorder_->chars_ += static_cast<char>(wParam);
        return CallWindowProcA(recorder_->memoProc_, hwnd, msg, wParam, lParam);
    }
    bool KeySeen(UINT vk) const { return keys_.find(static_cast<char>(vk)) != std::string::npos; }

    void Open() {
        search_->ExecuteFind();
        ASSERT_NE(search_->DialogHandle(), nullptr);
    }
    // Types the text into the open dialog and presses its Find Next button.
    void FindNext(const std::string& text) {
        HWND dialog = search_->DialogHandle();
        ASSERT_NE(dialog, nullptr);
        SetDlgItemTextA(dialog, edt1, text.c_str());
        SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        harness::Pump();
    }
    std::string Selected() const {
        return memo_->Text().substr(static_cast<size_t>(memo_->SelStart()),
                                    static_cast<size_t>(memo_->SelLength()));
    }
    bool DialogClosed() {
        return harness::WaitFor([&] { return search_->DialogHandle() == nullptr; });
    }

    static inline MemoSearchTest* recorder_ = nullptr;
    std::unique_ptr<TestForm> form_;
    fw::TMemo* memo_ = nullptr;
    std::unique_ptr<TMemoSearch> search_;
    WNDPROC memoProc_ = nullptr;
    std::string keys_, chars_;
};

TEST_F(MemoSearchTest, HotKeysAreConsumedOnlyWhenTheyMatch) {
    struct Row {
        const char* name;
        bj::ShortCut searchKey;
        UINT vk;
        unsigned modifiers;
        bool consumed, opensDialog;
    };
    const Row rows[] = {
        {"Ctrl+F", bj::kShortCutCtrlF, 'F', kCtrl, true, true},
        {"plain F", bj::kShortCutCtrlF, 'F', 0, false, false},
        {"Ctrl+Shift+F", bj::kShortCutCtrlF, 'F', kCtrl | kShift, false, false},
        {"search key off", 0, 'F', kCtrl, false, false},
        {"F3 before any search", bj::kShortCutCtrlF, VK_F3, 0, false, false},
        {"Ctrl+R, no Replace dialog", bj::kShortCutCtrlF, 'R', kCtrl, true, false},
        {"Shift+F2", bj::MakeShortCut(VK_F2, true, false, false), VK_F2, kShift, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        search_->SearchKey = row.searchKey;
        memo_->SetText("alpha beta");
        keys_.clear();
        Press(memo_->Handle(), row.vk, row.modifiers);
        harness::Pump(50);
        EXPECT_EQ(KeySeen(row.vk), !row.consumed);
        HWND dialog = search_->DialogHandle();
        ASSERT_EQ(dialog != nullptr, row.opensDialog);
        if (!dialog) continue;
        char title[32] = {};
        GetWindowTextA(dialog, title, sizeof title);
        EXPECT_STREQ(title, "Find");
        EXPECT_EQ(fw::Application.ModelessDialog(), dialog);
        SendMessageA(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(DialogClosed());
        EXPECT_EQ(fw::Application.ModelessDialog(), nullptr);
    }
}

TEST_F(MemoSearchTest, OnlyTheCharacterOfAConsumedPressIsDropped) {
    search_->SearchKey = 0;
    Press(memo_->Handle(), 'F', kCtrl);
    ASSERT_EQ(chars_, "\x06") << "what Ctrl+F makes when nobody takes it";
    search_->SearchKey = bj::kShortCutCtrlF;
    memo_->SetText("note one note two");
    memo_->SetSel(0, 0);
    chars_.clear();

    Press(memo_->Handle(), 'F', kCtrl);
    ASSERT_TRUE(harness::WaitFor([&] { return search_->DialogHandle() != nullptr; }));
    Press(memo_->Handle(), 'X');
    Press(memo_->Handle(), 'F', kCtrl);
    PostMessageA(memo_->Handle(), WM_CHAR, 'y', 1);  // a character of its own
    harness::Pump();
    EXPECT_EQ(chars_, "xy");
    EXPECT_EQ(memo_->Text(), "xynote one note two");

    FindNext("note");
    EXPECT_EQ(memo_->SelStart(), 2);
    Press(memo_->Handle(), VK_F3);
    EXPECT_EQ(memo_->SelStart(), 11) << "F3 found the next one";
    // F3 makes no character, so the next one is the user's.
    PostMessageA(memo_->Handle(), WM_CHAR, 'z', 1);
    harness::Pump();
    EXPECT_EQ(memo_->Text(), "xynote one z two");
}

TEST_F(MemoSearchTest, DialogTakesTheSelectionAndGivesItsOptionsBack) {
    memo_->SetText("Note one note two NOTE");
    memo_->SetSel(9, 13);
    search_->Options = bj::frDown | bj::frWholeWord;
    Open();
    HWND dialog = search_->DialogHandle();
    char text[64] = {};
    GetDlgItemTextA(dialog, edt1, text, sizeof text);
    EXPECT_STREQ(text, "note");
    EXPECT_EQ(IsDlgButtonChecked(dialog, chx1), BST_CHECKED) << "whole word";
    EXPECT_EQ(IsDlgButtonChecked(dialog, chx2), BST_UNCHECKED) << "match case";
    EXPECT_EQ(IsDlgButtonChecked(dialog, rad2), BST_CHECKED) << "down";

    // Up, Match case on, Whole word off, then Cancel.
    for (int control : {rad1, chx2, chx1, IDCANCEL})
        SendMessageA(GetDlgItem(dialog, control), BM_CLICK, 0, 0);
    ASSERT_TRUE(DialogClosed());
    EXPECT_EQ(search_->Options & (bj::frDown | bj::frMatchCase | bj::frWholeWord), bj::frMatchCase);

    // The next dialog opens as left, and its first search runs over the whole text.
    Open();
    dialog = search_->DialogHandle();
    EXPECT_EQ(IsDlgButtonChecked(dialog, rad1), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, chx2), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, chx1), BST_UNCHECKED);
    FindNext("note");
    EXPECT_EQ(memo_->SelStart(), 9);
    EXPECT_TRUE(DialogClosed());
}

TEST_F(MemoSearchTest, FindNextWithTheWindowHiddenOrShown) {
    memo_->SetText("first line\r\nsecond Line\r\nline three");
    Open();
    FindNext("LINE");  // hidden: selects, nothing fails
    EXPECT_EQ(memo_->SelStart(), 6);
    EXPECT_EQ(memo_->SelLength(), 4);
    EXPECT_TRUE(DialogClosed());

    form_->Show();
    SetFocus(nullptr);
    search_->HideAfterSearch = false;
    Open();
    FindNext("line");
    FindNext("line");
    EXPECT_EQ(memo_->SelStart(), 19);
    EXPECT_EQ(GetFocus(), memo_->Handle());
    harness::Pump(50);
    EXPECT_NE(search_->DialogHandle(), nullptr) << "stays open without HideAfterSearch";
}

TEST_F(MemoSearchTest, SearchAgainFollowsTheCaretAndReportsBothEnds) {
    harness::MessageBoxScript boxes;
    memo_->SetText("cat concat cat. (cat) cats");
    search_->Options = bj::frDown | bj::frWholeWord;
    Open();
    boxes.Answer(IDOK);
    FindNext("dog");
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].caption, "Search Results");
    EXPECT_EQ(boxes.Shown()[0].text, "Search string \"dog\" not found.");
    EXPECT_EQ(boxes.Shown()[0].flags & (MB_TYPEMASK | MB_ICONMASK), UINT(MB_OK));
    EXPECT_EQ(memo_->SelLength(), 0) << "the selection stays";

    Open();
    FindNext("cat");
    Press(memo_->Handle(), VK_F3);
    EXPECT_EQ(memo_->SelStart(), 11) << "concat is no whole word";
    memo_->SetSel(21, 21);
    boxes.Answer(IDOK);
    Press(memo_->Handle(), VK_F3);
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[1].text, "No more instances of \"cat\" found.");
    EXPECT_EQ(memo_->SelStart(), 21);
    // From a caret inside "concat" its tail is no word either.
    memo_->SetSel(7, 7);
    Press(memo_->Handle(), VK_F3);
    EXPECT_EQ(memo_->SelStart(), 11);
    EXPECT_FALSE(KeySeen(VK_F3));
}

TEST_F(MemoSearchTest, HelpInTheDialogAsksForTheHelpContext) {
    std::vector<std::uintptr_t> requests;
    fw::Application.OnHelp = [&](unsigned command, std::uintptr_t data, bool& callHelp) {
        if (command == HELP_CONTEXT) requests.push_back(data);
        callHelp = false;
        return true;
    };
    Open();
    search_->SetHelpContext(2);
    HELPINFO info{sizeof info, HELPINFO_WINDOW, 0, search_->DialogHandle(), 0, {0, 0}};
    SendMessageA(search_->DialogHandle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    fw::Application.OnHelp = nullptr;
    EXPECT_EQ(requests, std::vector<std::uintptr_t>{2});
}

LRESULT CALLBACK PassOn(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto previous = reinterpret_cast<WNDPROC>(GetPropA(hwnd, "test.previous"));
    return CallWindowProcA(previous, hwnd, msg, wParam, lParam);
}

TEST_F(MemoSearchTest, UnbindingRestoresThePreviousProcedure) {
    HWND memo = memo_->Handle();
    const auto original = reinterpret_cast<LONG_PTR>(&Record);
    EXPECT_NE(GetWindowLongPtrA(memo, GWLP_WNDPROC), original);
    search_->SetMemo(nullptr);
    EXPECT_EQ(GetWindowLongPtrA(memo, GWLP_WNDPROC), original);
    search_->SetMemoHandle(memo);
    search_.reset();
    EXPECT_EQ(GetWindowLongPtrA(memo, GWLP_WNDPROC), original) << "the component went";

    // Hooked again after us: unbinding leaves that chain whole and the keys free.
    search_ = std::make_unique<TMemoSearch>();
    search_->SetMemo(memo_);
    SetPropA(memo, "test.previous",
             reinterpret_cast<HANDLE>(
                 SetWindowLongPtrA(memo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PassOn))));
    search_->SetMemo(nullptr);
    EXPECT_EQ(GetWindowLongPtrA(memo, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&PassOn));
    Press(memo, 'F', kCtrl);
    EXPECT_TRUE(KeySeen('F'));

    // The memo goes while bound: the component forgets it.
    auto spare = std::make_unique<fw::TMemo>(form_->Handle(), fw::TMemo::Style{});
    TMemoSearch other;
    other.SetMemo(spare.get());
    spare.reset();
    EXPECT_EQ(other.MemoHandle(), nullptr);
    EXPECT_EQ(other.Memo(), nullptr);
}

// Records what SendKeys injects and keeps it from reaching any window.
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
