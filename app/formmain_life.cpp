// The main window's start and end.
#include <cstddef>
#include <utility>

#include "about/formabout.h"
#include "app/formmain.h"
#include "app/forms.h"
#include "app/globals.h"
#include "app/notefile.h"
#include "base/error.h"
#include "base/filesys.h"
#include "framework/application.h"
#include "framework/barrier.h"

std::string NoteFilePath;
bool TextSaved = false;
bool FormActivated = false;
bool MemoHoldsWholeNote = true;

namespace {

constexpr char kNoteFileName[] = "BriskJot.txt";
constexpr int kOffScreenLeft = 1000000;
constexpr int kHelpMenuPosition = 4;
// The menu-item record as the oldest systems know it, without hbmpItem.
constexpr UINT kMenuItemInfoOldSize = offsetof(MENUITEMINFOA, hbmpItem);
#if defined(_WIN32) && !defined(_WIN64)
static_assert(kMenuItemInfoOldSize == 44, "MENUITEMINFOA without hbmpItem is 44 bytes");
#endif

void RightJustifyHelpMenu(HWND window) {
    HMENU bar = GetMenu(window);
    char text[80] = {};
    MENUITEMINFOA info{};
    info.cbSize = kMenuItemInfoOldSize;
    info.fMask = MIIM_TYPE;
    info.dwTypeData = text;
    info.cch = sizeof text;
    // A failure leaves the menu left-aligned; nothing worth reporting.
    if (!GetMenuItemInfoA(bar, kHelpMenuPosition, TRUE, &info)) return;
    info.fType |= MFT_RIGHTJUSTIFY;
    if (!SetMenuItemInfoA(bar, kHelpMenuPosition, TRUE, &info)) return;
    DrawMenuBar(window);
}

}  // namespace

void TFormMain::FormCreate() {
    Hide();
    SetLeft(kOffScreenLeft);
    fw::Application.HelpFile = ChangeFileExt(fw::Application.ExeName(), ".chm");
    RightJustifyHelpMenu(Handle());
    fw::Application.OnDeactivate = [this] { ApplicationDeactivate(); };
    fw::Application.OnException = [this](const std::exception_ptr& error) { AppException(error); };
    FormActivated = false;
    NoteFilePath = notefile::ExeFolder() + kNoteFileName;
    MemoHoldsWholeNote = true;
    notefile::FinishInterruptedSave(NoteFilePath);
    WatchNoteProc();
    if (FileExists(NoteFilePath)) {
        notefile::ResetAttributes(NoteFilePath);
        notecodec::Decoded note = notefile::ReadNote(NoteFilePath);
        loadedNote_ = std::move(note.text);
        MemoHoldsWholeNote = !note.cut;
        NoteEncoding = note.encoding;
    }
    MenuSave.SetEnabled(false);
    TextSaved = true;
    ToggleSystemTrayIconProc();
    ToggleMenuClearProc();
}

void TFormMain::PutLoadedNoteProc() {
    if (loadedNote_.empty()) return;
    // A multi-line edit control raises no change for a text set whole: nothing is saved.
    const bool taken = Memo1->SetText(loadedNote_);
    std::u16string().swap(loadedNote_);
    // Refused, it ends the start as a failed read does.
    if (!taken) throw bj::Error("The memo refused the note");
    ToggleSystemTrayIconProc();
    ToggleMenuClearProc();
}

void TFormMain::AppException(const std::exception_ptr&) {
    // Quietly, without the closing steps: nothing is saved.
    fw::Application.Terminate();
}

void TFormMain::ApplicationDeactivate() {
    if (FormAbout) FormAbout->Close();
}

void TFormMain::PopUpExitClick() {
    CloseOwnFindDialog();
    Close();
}

void TFormMain::FormClose() {
    SaveSettingsProc();
    notefile::ResetAttributes(NoteFilePath);
    if (!FileNotSavedOnExitProc()) {
        // The save asked for failed: the program stays, with the text in sight to copy.
        if (WindowHidden()) Show();
        fw::Abort();
    }
    fw::Application.HelpCommand(HELP_QUIT, 0);
    fw::Application.Terminate();
}

void TFormMain::CloseOwnFindDialog() {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, nullptr, "Find")) != nullptr) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId()) {
            SendMessageA(window, WM_CLOSE, 0, 0);
            return;
        }
    }
}
