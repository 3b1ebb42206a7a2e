#pragma once
// The plain controls of the about box: labels, pictures, push buttons and the
// read-only text field, each a child window the form passes its notifications to.

#include <windows.h>

#include <functional>
#include <string>

#include "framework/control.h"
#include "framework/unique.h"
#include "framework/window.h"

namespace about {

struct TFontLook {
    int height = -11;  // LOGFONT height: negative is the character height in pixels
    bool bold = false;
    bool underline = false;
};

// Creates "MS Sans Serif" at the given height and weight; the caller owns it.
HFONT CreateDialogFont(const TFontLook& look);

// Static text; only a word-wrapped label breaks its text into lines. A label is sized by
// FitText, from its text.
class TAboutLabel : public fw::TControl {
public:
    TAboutLabel(HWND parent, int left, int top, int width, int height, const std::string& caption,
                const TFontLook& font, COLORREF color = RGB(0, 0, 0), bool wordWrap = false);
    ~TAboutLabel() override;

    HWND Handle() const override { return handle_; }
    std::string Caption() const;
    void SetCaption(const std::string& caption);
    HBRUSH ParentColor(HDC dc) override;

    // The label's rectangle in its parent's client coordinates.
    RECT Place() const;
    // Keeps its size where its text, measured in its own font, fits; grows where it does not
    // (wider for one line, taller for a word-wrapped one), up to maxRight and maxBottom.
    void FitText(int maxRight, int maxBottom);

private:
    HWND handle_ = nullptr;
    fw::UniqueGdiObject font_;
    COLORREF color_;
    bool wordWrap_;
};

// A picture drawn by itself: an icon at its own size, or a bitmap fitted to the
// control with one colour of its palette showing the face colour behind it.
class TAboutPicture : public fw::TControl, public fw::TPaintedWindow {
public:
    TAboutPicture(HWND parent, int left, int top, int width, int height);
    ~TAboutPicture() override;

    HWND Handle() const override { return fw::TWindow::Handle(); }
    bool LoadIcon(const char* name);
    bool LoadBitmap(const char* name, COLORREF transparent);

private:
    void Paint(HDC dc) override;
    fw::UniqueHIcon icon_;
    fw::UniqueGdiObject bitmap_;
};

// A push button; a flat one draws without the raised edge until pointed at.
class TAboutButton : public fw::TControl {
public:
    TAboutButton(HWND parent, int left, int top, int width, int height, const std::string& caption,
                 bool flat, bool tabStop);
    ~TAboutButton() override;

    HWND Handle() const override { return handle_; }
    // A tool tip shown while the mouse rests on the button.
    void SetHint(const std::string& hint);
    void ParentNotify(UINT code) override;

    std::function<void()> OnClick;

private:
    HWND handle_ = nullptr;
    HWND toolTip_ = nullptr;
    std::string hint_;
    fw::UniqueGdiObject font_;
};

// A multi-line, read-only text field with a vertical scroll bar.
class TAboutField : public fw::TControl {
public:
    TAboutField(HWND parent, int left, int top, int width, int height, int background);
    ~TAboutField() override;

    HWND Handle() const override { return handle_; }
    std::string Text() const;
    void SetText(const std::string& text);
    HBRUSH ParentColor(HDC dc) override;

private:
    HWND handle_ = nullptr;
    fw::UniqueGdiObject font_;
    fw::UniqueGdiObject brush_;
    COLORREF background_;
};

}  // namespace about
