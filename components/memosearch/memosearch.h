#pragma once
// Gives one multi-line edit control the system Find dialog and hot keys: it subclasses the
// control to see the keys first.

#include <windows.h>
// after windows.h, which it needs
#include <commdlg.h>

#include <memory>
#include <string>

#include "components/memosearch/searchengine.h"
#include "framework/subclass.h"

namespace fw {
class TMemo;
class TUtilityWindow;
}  // namespace fw

class TMemoSearch {
public:
    TMemoSearch();
    ~TMemoSearch();
    TMemoSearch(const TMemoSearch&) = delete;
    TMemoSearch& operator=(const TMemoSearch&) = delete;

    bj::ShortCut SearchKey = bj::kShortCutCtrlF;
    bj::ShortCut ReplaceKey = bj::MakeShortCut('R', false, true, false);
    bj::ShortCut SearchAgainKey = bj::kShortCutF3;
    bool HideAfterSearch = true;
    bj::FindOptions Options = bj::frDown;  // for the next dialog; updated when one closes
    bool PromptReplace = false;
    bool ShowReplaceCount = false;

    fw::TMemo* Memo() const { return MemoHandle() ? memo_ : nullptr; }
    void SetMemo(fw::TMemo* memo);
    // Null once the memo's window is gone.
    HWND MemoHandle() const { return subclass_ ? subclass_->Handle() : nullptr; }
    // Binds a bare EDIT window; nullptr unbinds.
    void SetMemoHandle(HWND memo);

    unsigned HelpContext() const { return helpContext_; }
    void SetHelpContext(unsigned helpContext);

    const std::u16string& SearchString() const { return state_.searchString; }

    void ExecuteFind();
    void DoFind();
    // The open Find dialog, or nullptr.
    HWND DialogHandle() const;

private:
    struct Dialog;

    void Bind(HWND memo);
    void Unbind();
    LRESULT MemoWndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    bool OwnerMessage(UINT msg, LPARAM lParam);
    void ReadDialogOptions();
    void DialogClose();
    void CloseDialogWindow();
    void PostCloseToDialog() const;
    static UINT_PTR CALLBACK DialogHook(HWND dialog, UINT msg, WPARAM wParam,
                                        LPARAM lParam) noexcept;

    fw::TMemo* memo_ = nullptr;
    // Shared: a handler that runs a message loop can see whether it outlived it.
    std::shared_ptr<fw::TSubclass> subclass_;
    unsigned helpContext_ = 0;
    bj::SearchState state_;
    std::unique_ptr<Dialog> dialog_;
    std::unique_ptr<fw::TUtilityWindow> owner_;  // receives the dialog's notifications
};
