// The memo's own keys, the time stamp, printing and the tray menu's Find.
#include "app/formmain.h"
#include "app/globals.h"
#include "app/notefile.h"
#include "app/timestamp.h"
#include "base/filesys.h"
#include "components/memosearch/sendkeys.h"
#include "framework/application.h"
#include "framework/barrier.h"
#include "framework/shell.h"
#include "framework/shiftstate.h"
#include "framework/unique.h"

namespace {

constexpr char kFileNotSavedSubject[] = "File Not Saved";
constexpr char kFileNotSavedText[] =
    "To proceed with printing the file must be saved first. \nSave the file and try to print "
    "again.";
constexpr char kPrintErrorSubject[] = "Print Error";
constexpr char kPrintErrorText[] =
    "Cannot print.\n\nCheck that the file is not locked for access by other application. ";
constexpr char kConfirmPrintSubject[] = "Confirm Print";
constexpr char kConfirmPrintText[] =
    "To start printing the contents of your memo click on Yes button.\nClick on No to abort. "
    "For printing options check the Help file.";

std::string LocaleText(LCTYPE type) {
    char text[80] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text);
    return text;
}

// Today in the system's short date format, ", ", the 24-hour time, CR LF.
std::string TimeStamp() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char date[80] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, sizeof date);
    return bj::FormatTimeStamp(date, now.wHour, now.wMinute, LocaleText(LOCALE_STIME));
}

// True when the file exists and cannot be opened for reading without sharing.
bool FileIsLocked(const std::string& fileName) {
    if (!FileExists(fileName)) return false;
    fw::UniqueHandle file(CreateFileA(fileName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    return !file;
}

}  // namespace

void TFormMain::Memo1KeyDown(WORD& key, unsigned) {
    // Key states, not the event's key: these fire on any key-down while both are held.
    if (fw::KeyIsDown(VK_CONTROL) && fw::KeyIsDown('A')) Memo1->SelectAll();
    if (fw::KeyIsDown(VK_CONTROL) && fw::KeyIsDown('S')) MenuSaveClick();
    if (key == VK_F5) Memo1->ReplaceSel(TimeStamp(), false);
}

void TFormMain::PopUpPrintClick() {
    if (TrayIcon1->ImageIndex() == kUnsavedNote) {
        fw::Application.MessageBox(kFileNotSavedText, kFileNotSavedSubject,
                                   MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (FileIsLocked(NoteFilePath)) {
        fw::Application.MessageBox(kPrintErrorText, kPrintErrorSubject, MB_OK | MB_ICONHAND);
        return;
    }
    if (fw::Application.MessageBox(kConfirmPrintText, kConfirmPrintSubject,
                                   MB_YESNO | MB_ICONASTERISK) != IDYES)
        fw::Abort();
    // The shell prints the file on disk; what it makes of the request is not ours to judge.
    fw::ShellExecute(Handle(), "print", NoteFilePath, SW_SHOWMINIMIZED);
}

void TFormMain::PopUpFindReplaceClick() {
    if (SendKeys("^f", true) && WindowHidden()) Show();
}

void TFormMain::FollowMemoText() {
    const bool hasText = !Memo1->Empty();
    PopUpFindReplace.SetEnabled(hasText);
    PopUpPrint.SetEnabled(hasText);
    MemoSearch1->SearchKey = hasText ? bj::kShortCutCtrlF : 0;
}
