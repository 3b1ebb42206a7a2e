#pragma once
// A child control of a form: the form passes it the notifications and colour
// requests that Windows sends to the parent.

#include <windows.h>

namespace fw {

class TControl {
public:
    virtual ~TControl() = default;
    virtual HWND Handle() const = 0;
    virtual void ParentNotify(UINT /*code*/) {}
    virtual HBRUSH ParentColor(HDC /*dc*/) { return nullptr; }
    int HelpContext = 0;
};

}  // namespace fw
