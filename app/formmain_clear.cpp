// Emptying the memo for good, and the clipboard guard.
#include "app/formmain.h"
#include "app/globals.h"
#include "framework/application.h"
#include "framework/barrier.h"

namespace {

constexpr char kWarningOnClearMemoSubject[] = "Warning On ClearMemo";
constexpr char kWarningOnClearMemoText[] =
    "ClearMemo is a one way operation which cannot be undone and the contents of your memo will "
    "be removed irretrievably. For details check the program's Help file, topic Security "
    "Issues. You may disable this warning by unchecking option Warning On ClearMemo.\n\n"
    "Do you want to proceed with clearing the memo?";
constexpr char kNoteOnClearMemoSubject[] = "Note On ClearMemo";
constexpr char kNoteOnClearMemoText[] =
    "The memo has been cleared but an attempt to commit clearing to the disk has failed. "
    "Possible reason may be running the program from a read only medium.";

constexpr char kWarningOnClearClipboardSubject[] = "Warning On Clear Clipboard";
constexpr char kWarningOnClearClipboardText[] =
    "Clear Clipboard is a one way operation which cannot be undone and the contents of your "
    "Clipboard will be removed irretrievably. You may disable this warning by unchecking option "
    "Warning On Clear Clipboard.\n\nDo you want to clear the Clipboard?";
// Closed after every clearing, in this order, so they show the empty clipboard.
constexpr const char* kClipboardViewerTitles[] = {
    "Clipboard Viewer",
    "Clipbook Viewer",
    "Clipbook Viewer - [Clipboard]",
    "ClipBook Viewer - [Local ClipBook]",
};
constexpr DWORD kPauseAfterClearingMs = 1000;

}  // namespace

void TFormMain::ToggleMenuClearProc() {
    MenuClearMemo.SetEnabled(!Memo1->Empty());
}

void TFormMain::SetGuardedItemsEnabled(bool enabled) {
    PopUpHomeSite.SetEnabled(enabled);
    PopUpExit.SetEnabled(enabled);
}

void TFormMain::MenuClearMemoClick() {
    if (PopUpWarningOnClearMemo.Checked()) {
        SetGuardedItemsEnabled(false);
        const int answer = fw::Application.MessageBox(
            kWarningOnClearMemoText, kWarningOnClearMemoSubject, MB_YESNO | MB_ICONEXCLAMATION);
        if (answer != IDYES) {
            SetGuardedItemsEnabled(true);
            fw::Abort();
        }
    }
    try {
        Memo1->SelectAll();
        Memo1->ClearSelection();  // the change handling runs here
        Memo1->EmptyUndoBuffer();
        WriteNoteFile(u"");
        TextSaved = true;  // the empty memo is what the note now holds
        MenuSave.SetEnabled(false);
        MenuClearMemo.SetEnabled(false);
        SetGuardedItemsEnabled(true);
    } catch (const std::exception&) {
        fw::Application.MessageBox(kNoteOnClearMemoText, kNoteOnClearMemoSubject,
                                   MB_OK | MB_ICONEXCLAMATION);
        SetGuardedItemsEnabled(true);
    }
}

void TFormMain::PopUpClearClipboardClick() {
    const bool warn = PopUpWarningOnClearClipboard.Checked();
    bool clear = true;
    if (warn) {
        SetGuardedItemsEnabled(false);
        SetForegroundWindow(fw::Application.Handle());
        clear = fw::Application.MessageBox(kWarningOnClearClipboardText,
                                           kWarningOnClearClipboardSubject,
                                           MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
    }
    if (clear) {
        // Another program may hold the clipboard open: then nothing happens, silently.
        if (!OpenClipboard(fw::Application.Handle())) {
            SetGuardedItemsEnabled(true);
            fw::Abort();
        }
        const bool emptied = EmptyClipboard() != FALSE;
        CloseClipboard();
        if (!emptied) {
            SetGuardedItemsEnabled(true);
            fw::Abort();
        }
        if (warn) Sleep(kPauseAfterClearingMs);
    }
    SetGuardedItemsEnabled(true);
    for (const char* title : kClipboardViewerTitles)
        if (HWND viewer = FindWindowA(nullptr, title)) SendMessageA(viewer, WM_CLOSE, 0, 0);
}

void TFormMain::MenuClearClipboardClick() {
    PopUpClearClipboardClick();
}

void TFormMain::TimerClipboardChangeTimer() {
    const bool clipboardHasData = CountClipboardFormats() != 0;
    PopUpClearClipboard.SetEnabled(clipboardHasData);
    MenuClearClipboard.SetEnabled(clipboardHasData);
    FollowMemoText();
}
