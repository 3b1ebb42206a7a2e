// Where the main window goes, showing and hiding it, and the note-state picture.
#include "about/formabout.h"
#include "app/formmain.h"
#include "app/forms.h"
#include "app/globals.h"
#include "framework/display.h"

namespace {
constexpr char kHideCaption[] = "Hide Brisk&Jot";

constexpr int kMenuImageSize = 16;  // at 96 DPI

// The picture strips by their images' size, smallest first.
constexpr std::pair<int, const char*> kImageStrips[] = {
    {16, "IMAGELIST1"}, {20, "IMAGELIST1_20"}, {24, "IMAGELIST1_24"}, {32, "IMAGELIST1_32"}};

// The largest pictures that fit the size, at least the smallest; pictures drawn larger than
// the size asked for would crowd the menu.
const char* ImageStrip(int size) {
    const char* name = kImageStrips[0].second;
    for (const auto& [pixels, strip] : kImageStrips)
        if (pixels <= size) name = strip;
    return name;
}
}  // namespace

void TFormMain::DefaultSizePositionProc() {
    Hide();
    PlaceAtDefault();
    Show();
}

void TFormMain::PlaceAtDefault() {
    const bj::ScreenSize screen = Screen();
    const bj::Geometry size = bj::DefaultGeometry(screen.width, screen.height);
    // Normal state first: a maximised window would not take the new size.
    SetWindowStateNormal();
    SetHeight(size.height);
    SetWidth(size.width);
    const bj::Geometry place = bj::DefaultPlace(screen, Width(), Height());
    SetLeft(place.left);
    SetTop(place.top);
}

void TFormMain::KeepOnScreenProc() {
    // Hidden or shown, the window keeps that state: only its place changes.
    if (!bj::MeetsAnyArea({Left(), Top(), Width(), Height()}, WorkAreas())) PlaceAtDefault();
}

void TFormMain::ScaleToDpiProc(int dpi) {
    Memo1->SetDpi(dpi);
    ImageList1.LoadStrip(ImageStrip(fw::ScaleToDpi(kMenuImageSize, dpi)));
    ImageListTray.LoadStrip(ImageStrip(GetSystemMetrics(SM_CXSMICON)));
    // Built anew, or the menu would keep the picture size it measured first.
    PopupMenu1.Build(&ImageList1);
}

void TFormMain::PopUpDefaultSizePositionClick() {
    DefaultSizePositionProc();
}

void TFormMain::TrayIcon1Click() {
    if (PopUpShowBriskjot.Caption() == kShowCaption) {
        Show();
    } else if (PopUpShowBriskjot.Caption() == kHideCaption) {
        Hide();
        CloseOwnFindDialog();
    }
}

void TFormMain::HotKey1Press() {
    // The same steps as the tray icon's click: the foreground first, or a window shown while
    // another program has the focus would open behind it.
    SetForegroundWindow(Handle());
    TrayIcon1Click();
}

void TFormMain::FormShow() {
    PopUpShowBriskjot.SetCaption(kHideCaption);
    NoteChangedElsewhereProc();
}

void TFormMain::FormHide() {
    PopUpShowBriskjot.SetCaption(kShowCaption);
}

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
