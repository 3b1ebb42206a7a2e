#pragma once
// The note window: the memo, both menus and the components around them.
// Handlers are spread over formmain_*.cpp by subject.

#include <memory>
#include <string>
#include <string_view>

#include "about/formabout.h"
#include "app/notecodec.h"
#include "app/settingsrules.h"
#include "components/help/contextmap.h"
#include "components/help/helprouter.h"
#include "components/memosearch/memosearch.h"
#include "components/storage/filestore.h"
#include "components/tray/trayicon.h"
#include "framework/form.h"
#include "framework/hotkey.h"
#include "framework/imagelist.h"
#include "framework/memo.h"
#include "framework/menu.h"
#include "framework/timer.h"

class TNoteGuard;
class TFolderWatch;

class TFormMain : public fw::TForm, public TAboutOwner {
public:
    TFormMain();
    ~TFormMain() override;

    std::unique_ptr<fw::TMemo> Memo1;
    std::unique_ptr<TMemoSearch> MemoSearch1;  // after the memo: unbinds before it goes

    fw::TMenuItem MainMenu1Items;
    fw::TMenuItem MenuSave, MenuClearMemo, MenuClearClipboard, MenuHide, MenuHelp;
    fw::TMenuItem MenuHelpTopics, N1, MenuAbout;
    fw::TMainMenu MainMenu1;

    fw::TMenuItem PopupMenu1Items;
    fw::TMenuItem PopUpShowBriskjot, N2, PopUpFindReplace, PopUpPrint, PopUpSeparator1;
    fw::TMenuItem PopUpStartWithWindows, PopUpShowOnStartUp, PopUpWarningOnClearMemo;
    fw::TMenuItem PopUpWarningOnClearClipboard, PopUpSeparator4, PopUpAutoSave, PopUpSeparator3;
    fw::TMenuItem PopUpDefaultSizePosition, PopUpHelp_Options, PopUpDonate, PopUpHomeSite;
    fw::TMenuItem PopUpAbout, N3, PopUpClearClipboard, PopUpSeparator2, PopUpExit;
    fw::TPopupMenu PopupMenu1;

    fw::TImageList ImageList1;     // the menu's pictures, at the window's DPI
    fw::TImageList ImageListTray;  // at the size the notification area asks for
    std::unique_ptr<TTrayIcon> TrayIcon1;
    THelpContextMap HelpContextMap1;
    std::unique_ptr<THelpRouter> HelpRouter1;
    fw::TTimer TimerClipboardChange;
    TFileStore FileStore1;
    fw::THotKey HotKey1;
    std::unique_ptr<TNoteGuard> NoteGuard1;
    std::unique_ptr<TFolderWatch> NoteWatch1;
    // Made when first needed: the balloon after a save that kept a copy, and reading again a
    // changed note that its writer still held.
    std::unique_ptr<fw::TTimer> TimerNoteChanged;

    // What the note is saved as, and the memory its saves are encoded in (kept: AutoSave
    // encodes the whole text on every keystroke).
    notecodec::Encoding NoteEncoding = notecodec::Encoding::Ansi;
    std::string NoteBytes;

    // Life cycle
    void FormCreate();
    void AppException(const std::exception_ptr& error);
    void ApplicationDeactivate();
    void PopUpExitClick();
    void FormClose();

    // Placement and visibility
    void DefaultSizePositionProc();
    // A window that meets no monitor's work area (its monitor gone) goes to the default place;
    // one partly visible stays where it is.
    void KeepOnScreenProc();
    // Fonts and pictures for the DPI of the monitor the window is on.
    void ScaleToDpiProc(int dpi);
    void PopUpDefaultSizePositionClick();
    void TrayIcon1Click();
    // The global hot key: shows or hides the window as a click on the tray icon does.
    void HotKey1Press();
    void FormShow();
    void FormHide();
    void FormActivate();
    void ToggleSystemTrayIconProc();
    bool WindowHidden() const;

    // Settings
    void LoadOptionsProc();
    void SaveSettingsProc();
    void PopUpStartWithWindowsClick();
    void PopUpShowOnStartUpClick();
    void PopUpWarningOnClearMemoClick();
    void PopUpWarningOnClearClipboardClick();
    // Registers the key the text names; text that names none, or a key another program holds,
    // leaves the program without one, quietly. The text is saved back as it is.
    void SetHotKeyProc(const std::string& text);

    // Help
    void EnsureHelpFile();
    bool HelpRouter1Help(unsigned command, std::uintptr_t data, bool& callHelp);
    void PopUpHelp_OptionsClick();

    // About box and web links
    void PopUpAboutClick();
    void PopUpHomeSiteClick();
    void PopUpDonateClick();
    HWND OwnerWindow() const override { return Handle(); }
    void AboutBoxCreated() override;
    void WebLinkOpening(bool opening) override;

    // Keys, time stamp, printing, Find
    void Memo1KeyDown(WORD& key, unsigned shift);
    void PopUpPrintClick();
    void PopUpFindReplaceClick();
    // Find, Print and Ctrl+F are on only while there is text to search.
    void FollowMemoText();

    // The note
    void MenuSaveClick();
    void Memo1Change();
    void PopUpAutoSaveClick();
    // False when the save the user chose failed: the exit is called off.
    bool FileNotSavedOnExitProc();

    // The note changed by another program
    void WatchNoteProc();
    void NoteChangedElsewhereProc();
    void ReloadChangedNoteProc();
    void NoteCopyKept(const std::string& copyPath);
    void TimerNoteChangedTimer();

    // Clearing the memo and the clipboard
    void ToggleMenuClearProc();
    void MenuClearMemoClick();
    void PopUpClearClipboardClick();
    void MenuClearClipboardClick();
    void TimerClipboardChangeTimer();

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // The note's picture in the tray and beside "Show Brisk&Jot".
    enum NoteImage { kEmptyNote = 0, kSavedNote = 1, kUnsavedNote = 2 };
    // The caption also tells whether the window is hidden.
    static constexpr char kShowCaption[] = "Show Brisk&Jot";

    void BuildMenus();
    void LoadPersistedData();
    void CreateTrayIcon();
    void BindHandlers();
    void SetNoteImage(int index);
    // The one way text reaches the note file; throws when it does not.
    void WriteNoteFile(std::u16string_view text);
    // The default size and place, without hiding or showing.
    void PlaceAtDefault();
    // "H&ome Site" and "E&xit", disabled while a warning is open.
    void SetGuardedItemsEnabled(bool enabled);
    std::string hotKeyText_ = bj::kDefaultHotKey;
    void StartNoteChangedTimer();
    // The note read at start goes into the memo once the window has its size.
    void PutLoadedNoteProc();
    std::u16string loadedNote_;
    std::string noteCopyPath_;
    int noteReadRetries_ = 0;

    // The primary screen, and the work areas of all monitors, in the settings rules' terms.
    static bj::ScreenSize Screen();
    static std::vector<bj::Rect> WorkAreas();
    // Sends WM_CLOSE to this program's own top-level "Find" dialog, if one is open;
    // windows of that title that belong to other programs are left alone.
    static void CloseOwnFindDialog();
};
