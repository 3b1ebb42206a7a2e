// The about box and the web links, from the main window's menus.
#include "app/formmain.h"
#include "app/forms.h"
#include "framework/application.h"

namespace {
constexpr unsigned kDonateHelpNumber = 1;
}

void TFormMain::PopUpAboutClick() {
    if (!FormAbout || FormAbout->Modal()) return;
    PopUpShowBriskjot.SetEnabled(false);
    PopUpAbout.SetEnabled(false);
    // Enabled again however the box ends, the program's end included.
    struct Restore {
        TFormMain& form;
        ~Restore() {
            form.PopUpShowBriskjot.SetEnabled(true);
            form.PopUpAbout.SetEnabled(true);
        }
    } restore{*this};
    FormAbout->LoadAboutBoxProc();
    FormAbout->ShowModal();
}

void TFormMain::PopUpHomeSiteClick() {
    if (FormAbout) FormAbout->URLLabel1Click();
}

void TFormMain::PopUpDonateClick() {
    if (FormAbout) FormAbout->Close();
    EnsureHelpFile();
    fw::Application.HelpContext(kDonateHelpNumber);
}

void TFormMain::AboutBoxCreated() {
    LoadOptionsProc();
    if (PopUpShowOnStartUp.Checked()) Show();
}

void TFormMain::WebLinkOpening(bool opening) {
    SetGuardedItemsEnabled(!opening);
    if (!opening) return FollowMemoText();
    CloseOwnFindDialog();
    PopUpFindReplace.SetEnabled(false);
    MemoSearch1->SearchKey = 0;
}
