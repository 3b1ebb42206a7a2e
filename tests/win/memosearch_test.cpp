// The search component on a memo of its own: hot keys through the real message path, the
// system Find dialog and the result boxes.
#include "components/memosearch/memosearch.h"

#include <dlgs.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/form.h"
#include "framework/memo.h"
#include "tests/win/harness.h"

namespace {

using harness::Press;

class MemoSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        form_.CreateForm(fw::TForm::Style{"MemoSearch test"});
        memo_ = std::make_unique<fw::TMemo>(form_.Handle(), fw::TMemo::Style{});
        // Under the component: records what it lets through to the memo.
        recorder_ = this;
        memoProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(Memo(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Record)));
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
        return CallWindowProcW(recorder_->memoProc_, hwnd, msg, wParam, lParam);
    }
    bool KeySeen(UINT vk) const { return keys_.find(static_cast<char>(vk)) != std::string::npos; }
    HWND Memo() const { return memo_->Handle(); }

    HWND Open() {
        search_->ExecuteFind();
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

TEST_F(MemoSearchTest, OnlyAMatchingHotKeyIsConsumedAndItsCharacterNeverReachesTheMemo) {
    const struct {
        const char* name;
        bj::ShortCut searchKey;
        UINT vk;
        std::vector<BYTE> held;
        bool consumed, opensDialog;
    } rows[] = {
        {"Ctrl+F", bj::kShortCutCtrlF, 'F', {VK_CONTROL}, true, true},
        {"plain F", bj::kShortCutCtrlF, 'F', {}, false, false},
        {"search key off", 0, 'F', {VK_CONTROL}, false, false},
        {"F3 before any search", bj::kShortCutCtrlF, VK_F3, {}, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        search_->SearchKey = row.searchKey;
        keys_.clear();
        Press(Memo(), row.vk, row.held);
        harness::Pump(50);
        EXPECT_EQ(KeySeen(row.vk), !row.consumed);
        HWND dialog = search_->DialogHandle();
        ASSERT_EQ(dialog != nullptr, row.opensDialog);
        if (!dialog) continue;
        EXPECT_EQ(fw::Application.ModelessDialog(), dialog);
        SendMessageA(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(DialogClosed());
    }

    memo_->SetText("note one note two");
    memo_->SetSel(0, 0);
    chars_.clear();
    Press(Memo(), 'F', {VK_CONTROL});
    ASSERT_TRUE(harness::WaitFor([&] { return search_->DialogHandle() != nullptr; }));
    Press(Memo(), 'X');
    Press(Memo(), 'F', {VK_CONTROL});
    PostMessageA(Memo(), WM_CHAR, 'y', 1);  // a character of its own
    harness::Pump();
    EXPECT_EQ(chars_, "xy");
    EXPECT_EQ(memo_->Text(), "xynote one note two");
}

TEST_F(MemoSearchTest, SearchesFollowTheOptionsAndTheCaretAndMissesAreReportedInABox) {
    harness::MessageBoxScript boxes;
    memo_->SetText("cat concat cat");
    search_->Options = bj::frDown | bj::frWholeWord;
    Open();
    FindNext("cat");  // the window is hidden: it selects, nothing fails
    EXPECT_EQ(memo_->SelStart(), 0);
    EXPECT_EQ(memo_->SelLength(), 3);
    EXPECT_TRUE(DialogClosed());
    memo_->SetSel(6, 6);
    Press(Memo(), VK_F3);
    EXPECT_EQ(memo_->SelStart(), 11) << "from the caret, and concat is no whole word";
    EXPECT_FALSE(KeySeen(VK_F3));

    boxes.Answer(IDOK);
    Press(Memo(), VK_F3);
    Open();
    boxes.Answer(IDOK);
    FindNext("dog");
    EXPECT_EQ(memo_->SelStart(), 11) << "the selection stays";
    EXPECT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(memo_->Text(), "cat concat cat");

    // The dialog's options outlive it.
    memo_->SetText("Note one note two NOTE");
    memo_->SetSel(9, 13);
    search_->Options = bj::frDown | bj::frWholeWord;
    HWND dialog = Open();
    // Up, Match case on, Whole word off, then Cancel.
    for (int control : {rad1, chx2, chx1, IDCANCEL})
        SendMessageA(GetDlgItem(dialog, control), BM_CLICK, 0, 0);
    ASSERT_TRUE(DialogClosed());
    EXPECT_EQ(search_->Options & (bj::frDown | bj::frMatchCase | bj::frWholeWord), bj::frMatchCase);

    Open();
    FindNext("note");
    EXPECT_EQ(memo_->SelStart(), 9);

    // A selection longer than the dialog's field is offered up to a whole character.
    const std::u16string text = std::u16string(254, u'a') + u"\U0001F600b";
    memo_->SetText(text);
    memo_->SelectAll();
    WCHAR offered[300] = {};
    GetDlgItemTextW(Open(), edt1, offered, 300);
    EXPECT_TRUE(reinterpret_cast<const char16_t*>(offered) == text.substr(0, 254));
}

TEST_F(MemoSearchTest, UnbindingRestoresTheMemoAndAGoneMemoIsForgotten) {
    const auto original = reinterpret_cast<LONG_PTR>(&Record);
    search_.reset();
    EXPECT_EQ(GetWindowLongPtrW(Memo(), GWLP_WNDPROC), original) << "the component went";

    Press(Memo(), 'F', {VK_CONTROL});
    EXPECT_TRUE(KeySeen('F')) << "the keys are free";

    auto spare = std::make_unique<fw::TMemo>(form_.Handle(), fw::TMemo::Style{});
    TMemoSearch other;
    other.SetMemo(spare.get());
    spare.reset();
    EXPECT_EQ(other.Memo(), nullptr);
}

}  // namespace
