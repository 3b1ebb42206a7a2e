#pragma once
// The about box. Created hidden at start; its creation loads the settings and
// gives the main window its first showing.

#include "framework/form.h"

class TFormAbout : public fw::TForm {
public:
    TFormAbout();
    ~TFormAbout() override;
    void FormCreate();
};
