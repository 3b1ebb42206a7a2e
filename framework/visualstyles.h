#pragma once
// The themed (version 6) common controls for the windows made while a TVisualStyles lives:
// dialogs and message boxes. The process runs without them, so its memo is the plain edit
// control and no start loads the controls library; the first dialog does.

#include <windows.h>

namespace fw {

class TVisualStyles {
public:
    TVisualStyles();
    ~TVisualStyles();
    TVisualStyles(const TVisualStyles&) = delete;
    TVisualStyles& operator=(const TVisualStyles&) = delete;

private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

}  // namespace fw
