#include "about/formabout.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "framework/application.h"
#include "framework/barrier.h"
#include "framework/display.h"
#include "framework/shell.h"
#include "framework/visualstyles.h"

TFormAbout* FormAbout = nullptr;

namespace {

constexpr char kAboutCaption[] = "About ";
constexpr char kProductLine[] = "Autosaving notepad for Windows 9x/Me/NT4/XP/Vista/7-10";
constexpr char kVersionPrefix[] = "Version: ";
constexpr char kCopyright1[] = "Copyright \xA9 2004-2026 Lumen Workshop.";
constexpr char kCopyright2[] = "All rights reserved.";
constexpr char kF1ForHelp[] = "F1 for Help";
constexpr char kOkCaption[] = "&OK";
constexpr char kOkHint[] = "Close";
constexpr char kFreeware[] = "This program is freeware.";
constexpr char kDonation[] =
    "If you like this program and find it useful, please consider making a donation to support "
    "its development and to sustain its improvement. Find details in the program's Help file.";
constexpr char kClickToGoTo[] = "Click to go to";
constexpr char kLinkCaption[] = "Lumen Workshop Web Site";
constexpr char kLinkHint[] = "Click to connect to Lumen Workshop Web Site";

constexpr char kDescription[] =
    "BriskJot is a small notepad that waits in the notification area of the taskbar. Its "
    "window stays on top of the others just above the tray, so a phone number, an address or a "
    "passing thought is written down in a moment, and with AutoSave every note is kept as you "
    "type, without ever giving a save command.";
constexpr char kIsFreeware[] = " is freeware.";
constexpr char kDisclaimer[] =
    "DISCLAIMER: This program (hereinafter referred to as the \"SOFTWARE\"), is provided \"as "
    "is\" and without warranty of any kind, either express or implied. In no event shall Lumen "
    "Workshop or anyone else who has been involved in the creation or delivery of the SOFTWARE "
    "be liable for any damages whatsoever arising out of the use of or inability to use the "
    "SOFTWARE.";
constexpr char kParagraphBreak[] = "\r\n\r\n";

constexpr char kWebConnectText[] =
    "To connect to Lumen Workshop Web Site you need to have an active Internet connection. The "
    "program will load your default web browser automatically. Do you wish to continue?";
constexpr char kWebConnectSubject[] = "Web Connect Query";
constexpr char kBrowserErrorText[] =
    "Error opening web browser - check that your browser has been properly installed and "
    "configured.";
constexpr char kBrowserErrorSubject[] = "Error Opening Web Browser";

constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kTransparentArt = RGB(255, 0, 255);
constexpr int kClientWidth = 472;
constexpr int kClientHeight = 283;
// The places of the box in Windows' own font; PlaceControls adjusts them to the texts.
constexpr RECT kArtwork{352, 7, 352 + 118, 7 + 105};
constexpr RECT kOkButton{291, 80, 291 + 180, 80 + 28};
constexpr RECT kField{0, 113, 473, 113 + 72};
constexpr RECT kDonationPlace{10, 196, 10 + 453, 196 + 39};
constexpr int kTextColumn = 53;  // the labels beside the icon
constexpr int kLinkLeft = 80;
constexpr int kTextGap = 4;  // between a text and what stands beside it
// Far outside the form: never seen, only there to hold the focus.
constexpr int kOffFormLeft = -31072;

// Gives the commands back on every way out of the web link, a failure included.
class TWebLinkScope {
public:
    explicit TWebLinkScope(TAboutOwner& owner) : owner_(owner) { owner_.WebLinkOpening(true); }
    ~TWebLinkScope() { owner_.WebLinkOpening(false); }
    TWebLinkScope(const TWebLinkScope&) = delete;
    TWebLinkScope& operator=(const TWebLinkScope&) = delete;

private:
    TAboutOwner& owner_;
};

}  // namespace

TFormAbout::TFormAbout(TAboutOwner& owner) : owner_(owner) {
    FormAbout = this;
    fw::TForm::Style style;
    style.caption = kAboutCaption + fw::Application.Title;
    style.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    // Topmost like the main window, or the box would open behind it.
    style.exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;
    style.clientWidth = kClientWidth;
    style.clientHeight = kClientHeight;
    CreateForm(style);
    HelpContext = 2;
    OnClose = [this] { EndModal(); };
    FormCreate();
}

TFormAbout::~TFormAbout() {
    if (FormAbout == this) FormAbout = nullptr;
    EndModal();
    keyHooks_.clear();
    // The windows go before the control objects, so no message finds one half-destroyed.
    DestroyHandle();
}

// On the first showing, not at start: most runs never open the box, and its controls cost a
// noticeable part of the start-up.
void TFormAbout::CreateControls() {
    if (ImageIcon) return;
    const fw::TVisualStyles styles;
    const HWND form = Handle();
    const about::TFontLook plain;
    const about::TFontLook bold{-11, true, false};

    ImageIcon = std::make_unique<about::TAboutPicture>(form, 10, 10, 32, 32);
    ImageIcon->LoadIcon("MAINICON");
    Label1 = std::make_unique<about::TAboutLabel>(form, 53, 10, 0, 0, fw::Application.Title, bold);
    Label2 = std::make_unique<about::TAboutLabel>(form, 53, 24, 290, 15, kProductLine,
                                                  about::TFontLook{-12, false, false});
    // The version now, so the layout below measures the line as it will read.
    Label3 = std::make_unique<about::TAboutLabel>(
        form, 53, 38, 290, 13, kVersionPrefix + ProgVersion1.FourDigitVersion(), plain);
    Label4 = std::make_unique<about::TAboutLabel>(form, 53, 52, 0, 0, kCopyright1, plain);
    Label5 = std::make_unique<about::TAboutLabel>(form, 53, 66, 0, 0, kCopyright2, plain);
    LabelF1 = std::make_unique<about::TAboutLabel>(form, 12, 52, 30, 26, kF1ForHelp, plain,
                                                   RGB(0, 0, 0), true);
    EnableWindow(LabelF1->Handle(), FALSE);
    ImageArtwork = std::make_unique<about::TAboutPicture>(form, kArtwork.left, kArtwork.top, 0, 0);
    ImageArtwork->LoadBitmap("ABOUTART", kTransparentArt);
    SpeedButtonOK = std::make_unique<about::TAboutButton>(form, kOkButton.left, kOkButton.top, 0, 0,
                                                          kOkCaption, true, false);
    SpeedButtonOK->SetHint(kOkHint);
    SpeedButtonOK->OnClick = [this] { SpeedButtonOKClick(); };
    Label6 = std::make_unique<about::TAboutLabel>(form, 53, 88, 0, 0, kFreeware, bold, kNavy);
    Memo1 = std::make_unique<about::TAboutField>(form, kField.left, kField.top, 0, 0, COLOR_INFOBK);
    Label7 = std::make_unique<about::TAboutLabel>(form, kDonationPlace.left, kDonationPlace.top, 0,
                                                  0, kDonation, bold, kNavy, true);
    Label8 = std::make_unique<about::TAboutLabel>(form, 10, 253, 0, 0, kClickToGoTo, plain);

    URLLabel1 = std::make_unique<links::TURLLabel>(form, 80, 253, kLinkCaption);
    URLLabel1->SetLabelType(links::hmCUSTOM);
    URLLabel1->SetAllowDown(true);
    links::TLabelFont linkFont;
    linkFont.Height = -12;
    linkFont.Color = links::TURLLabel::kDefaultColStd;
    linkFont.Style = links::fsBold | links::fsUnderline;
    // After the type: the type alone would have made the link plain.
    URLLabel1->SetFont(linkFont);
    URLLabel1->SetHint(kLinkHint);
    URLLabel1->OnClick = [this] { URLLabel1Click(); };

    ButtonFocus = std::make_unique<about::TAboutButton>(form, kOffFormLeft, 72, 75, 17,
                                                        "ButtonFocus", false, true);

    for (fw::TControl* control :
         {static_cast<fw::TControl*>(ImageIcon.get()), static_cast<fw::TControl*>(Label1.get()),
          static_cast<fw::TControl*>(Label2.get()), static_cast<fw::TControl*>(Label3.get()),
          static_cast<fw::TControl*>(Label4.get()), static_cast<fw::TControl*>(Label5.get()),
          static_cast<fw::TControl*>(LabelF1.get()), static_cast<fw::TControl*>(ImageArtwork.get()),
          static_cast<fw::TControl*>(SpeedButtonOK.get()), static_cast<fw::TControl*>(Label6.get()),
          static_cast<fw::TControl*>(Memo1.get()), static_cast<fw::TControl*>(Label7.get()),
          static_cast<fw::TControl*>(Label8.get()), static_cast<fw::TControl*>(URLLabel1.get()),
          static_cast<fw::TControl*>(ButtonFocus.get())})
        AddControl(control);
    for (HWND control : {Memo1->Handle(), SpeedButtonOK->Handle(), ButtonFocus->Handle()})
        PreviewKeys(control);

    Memo1->SetText(kDescription + std::string(kParagraphBreak) + fw::Application.Title +
                   kIsFreeware + kParagraphBreak + kDisclaimer);
    PlaceControls();
    ScaleToMonitor();
}

// The table's places hold the texts in Windows' own font. In another (Wine's, say) a label
// grows to its text, and the box widens rather than cut one: the pictures and the OK button
// move right, the field and the donation text widen with it.
void TFormAbout::PlaceControls() {
    int widen = 0;
    for (const auto& [label, neighbour] : {std::pair{Label1.get(), kArtwork.left},
                                           {Label2.get(), kArtwork.left},
                                           {Label3.get(), kArtwork.left},
                                           {Label4.get(), kArtwork.left},
                                           {Label5.get(), kArtwork.left},
                                           {Label6.get(), kOkButton.left}}) {
        label->FitText(INT_MAX, kClientHeight);
        widen = std::max(widen, static_cast<int>(label->Place().right + kTextGap - neighbour));
    }
    auto place = [widen](HWND control, const RECT& at, bool moves) {
        SetWindowPos(control, nullptr, at.left + (moves ? widen : 0), at.top,
                     at.right - at.left + (moves ? 0 : widen), at.bottom - at.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(ImageArtwork->Handle(), kArtwork, true);
    place(SpeedButtonOK->Handle(), kOkButton, true);
    place(Memo1->Handle(), kField, false);
    place(Label7->Handle(), kDonationPlace, false);

    // F1 wraps in its narrow column, down to the field; the donation text down to the link.
    LabelF1->FitText(kTextColumn - kTextGap, kField.top);
    const RECT link = Label8->Place();
    Label7->FitText(kClientWidth + widen, link.top);
    Label8->FitText(INT_MAX, kClientHeight);
    URLLabel1->SetPosition(std::max(kLinkLeft, static_cast<int>(Label8->Place().right) + kTextGap),
                           link.top);

    RECT client{};
    GetClientRect(Handle(), &client);
    if (client.right != kClientWidth + widen) {
        SetWidth(Width() + kClientWidth + widen - client.right);
        CenterOnScreen();
    }
}

void TFormAbout::ScaleToMonitor() {
    const int dpi = fw::WindowDpi(Handle());
    if (dpi == fw::kStandardDpi) return;
    scaledFonts_ = fw::ScaleLayout(Handle(), dpi);
    // Drawn anew for the sizes they now have; the link keeps a font of its own.
    ImageIcon->LoadIcon("MAINICON");
    links::TLabelFont linkFont = URLLabel1->Font();
    linkFont.Height = fw::ScaleToDpi(linkFont.Height, dpi);
    URLLabel1->SetFont(linkFont);
    CenterOnScreen();
}

void TFormAbout::FormCreate() {
    owner_.AboutBoxCreated();
}

void TFormAbout::LoadAboutBoxProc() {
    CreateControls();
    Label3->SetCaption(kVersionPrefix + ProgVersion1.FourDigitVersion());
}

void TFormAbout::SpeedButtonOKClick() {
    Close();
}

void TFormAbout::FormKeyPress(char& key) {
    if (key == VK_ESCAPE) {
        key = 0;
        Close();
    }
}

void TFormAbout::Memo1Enter() {
    SetFocus(ButtonFocus->Handle());
}

void TFormAbout::URLLabel1Click() {
    TWebLinkScope scope(owner_);
    // ShellExecuteA returns more than 32 on success; 32 itself is one of its errors.
    INT_PTR browserResult = 33;
    const int answer =
        fw::Application.MessageBox(kWebConnectText, kWebConnectSubject, MB_YESNO | MB_ICONQUESTION);
    if (answer != IDNO) {
        HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
        browserResult = fw::ShellExecute(Handle(), "", kHomeSiteUrl, SW_SHOWNORMAL);
        SetCursor(previous ? previous : LoadCursor(nullptr, IDC_ARROW));
        Close();
    }
    if (browserResult <= 32)
        fw::Application.MessageBox(kBrowserErrorText, kBrowserErrorSubject,
                                   MB_OK | MB_ICONEXCLAMATION);
}

void TFormAbout::ShowModal() {
    if (modal_) return;
    HWND owner = owner_.OwnerWindow();
    HWND previous = GetActiveWindow();
    CenterOnScreen();
    modal_ = true;
    if (owner && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        disabledOwner_ = owner;
    }
    Show();
    SetForegroundWindow(Handle());
    // Close() clears modal_ and hides the box, from whatever handler runs it.
    MSG msg;
    while (modal_ && Visible() && !fw::Application.Terminated()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            PostQuitMessage(got == 0 ? static_cast<int>(msg.wParam) : 0);  // for the main loop
            break;
        }
        HWND dialog = fw::Application.ModelessDialog();
        if (dialog && IsWindow(dialog) && IsDialogMessageW(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    EndModal();
    if (Visible()) Hide();
    if (previous && previous != Handle() && IsWindow(previous) && IsWindowVisible(previous) &&
        IsWindowEnabled(previous))
        SetActiveWindow(previous);
}

void TFormAbout::EndModal() {
    modal_ = false;
    // Enabled before the box hides, so Windows gives the activation back to our window.
    if (disabledOwner_) {
        if (IsWindow(disabledOwner_)) EnableWindow(disabledOwner_, TRUE);
        disabledOwner_ = nullptr;
    }
    // Wakes a modal loop that waits for its next message.
    if (Handle()) PostMessageA(Handle(), WM_NULL, 0, 0);
}

void TFormAbout::CenterOnScreen() {
    const RECT bounds = Bounds();
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFormAbout::PreviewKeys(HWND control) {
    const std::size_t index = keyHooks_.size();
    keyHooks_.push_back(std::make_unique<fw::TSubclass>(
        control, [this, index](UINT msg, WPARAM wParam, LPARAM lParam) {
            return ControlMessage(*keyHooks_[index], msg, wParam, lParam);
        }));
}

LRESULT TFormAbout::ControlMessage(fw::TSubclass& hook, UINT msg, WPARAM wParam, LPARAM lParam) {
    const bool inMemo = Memo1 && hook.Handle() == Memo1->Handle();
    switch (msg) {
        case WM_CHAR: {
            char key = static_cast<char>(wParam);
            FormKeyPress(key);
            if (key == 0) return 0;
            break;
        }
        case WM_SETFOCUS:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // The field is only read: no caret, no selection; its scroll bar still works.
            if (inMemo) {
                Memo1Enter();
                return 0;
            }
            break;
        case WM_CONTEXTMENU:
            // Its context menu is an empty one, so nothing shows.
            if (inMemo) return 0;
            break;
        default:
            break;
    }
    return hook.CallNext(msg, wParam, lParam);
}

LRESULT TFormAbout::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_SHOWWINDOW:
            if (wParam) CreateControls();
            break;
        case WM_SETFOCUS:
            if (ButtonFocus) SetFocus(ButtonFocus->Handle());
            return 0;
        case WM_CHAR: {
            char key = static_cast<char>(wParam);
            FormKeyPress(key);
            if (key == 0) return 0;
            break;
        }
        case WM_HELP:
            fw::Application.HelpContext(static_cast<unsigned>(HelpContext));
            return TRUE;
        default:
            break;
    }
    return fw::TForm::WndProc(msg, wParam, lParam);
}
