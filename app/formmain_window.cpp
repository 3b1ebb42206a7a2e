// Where the main window goes, showing and hiding it, and the note-state picture.
#include "about/formabout.h"
#include "app/formmain.h"
#include "app/forms.h"
#include "app/globals.h"

namespace {
constexpr char kShowCaption[] = "Show Brisk&Jot";
constexpr char kHideCaption[] = "Hide Brisk&Jot";
// Kept free at the bottom of the screen for the taskbar.
constexpr int kTaskbarAllowance = 28;

enum NoteImage { kEmptyNote = 0, kSavedNote = 1, kUnsavedNote = 2 };
}  // namespace

void TFormMain::DefaultSizePositionProc() {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    Hide();
    // Normal state first: a maximised window would not take the new size.
    SetWindowStateNormal();
    SetHeight(screenHeight * 10 / 35);
    SetWidth(screenWidth * 10 / 25);
    SetLeft(screenWidth - Width());
    SetTop(screenHeight - Height() - kTaskbarAllowance);
    Show();
}

void TFormMain::PopUpDefaultSizePositionClick() { DefaultSizePositionProc(); }

void TFormMain::TrayIcon1Click() {
    if (PopUpShowBriskjot.Caption() == kShowCaption) {
        Show();
    } else if (PopUpShowBriskjot.Caption() == kHideCaption) {
        Hide();
        CloseOwnFindDialog();
    }
}

void TFormMain::FormShow() {
    PopUpShowBriskjot.SetCaption(kHideCaption);
    NoteChangedElsewhereProc();
}

void TFormMain::FormHide() { PopUpShowBriskjot.SetCaption(kShowCaption); }

void TFormMain::FormActivate() {
    EnableMenuItem(GetSystemMenu(Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    FormActivated = true;
    NoteChangedElsewhereProc();
    if (FormAbout) FormAbout->Close();
    Memo1->SetFocus();
}

void TFormMain::ToggleSystemTrayIconProc() {
    if (Memo1->Empty())
        SetNoteImage(kEmptyNote);
    else
        SetNoteImage(TextSaved ? kSavedNote : kUnsavedNote);
}

void TFormMain::SetNoteImage(int index) {
    TrayIcon1->SetImageIndex(index);
    PopUpShowBriskjot.SetImageIndex(index);
}
