#include "app/formmain.h"

#include "app/commands.h"
#include "app/forms.h"
#include "app/noteguard.h"
#include "app/notewatch.h"
#include "framework/application.h"
#include "framework/display.h"

TFormMain* FormMain = nullptr;

namespace {
constexpr char kCaption[] = "BriskJot";
}  // namespace

TFormMain::TFormMain()
    : MainMenu1Items("", 0),
      MenuSave("&Save", cmd::MenuSave),
      MenuClearMemo("Clear&Memo", cmd::MenuClearMemo),
      MenuClearClipboard("Clear&Clipboard", cmd::MenuClearClipboard),
      MenuHide("Hi&de", cmd::MenuHide),
      MenuHelp("&Help", 0),
      MenuHelpTopics("&Help - Options", cmd::MenuHelpTopics),
      N1("-", 0),
      MenuAbout("&About...", cmd::MenuAbout, 1),
      MainMenu1(MainMenu1Items),
      PopupMenu1Items("", 0),
      PopUpShowBriskjot(kShowCaption, cmd::PopUpShowBriskjot, 2),
      N2("-", 0),
      PopUpFindReplace("&Find", cmd::PopUpFindReplace, 2),
      PopUpPrint("Pri&nt", cmd::PopUpPrint, 2),
      PopUpSeparator1("-", 0),
      PopUpStartWithWindows("Start With &Windows", cmd::PopUpStartWithWindows, 2),
      PopUpShowOnStartUp("Show On Start&Up", cmd::PopUpShowOnStartUp, 2),
      PopUpWarningOnClearMemo("Warning On Clea&rMemo", cmd::PopUpWarningOnClearMemo),
      PopUpWarningOnClearClipboard("Warning On Clear Clip&board",
                                   cmd::PopUpWarningOnClearClipboard),
      PopUpSeparator4("-", 0),
      PopUpAutoSave("Auto&Save Memo", cmd::PopUpAutoSave, 2),
      PopUpSeparator3("-", 0),
      PopUpDefaultSizePosition("Default Si&ze And Position", cmd::PopUpDefaultSizePosition, 2),
      PopUpHelp_Options("&Help - Options", cmd::PopUpHelp_Options),
      PopUpDonate("&Donate...", cmd::PopUpDonate),
      PopUpHomeSite("H&ome Site", cmd::PopUpHomeSite, 7),
      PopUpAbout("&About...", cmd::PopUpAbout, 5),
      N3("-", 0),
      PopUpClearClipboard("&Clear Clipboard", cmd::PopUpClearClipboard, 2),
      PopUpSeparator2("-", 0),
      PopUpExit("E&xit", cmd::PopUpExit, 2),
      PopupMenu1(PopupMenu1Items),
      TimerClipboardChange(100) {
    FormMain = this;
    BuildMenus();
    fw::TForm::Style style;
    style.caption = kCaption;
    style.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX;
    style.exStyle = WS_EX_TOPMOST;
    style.width = 390;
    style.height = 207;
    style.menu = MainMenu1.CreateBar();
    CreateForm(style);
    MainMenu1.SetWindow(Handle());
    HelpContext = 8;

    Memo1 = std::make_unique<fw::TMemo>(Handle(), fw::TMemo::Style{});
    MemoSearch1 = std::make_unique<TMemoSearch>();
    MemoSearch1->SetMemo(Memo1.get());
    MemoSearch1->ReplaceKey = 0;
    MemoSearch1->Options = bj::frDown | bj::frFindNext;
    MemoSearch1->PromptReplace = true;
    MemoSearch1->ShowReplaceCount = true;
    MemoSearch1->SetHelpContext(2);
    AddControl(Memo1.get());
    SetClientControl(Memo1.get());
    RECT client;
    GetClientRect(Handle(), &client);
    MoveWindow(Memo1->Handle(), 0, 0, client.right, client.bottom, FALSE);

    ScaleToDpiProc(fw::WindowDpi(Handle()));
    CreateTrayIcon();
    HelpRouter1 = std::make_unique<THelpRouter>(this);
    HelpRouter1->OnHelp = [this](unsigned command, std::uintptr_t data, bool& callHelp) {
        return HelpRouter1Help(command, data, callHelp);
    };
    TimerClipboardChange.SetEnabled(true);
    LoadPersistedData();

    if (!fw::Application.MainForm()) fw::Application.SetMainForm(this);
    BindHandlers();
    FormCreate();
}

TFormMain::~TFormMain() {
    if (fw::Application.MainForm() == this) fw::Application.SetMainForm(nullptr);
    TrayIcon1.reset();
    MemoSearch1.reset();
    HelpRouter1.reset();
    if (FormMain == this) FormMain = nullptr;
}

void TFormMain::BuildMenus() {
    for (fw::TMenuItem* item :
         {&MenuSave, &MenuClearMemo, &MenuClearClipboard, &MenuHide, &MenuHelp})
        MainMenu1Items.Add(*item);
    MenuHelp.Add(MenuHelpTopics);
    MenuHelp.Add(N1);
    MenuHelp.Add(MenuAbout);
    MenuSave.Hint = "Click to save";
    MenuClearMemo.Hint = "Click to clear";

    for (fw::TMenuItem* item : {&PopUpShowBriskjot,
                                &N2,
                                &PopUpFindReplace,
                                &PopUpPrint,
                                &PopUpSeparator1,
                                &PopUpStartWithWindows,
                                &PopUpShowOnStartUp,
                                &PopUpWarningOnClearMemo,
                                &PopUpWarningOnClearClipboard,
                                &PopUpSeparator4,
                                &PopUpAutoSave,
                                &PopUpSeparator3,
                                &PopUpDefaultSizePosition,
                                &PopUpHelp_Options,
                                &PopUpDonate,
                                &PopUpHomeSite,
                                &PopUpAbout,
                                &N3,
                                &PopUpClearClipboard,
                                &PopUpSeparator2,
                                &PopUpExit})
        PopupMenu1Items.Add(*item);
    PopUpShowBriskjot.SetDefault(true);
    PopUpSeparator1.SetVisible(false);
    PopUpWarningOnClearMemo.SetChecked(true);
    PopUpWarningOnClearClipboard.SetChecked(true);
    PopUpAutoSave.SetChecked(true);

    const std::pair<fw::TMenuItem*, int> images[] = {
        {&PopUpShowBriskjot, kSavedNote},
        {&PopUpFindReplace, 10},
        {&PopUpPrint, 9},
        {&PopUpHelp_Options, 5},
        {&PopUpDefaultSizePosition, 7},
        {&PopUpDonate, 12},
        {&PopUpHomeSite, 6},
        {&PopUpAbout, 0},
        {&PopUpClearClipboard, 3},
        {&PopUpExit, 4},
    };
    for (const auto& [item, index] : images) item->SetImageIndex(index);
}

void TFormMain::CreateTrayIcon() {
    TrayIcon1 = std::make_unique<TTrayIcon>(this, "TrayIcon1");
    TrayIcon1->SetHint(kCaption);
    TrayIcon1->SetImageList(&ImageListTray);
    TrayIcon1->MinimizeToTray = true;
    TrayIcon1->MinimizeOnStart = true;
    TrayIcon1->SetPopupMenu(&PopupMenu1);
    TrayIcon1->OnClick = [this] { TrayIcon1Click(); };
    TrayIcon1->OnDblClick = [this] { PopUpDefaultSizePositionClick(); };
    // Puts the icon in the notification area and keeps the loop from showing this window.
    TrayIcon1->Loaded();
}

void TFormMain::BindHandlers() {
    OnShow = [this] { FormShow(); };
    OnHide = [this] { FormHide(); };
    OnActivate = [this] { FormActivate(); };
    OnClose = [this] { FormClose(); };
    OnHotKey = [this] { HotKey1Press(); };
    OnDisplayChange = [this] { KeepOnScreenProc(); };
    OnDpiChanged = [this](int dpi) { ScaleToDpiProc(dpi); };
    Memo1->OnChange = [this] { Memo1Change(); };
    Memo1->OnKeyDown = [this](WORD& key, unsigned shift) { Memo1KeyDown(key, shift); };

    MenuSave.OnClick = [this] { MenuSaveClick(); };
    MenuClearMemo.OnClick = [this] { MenuClearMemoClick(); };
    MenuClearClipboard.OnClick = [this] { MenuClearClipboardClick(); };
    PopUpClearClipboard.OnClick = [this] { PopUpClearClipboardClick(); };
    TimerClipboardChange.OnTimer = [this] { TimerClipboardChangeTimer(); };
    MenuHide.OnClick = [this] { TrayIcon1Click(); };
    PopUpShowBriskjot.OnClick = [this] { TrayIcon1Click(); };
    PopUpAutoSave.OnClick = [this] { PopUpAutoSaveClick(); };
    PopUpStartWithWindows.OnClick = [this] { PopUpStartWithWindowsClick(); };
    PopUpShowOnStartUp.OnClick = [this] { PopUpShowOnStartUpClick(); };
    PopUpWarningOnClearMemo.OnClick = [this] { PopUpWarningOnClearMemoClick(); };
    PopUpWarningOnClearClipboard.OnClick = [this] { PopUpWarningOnClearClipboardClick(); };
    PopUpPrint.OnClick = [this] { PopUpPrintClick(); };
    MenuHelpTopics.OnClick = [this] { PopUpHelp_OptionsClick(); };
    PopUpHelp_Options.OnClick = [this] { PopUpHelp_OptionsClick(); };
    MenuAbout.OnClick = [this] { PopUpAboutClick(); };
    PopUpAbout.OnClick = [this] { PopUpAboutClick(); };
    PopUpHomeSite.OnClick = [this] { PopUpHomeSiteClick(); };
    PopUpDonate.OnClick = [this] { PopUpDonateClick(); };
    PopUpFindReplace.OnClick = [this] { PopUpFindReplaceClick(); };
    PopUpDefaultSizePosition.OnClick = [this] { PopUpDefaultSizePositionClick(); };
    PopUpExit.OnClick = [this] { PopUpExitClick(); };
}

bool TFormMain::WindowHidden() const {
    return PopUpShowBriskjot.Caption() == kShowCaption;
}
