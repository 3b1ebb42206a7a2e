#include "framework/edittext.h"

#include "base/error.h"

namespace fw {

TEditText::TEditText(HWND edit) {
    const auto length = static_cast<size_t>(GetWindowTextLengthW(edit));
    // An ANSI control would hand out a converted copy, and a single-line one hands out none.
    if (IsWindowUnicode(edit) && (GetWindowLongPtrW(edit, GWL_STYLE) & ES_MULTILINE)) {
        // Wine then counts the buffer as the program's and leaves it when the control goes;
        // the memo goes only at exit.
        buffer_ = reinterpret_cast<HLOCAL>(SendMessageW(edit, EM_GETHANDLE, 0, 0));
        const auto* text = buffer_ ? static_cast<const char16_t*>(LocalLock(buffer_)) : nullptr;
        if (text && LocalSize(buffer_) > length * sizeof(char16_t)) {
            view_ = std::u16string_view(text, length);
            return;
        }
        if (text) LocalUnlock(buffer_);
        buffer_ = nullptr;
    }
    copy_.resize(length + 1);
    const int copied =
        GetWindowTextW(edit, reinterpret_cast<LPWSTR>(copy_.data()), static_cast<int>(length + 1));
    if (copied < static_cast<int>(length)) throw bj::Error("The memo gave back part of its text");
    copy_.resize(length);
    view_ = copy_;
}

TEditText::~TEditText() {
    if (buffer_) LocalUnlock(buffer_);
}

}  // namespace fw
