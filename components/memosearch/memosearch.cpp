#include "components/memosearch/memosearch.h"

#include <dlgs.h>

#include "base/error.h"
#include "framework/application.h"
#include "framework/barrier.h"
#include "framework/edittext.h"
#include "framework/libraryfunction.h"
#include "framework/memo.h"
#include "framework/messages.h"
#include "framework/msgbox.h"
#include "framework/subclass.h"
#include "framework/visualstyles.h"
#include "framework/window.h"

namespace {

constexpr char kDialogProperty[] = "BriskJot.MemoSearch.Dialog";
constexpr std::size_t kFindWhatSize = 256;

const UINT kFindMessage = RegisterWindowMessageW(FINDMSGSTRINGW);

// One keyboard per program: a consumed hot-key press whose character is still to come.
bool KeySwallowed = false;
WPARAM swallowedChar = 0;

struct FlagPair {
    bj::FindOptions option;
    DWORD flag;
};
constexpr FlagPair kFlagPairs[] = {
    {bj::frDown, FR_DOWN},
    {bj::frFindNext, FR_FINDNEXT},
    {bj::frMatchCase, FR_MATCHCASE},
    {bj::frWholeWord, FR_WHOLEWORD},
};

DWORD ToDialogFlags(bj::FindOptions options) {
    DWORD flags = 0;
    for (const FlagPair& pair : kFlagPairs)
        if (options & pair.option) flags |= pair.flag;
    return flags;
}

// Bits the dialog knows nothing about are kept as they were.
bj::FindOptions FromDialogFlags(DWORD flags, bj::FindOptions previous) {
    bj::FindOptions options = previous;
    for (const FlagPair& pair : kFlagPairs) {
        if (flags & pair.flag)
            options |= pair.option;
        else
            options &= ~pair.option;
    }
    return options;
}

bool HotKeyMatches(bj::ShortCut hotKey, bj::ShortCut key) {
    return hotKey != 0 && hotKey == key;
}

// The character TranslateMessage makes of this press, 0 for none.
WPARAM CharOfPress(WPARAM virtualKey, LPARAM lParam) {
    const auto vk = static_cast<UINT>(virtualKey);
    // A dead key gives no WM_CHAR, and asking ToUnicode about it would eat the pending accent.
    if (MapVirtualKeyA(vk, MAPVK_VK_TO_CHAR) & 0x80000000u) return 0;
    BYTE keys[256];
    if (!GetKeyboardState(keys)) return 0;
    UINT scanCode = (static_cast<UINT>(lParam) >> 16) & 0xFFu;
    if (scanCode == 0) scanCode = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    WCHAR chars[2] = {};
    if (ToUnicode(vk, scanCode, keys, chars, 2, 0) != 1) return 0;
    return chars[0];
}

// The common dialog library costs megabytes once loaded, and most sessions never open Find.
HWND OpenFindDialog(FINDREPLACEW* record) {
    const fw::TVisualStyles styles;
    using FindTextFn = HWND(WINAPI*)(FINDREPLACEW*);
    static const auto findText = fw::LibraryFunction<FindTextFn>("comdlg32.dll", "FindTextW");
    return findText ? findText(record) : nullptr;
}

std::string Utf8(std::u16string_view text) {
    const auto* wide = reinterpret_cast<LPCWSTR>(text.data());
    const int size = static_cast<int>(text.size());
    std::string bytes(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide, size, nullptr,
                                                                   0, nullptr, nullptr)),
                      '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, size, bytes.data(), static_cast<int>(bytes.size()),
                        nullptr, nullptr);
    return bytes;
}

void GetSelection(HWND memo, std::size_t& start, std::size_t& length) {
    DWORD first = 0, last = 0;
    SendMessageW(memo, EM_GETSEL, reinterpret_cast<WPARAM>(&first),
                 reinterpret_cast<LPARAM>(&last));
    start = first;
    length = last > first ? last - first : 0;
}

}  // namespace

struct TMemoSearch::Dialog {
    FINDREPLACEW record{};
    // The record gives the size in bytes; twice the characters, so that a dialog counting
    // characters instead could not write past the end either.
    char16_t findWhat[2 * kFindWhatSize] = {};
    bj::FindOptions options = bj::frDown;  // as the user left them in the dialog
    HWND window = nullptr;  // nullptr once closed; the record lives on for the search-again key
};

TMemoSearch::TMemoSearch() = default;

TMemoSearch::~TMemoSearch() {
    CloseDialogWindow();
    Unbind();
    owner_.reset();
}

void TMemoSearch::SetMemo(fw::TMemo* memo) {
    SetMemoHandle(memo ? memo->Handle() : nullptr);
    memo_ = MemoHandle() ? memo : nullptr;
}

void TMemoSearch::SetMemoHandle(HWND memo) {
    if (memo == MemoHandle()) return;
    Unbind();
    if (memo) Bind(memo);
}

void TMemoSearch::SetHelpContext(unsigned helpContext) {
    // The dialog's hook reads it when help is asked for, so an open dialog follows at once.
    helpContext_ = helpContext;
}

HWND TMemoSearch::DialogHandle() const {
    return dialog_ && dialog_->window && IsWindow(dialog_->window) ? dialog_->window : nullptr;
}

void TMemoSearch::Bind(HWND memo) {
    if (!IsWindow(memo)) throw bj::Error("The memo has no window");
    subclass_ =
        std::make_shared<fw::TSubclass>(memo, [this](UINT msg, WPARAM wParam, LPARAM lParam) {
            return MemoWndProc(msg, wParam, lParam);
        });
}

void TMemoSearch::Unbind() {
    subclass_.reset();
    memo_ = nullptr;
    KeySwallowed = false;
}

LRESULT TMemoSearch::MemoWndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND memo = MemoHandle();
    switch (msg) {
        case WM_KEYDOWN: {
            // A new press: the character of a consumed one has come by now, or never will.
            KeySwallowed = false;
            const bj::ShortCut key =
                bj::MakeShortCut(static_cast<unsigned>(wParam), GetKeyState(VK_SHIFT) < 0,
                                 GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0);
            bool searchAgain = false;
            if (HotKeyMatches(SearchKey, key))
                PostMessageA(memo, fw::messages::kSearchKey, 0, 0);
            else if (HotKeyMatches(ReplaceKey, key))
                PostMessageA(memo, fw::messages::kReplaceKey, 0, 0);
            else if (HotKeyMatches(SearchAgainKey, key) && !SearchString().empty())
                searchAgain = true;
            else
                break;
            swallowedChar = CharOfPress(wParam, lParam);
            KeySwallowed = swallowedChar != 0;
            // After the mark: a "not found" box runs a message loop that may meet the character.
            if (searchAgain) DoFind();
            return 0;
        }
        case WM_CHAR:
            if (KeySwallowed) {
                KeySwallowed = false;
                if (wParam == swallowedChar) return 1;
            }
            break;
        case fw::messages::kSearchKey: {
            const std::weak_ptr<fw::TSubclass> binding = subclass_;
            fw::Application.ProcessMessages();
            // The pending messages may have unbound or destroyed us.
            const auto bound = binding.lock();
            if (bound && bound->Handle()) ExecuteFind();
            return 0;
        }
        case fw::messages::kReplaceKey:
            return 0;  // this program has no Replace dialog
        default:
            break;
    }
    return subclass_->CallNext(msg, wParam, lParam);
}

void TMemoSearch::ExecuteFind() {
    state_.searchString.clear();
    CloseDialogWindow();
    dialog_.reset();

    auto dialog = std::make_unique<Dialog>();
    FINDREPLACEW& record = dialog->record;
    record.lStructSize = sizeof record;
    // Made with the first dialog, not at start: most sessions never open one.
    if (!owner_)
        owner_ = std::make_unique<fw::TUtilityWindow>(
            [this](UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
                result = 0;
                return OwnerMessage(msg, lParam);
            });
    record.hwndOwner = owner_->Handle();
    record.hInstance = fw::Application.Instance();
    record.Flags = ToDialogFlags(Options) | FR_ENABLEHOOK;
    record.lpstrFindWhat = reinterpret_cast<LPWSTR>(dialog->findWhat);
    record.wFindWhatLen = static_cast<WORD>(kFindWhatSize * sizeof(char16_t));
    record.lpfnHook = &TMemoSearch::DialogHook;
    record.lCustData = reinterpret_cast<LPARAM>(this);
    dialog->options = Options;
    if (HWND memo = MemoHandle()) {
        std::size_t start = 0, length = 0;
        GetSelection(memo, start, length);
        const fw::TEditText text(memo);
        if (start < text.View().size()) {
            std::u16string_view selected = text.View().substr(start, length);
            // A selection longer than the field is offered up to a whole character.
            if (selected.size() >= kFindWhatSize) {
                selected = selected.substr(0, kFindWhatSize - 1);
                if (selected.back() >= 0xD800 && selected.back() <= 0xDBFF)
                    selected.remove_suffix(1);
            }
            selected.copy(dialog->findWhat, kFindWhatSize - 1);
        }
    }
    dialog_ = std::move(dialog);

    HWND window = OpenFindDialog(&dialog_->record);
    if (!window) fw::Abort();  // nothing the user could act on; the memo stays usable
    dialog_->window = window;
    fw::Application.SetModelessDialog(window);
    // The note window is always on top; the dialog it opens must not fall behind it.
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TMemoSearch::DoFind() {
    HWND memo = MemoHandle();
    if (!dialog_ || !memo) return;
    bj::LocateRequest request;
    GetSelection(memo, request.selStart, request.selLength);
    request.dialogText = dialog_->findWhat;
    request.options = dialog_->options;
    bj::LocateOutcome outcome;
    {
        // Read in place, and let go before anything else reaches the control.
        const fw::TEditText text(memo);
        request.memoText = text.View();
        outcome = bj::LocateMatch(state_, request);
    }
    state_ = std::move(outcome.state);
    if (HideAfterSearch) PostCloseToDialog();
    if (!outcome.found) {
        // Owned by the hidden application window, the box must not fall behind the note window.
        fw::ShowMessageBox(fw::Application.Handle(), Utf8(outcome.message),
                           bj::kSearchResultsCaption, MB_OK | MB_TOPMOST);
        return;
    }
    const auto start = static_cast<WPARAM>(outcome.selStart);
    SendMessageW(memo, EM_SETSEL, start, static_cast<LPARAM>(start + outcome.selLength));
    SendMessageW(memo, EM_SCROLLCARET, 0, 0);
    // Focus needs a shown window; a search from a dialog left open over a hidden note window
    // only selects.
    if (IsWindowVisible(memo)) SetFocus(memo);
}

bool TMemoSearch::OwnerMessage(UINT msg, LPARAM lParam) {
    if (msg != kFindMessage) return false;
    if (!dialog_ || lParam != reinterpret_cast<LPARAM>(&dialog_->record) || !dialog_->window)
        return true;  // from a dialog we have already let go
    ReadDialogOptions();
    const DWORD flags = dialog_->record.Flags;
    if (flags & FR_DIALOGTERM)
        DialogClose();
    else if (flags & FR_FINDNEXT)
        DoFind();
    return true;
}

// The controls rather than the record: a dialog that closes may already have cleared the
// record's option flags.
void TMemoSearch::ReadDialogOptions() {
    HWND window = DialogHandle();
    if (!window) return;
    bj::FindOptions options = FromDialogFlags(dialog_->record.Flags, dialog_->options);
    const struct {
        int control;
        bj::FindOptions option;
    } boxes[] = {{chx1, bj::frWholeWord}, {chx2, bj::frMatchCase}, {rad2, bj::frDown}};
    for (const auto& box : boxes) {
        if (!GetDlgItem(window, box.control)) continue;
        if (IsDlgButtonChecked(window, box.control) == BST_CHECKED)
            options |= box.option;
        else
            options &= ~box.option;
    }
    dialog_->options = options;
}

void TMemoSearch::DialogClose() {
    Options = dialog_->options;
    if (fw::Application.ModelessDialog() == dialog_->window)
        fw::Application.SetModelessDialog(nullptr);
    dialog_->window = nullptr;
}

void TMemoSearch::CloseDialogWindow() {
    HWND window = DialogHandle();
    if (!window) return;
    ReadDialogOptions();
    DialogClose();
    DestroyWindow(window);
}

void TMemoSearch::PostCloseToDialog() const {
    if (HWND window = DialogHandle()) PostMessageA(window, WM_CLOSE, 0, 0);
}

UINT_PTR CALLBACK TMemoSearch::DialogHook(HWND dialog, UINT msg, WPARAM, LPARAM lParam) noexcept {
    switch (msg) {
        case WM_INITDIALOG: {
            const auto* record = reinterpret_cast<const FINDREPLACEW*>(lParam);
            if (record)
                SetPropA(dialog, kDialogProperty, reinterpret_cast<HANDLE>(record->lCustData));
            return TRUE;
        }
        case WM_HELP: {
            const auto* self = static_cast<const TMemoSearch*>(GetPropA(dialog, kDialogProperty));
            if (!self || self->helpContext_ == 0) return FALSE;
            fw::Guarded([self] { fw::Application.HelpContext(self->helpContext_); });
            return TRUE;
        }
        case WM_NCDESTROY:
            RemovePropA(dialog, kDialogProperty);
            return FALSE;
        default:
            return FALSE;
    }
}
