// The about box and the web links, from the main window's menus.
#include "app/formmain.h"

// Filled in with the about box: until then the commands do nothing.
void TFormMain::PopUpAboutClick() {}
void TFormMain::PopUpHomeSiteClick() {}
void TFormMain::PopUpDonateClick() {}
