#pragma once
// A multi-line Unicode EDIT control: text, selection, change and key-down events.
// Others may subclass it too (the search hot keys); the memo's own handler raises OnKeyDown
// before the control sees the key.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "framework/control.h"
#include "framework/edittext.h"
#include "framework/subclass.h"
#include "framework/unique.h"

namespace fw {

class TMemo : public TControl {
public:
    struct Style {
        const char* fontName = "Fixedsys";  // at 96 DPI
        // Above 96 DPI, with the cell height fontName has at 96 DPI, scaled.
        const char* scalableFontName = "Lucida Console";
        int fontPoints = 9;
        int background = COLOR_INFOBK;  // a system colour index
        bool wordWrap = true;
    };

    TMemo(HWND parent, const Style& style);
    ~TMemo() override;

    // Null once the window has gone with its parent.
    HWND Handle() const override { return subclass_ ? subclass_->Handle() : handle_; }
    std::string Text() const;  // in the ANSI code page
    // The text where the control keeps it: a save on every keystroke then costs no copy.
    TEditText TextView() const { return TEditText(handle_); }
    // False when the control refused the text (no memory for it).
    bool SetText(const std::string& text);  // from the ANSI code page
    bool SetText(const std::u16string& text);
    // Without counting the text, which the timer's ticks and every change would otherwise do.
    bool Empty() const;
    int SelStart() const;
    int SelLength() const;
    void SetSel(int start, int end);
    void SelectAll() { SetSel(0, -1); }
    void ReplaceSel(const std::string& text, bool canUndo);
    void ClearSelection();
    void EmptyUndoBuffer();
    void SetFocus() { ::SetFocus(handle_); }
    // Takes the font for the DPI of the monitor the memo is on.
    void SetDpi(int dpi);

    std::function<void()> OnChange;
    std::function<void(WORD& key, unsigned shift)> OnKeyDown;

    void ParentNotify(UINT code) override;
    HBRUSH ParentColor(HDC dc) override;

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
    std::unique_ptr<TSubclass> subclass_;
    Style style_;
    int dpi_;
    COLORREF background_;
    UniqueGdiObject brush_;
    UniqueGdiObject font_;
};

}  // namespace fw
