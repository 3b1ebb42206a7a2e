#pragma once
// The about box. Created hidden at start, its controls on its first showing; its
// creation loads the settings and gives the main window its first showing. The
// about commands show it modally.

#include <memory>
#include <string>
#include <vector>

#include "about/aboutcontrols.h"
#include "components/links/progversion.h"
#include "components/links/urllabel.h"
#include "framework/form.h"
#include "framework/subclass.h"

// The calls the about box makes on the main window, which gives itself at the box's creation.
class TAboutOwner {
public:
    // The window the modal box disables while it is up.
    virtual HWND OwnerWindow() const = 0;
    // The box exists: the settings load and the main window gets its first showing.
    virtual void AboutBoxCreated() = 0;
    // While the web link asks and starts the browser, the commands that would leave the program
    // or search the note are off; after, they come back as the note allows.
    virtual void WebLinkOpening(bool opening) = 0;

protected:
    ~TAboutOwner() = default;
};

// The maker's site, opened by the link and by the tray's Home Site.
inline constexpr char kHomeSiteUrl[] = "https://briskjot.example.org/";

class TFormAbout : public fw::TForm {
public:
    explicit TFormAbout(TAboutOwner& owner);
    ~TFormAbout() override;

    std::unique_ptr<about::TAboutPicture> ImageIcon;
    std::unique_ptr<about::TAboutLabel> Label1, Label2, Label3, Label4, Label5, LabelF1;
    std::unique_ptr<about::TAboutPicture> ImageArtwork;
    std::unique_ptr<about::TAboutButton> SpeedButtonOK;
    std::unique_ptr<about::TAboutLabel> Label6;
    std::unique_ptr<about::TAboutField> Memo1;
    std::unique_ptr<about::TAboutLabel> Label7, Label8;
    std::unique_ptr<links::TURLLabel> URLLabel1;
    std::unique_ptr<about::TAboutButton> ButtonFocus;
    TProgVersion ProgVersion1;

    void FormCreate();
    void LoadAboutBoxProc();
    void SpeedButtonOKClick();
    // Sees every character typed in the box before the control that has the focus.
    void FormKeyPress(char& key);
    void Memo1Enter();
    // Asks, then opens the home site in the browser; also the tray's Home Site.
    void URLLabel1Click();

    // Shows the box and returns when it has been closed (or the program ends).
    void ShowModal();
    bool Modal() const { return modal_; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateControls();
    void PlaceControls();
    // The layout above is written for 96 DPI; this scales it for the box's monitor.
    void ScaleToMonitor();
    void PreviewKeys(HWND control);
    void EndModal();
    void CenterOnScreen();
    LRESULT ControlMessage(fw::TSubclass& hook, UINT msg, WPARAM wParam, LPARAM lParam);

    std::vector<std::unique_ptr<fw::TSubclass>> keyHooks_;
    std::vector<fw::UniqueGdiObject> scaledFonts_;
    TAboutOwner& owner_;
    bool modal_ = false;
    HWND disabledOwner_ = nullptr;
};

// The program's about box, while there is one.
extern TFormAbout* FormAbout;
