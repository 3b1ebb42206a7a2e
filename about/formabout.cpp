#include "about/formabout.h"

#include "app/formmain.h"
#include "app/forms.h"
#include "framework/application.h"

TFormAbout* FormAbout = nullptr;

TFormAbout::TFormAbout() {
    FormAbout = this;
    fw::TForm::Style style;
    style.caption = "About " + fw::Application.Title;
    style.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    style.exStyle = WS_EX_DLGMODALFRAME;
    style.clientWidth = 472;
    style.clientHeight = 283;
    CreateForm(style);
    HelpContext = 2;
    FormCreate();
}

TFormAbout::~TFormAbout() {
    if (FormAbout == this) FormAbout = nullptr;
}

void TFormAbout::FormCreate() {
    FormMain->LoadOptionsProc();
    if (FormMain->PopUpShowOnStartUp.Checked()) FormMain->Show();
}
