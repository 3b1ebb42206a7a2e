// Saving the note: on command, on every change with AutoSave, and at exit.
#include "app/ansicodepage.h"
#include "app/formmain.h"
#include "app/globals.h"
#include "app/notefile.h"
#include "framework/application.h"
#include "framework/barrier.h"

namespace {

constexpr char kErrorOnSaveSubject[] = "Error On Save";
constexpr char kErrorOnSaveText[] =
    "Cannot save. Check that the file is not locked for access by other application.\n\n"
    "Other possible reason may be running the program from a read only medium. To save your "
    "data in this case, open BriskJot double-clicking on its icon in the system tray and "
    "manually copy the contents of the memo to a writable medium before exiting the program.";

constexpr char kAutoSaveSubject[] = "AutoSave Mode";
constexpr char kAutoSaveText[] =
    "You have enabled AutoSave option. While this is an exciting feature of BriskJot, please "
    "note that if the program is run from a slow removable medium (disk), AutoSave may "
    "undesirably slow down your work as it automatically saves each keypress as it is entered. "
    "Should you find out that the medium you are running BriskJot from does not offer you "
    "acceptable pace of typing, it is advisable to disable AutoSave and to save your work "
    "manually.";

constexpr char kBackupSuffix[] = ".bak";

constexpr char kSaveOnExitSubject[] = "Save On Exit?";
constexpr char kSaveOnExitText[] =
    "The text in BriskJot has not been saved. Do you want to save it now?";

}  // namespace

void TFormMain::WriteNoteFile(std::u16string_view text) {
    // What followed a NUL never reached the memo: the note as it is goes to a copy first.
    if (!MemoHoldsWholeNote) notefile::KeepCopy(NoteFilePath, NoteFilePath + kBackupSuffix);
    // The encoding changes only with a save that succeeded.
    notecodec::Encoding encoding = NoteEncoding;
    notefile::WriteNote(NoteFilePath, notecodec::Encode(text, encoding, AnsiCodePage(), NoteBytes));
    NoteEncoding = encoding;
    MemoHoldsWholeNote = true;
}

void TFormMain::MenuSaveClick() {
    try {
        WriteNoteFile(Memo1->TextView().View());
    } catch (const std::exception&) {
        // The old note stays whole on disk; state and picture stay as they were.
        fw::Application.MessageBox(kErrorOnSaveText, kErrorOnSaveSubject, MB_OK | MB_ICONHAND);
        return;
    }
    MenuSave.SetEnabled(false);
    TextSaved = true;
    ToggleSystemTrayIconProc();
}

void TFormMain::Memo1Change() {
    TextSaved = false;
    ToggleSystemTrayIconProc();
    if (FormActivated) {
        if (PopUpAutoSave.Checked())
            MenuSaveClick();
        else
            MenuSave.SetEnabled(true);
    }
    ToggleMenuClearProc();
    if (Memo1->Empty()) CloseOwnFindDialog();
    FollowMemoText();
}

void TFormMain::PopUpAutoSaveClick() {
    if (PopUpAutoSave.Checked()) {
        PopUpAutoSave.SetChecked(false);
    } else {
        PopUpAutoSave.SetChecked(true);
        MenuSaveClick();
        fw::Application.MessageBox(kAutoSaveText, kAutoSaveSubject, MB_OK | MB_ICONASTERISK);
        if (WindowHidden()) Show();
    }
    SaveSettingsProc();
}

LRESULT TFormMain::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // Windows is logging off or shutting down and will end us without a close: the unsaved
    // text goes to disk first, through the same safe save.
    if (msg == WM_ENDSESSION && wParam && !TextSaved) MenuSaveClick();
    return fw::TForm::WndProc(msg, wParam, lParam);
}

bool TFormMain::FileNotSavedOnExitProc() {
    // Not Save's state: AutoSave keeps Save disabled even when its save failed.
    if (TextSaved) return true;
    const int answer =
        fw::Application.MessageBox(kSaveOnExitText, kSaveOnExitSubject, MB_YESNO | MB_ICONQUESTION);
    if (answer != IDYES) return true;
    MenuSaveClick();
    return TextSaved;
}
