#pragma once
// The text of an edit control read where the control keeps it: a multi-line Unicode control
// lends its own buffer, so a large text is neither copied nor converted. Any other control
// gives a copy.

#include <windows.h>

#include <string>
#include <string_view>

namespace fw {

class TEditText {
public:
    explicit TEditText(HWND edit);
    ~TEditText();
    TEditText(const TEditText&) = delete;
    TEditText& operator=(const TEditText&) = delete;

    // Valid while this lives; nothing may change the control meanwhile.
    std::u16string_view View() const { return view_; }

private:
    HLOCAL buffer_ = nullptr;  // locked while this lives
    std::u16string copy_;
    std::u16string_view view_;
};

}  // namespace fw
