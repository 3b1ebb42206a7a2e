#pragma once
// A hyperlink label: coloured, underlined text with the hand cursor that
// looks pressed while the left button is down on it and raises OnClick.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "components/links/urladdress.h"
#include "framework/control.h"
#include "framework/unique.h"
#include "framework/window.h"

namespace links {

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct TLabelFont {
    std::string Name = "MS Sans Serif";
    int Height = -11;  // pixels; negative is the character height as in LOGFONT
    COLORREF Color = RGB(0, 0, 0);
    unsigned Style = 0;  // TFontStyle bits

    bool operator==(const TLabelFont& other) const {
        return Name == other.Name && Height == other.Height && Color == other.Color &&
               Style == other.Style;
    }
    bool operator!=(const TLabelFont& other) const { return !(*this == other); }
};

// The application's hand-point cursor: the executable's "URLHAND" cursor once
// a label has been made (the system hand if the resource is missing).
HCURSOR HandPointCursor();

class TURLLabel : public fw::TControl, public fw::TPaintedWindow {
public:
    static constexpr COLORREF kDefaultColStd = RGB(0, 0, 255);
    static constexpr COLORREF kDefaultColPre = RGB(128, 0, 128);

    // A child of parent at left, top (client coordinates), sized to its text.
    TURLLabel(HWND parent, int left, int top, const std::string& caption);
    ~TURLLabel() override;

    HWND Handle() const override { return fw::TWindow::Handle(); }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetPosition(int left, int top);

    const TLabelFont& Font() const { return font_; }
    // The new font's colour becomes URLColStd.
    void SetFont(const TLabelFont& font);

    TLabelType LabelType() const { return labelType_; }
    void SetLabelType(TLabelType type);
    COLORREF URLColStd() const { return colStd_; }
    void SetURLColStd(COLORREF color);
    COLORREF URLColPre() const { return colPre_; }
    void SetURLColPre(COLORREF color) { colPre_ = color; }
    bool AllowDown() const { return allowDown_; }
    void SetAllowDown(bool allow) { allowDown_ = allow; }
    bool Effect98() const { return effect98_; }
    void SetEffect98(bool on);

    HCURSOR Cursor() const { return cursor_; }
    const std::string& Hint() const { return hint_; }
    // A tool tip shown while the mouse rests on the label; "" for none.
    void SetHint(const std::string& hint);

    std::function<void()> OnClick;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Raises OnClick, then opens the caption's address unless the type is hmCUSTOM.
    virtual void Click();

private:
    void ButtonDown(bool armClick);
    void ButtonUp(bool left, POINT at);
    void Restore(bool left);
    void MouseEnter();
    void MouseLeave();
    void ApplyFont(const TLabelFont& font);
    void SetStyle(unsigned style);
    void SetColor(COLORREF color);
    void AutoSize();
    void MoveBy(int dy);
    void Paint(HDC dc) override;

    std::string caption_;
    int left_;
    int top_;
    int width_ = 0;
    int height_ = 0;
    TLabelFont font_;
    fw::UniqueGdiObject fontHandle_;
    TLabelType labelType_ = hmHTTP;
    COLORREF colStd_ = kDefaultColStd;
    COLORREF colPre_ = kDefaultColPre;
    bool allowDown_ = false;
    bool effect98_ = false;
    HCURSOR cursor_ = nullptr;
    std::string hint_;
    HWND toolTip_ = nullptr;

    bool clickArmed_ = false;  // a left press began on the label
    bool lowered_ = false;     // moved down by the press, owed a move back
    bool releasing_ = false;   // our own ReleaseCapture is running
    bool hovering_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace links
