#include "components/links/urllabel.h"

#include <commctrl.h>
#include <windowsx.h>

#include <memory>

#include "framework/application.h"
#include "framework/classnames.h"
#include "framework/shell.h"
#include "framework/tooltip.h"

namespace links {
namespace {

constexpr char kHandCursorName[] = "URLHAND";
// No prefix processing: an address caption may well hold "&".
constexpr UINT kDrawFlags = DT_LEFT | DT_EXPANDTABS | DT_NOPREFIX;

HCURSOR& HandPoint() {
    static HCURSOR cursor = nullptr;
    return cursor;
}

HINSTANCE ProgramInstance() {
    HINSTANCE instance = fw::Application.Instance();
    return instance ? instance : GetModuleHandleA(nullptr);
}

HCURSOR InstallHandPointCursor() {
    if (!HandPoint()) {
        HandPoint() = LoadCursorA(ProgramInstance(), kHandCursorName);
        // A program built without the resource still shows a hand over its links.
        if (!HandPoint()) HandPoint() = LoadCursor(nullptr, IDC_HAND);
    }
    return HandPoint();
}

bool SameShape(const TLabelFont& a, const TLabelFont& b) {
    return a.Name == b.Name && a.Height == b.Height && a.Style == b.Style;
}

HFONT CreateLabelFont(const TLabelFont& font) {
    LOGFONTA logFont{};
    logFont.lfHeight = font.Height;
    logFont.lfWeight = (font.Style & fsBold) ? FW_BOLD : FW_NORMAL;
    logFont.lfItalic = (font.Style & fsItalic) ? TRUE : FALSE;
    logFont.lfUnderline = (font.Style & fsUnderline) ? TRUE : FALSE;
    logFont.lfStrikeOut = (font.Style & fsStrikeOut) ? TRUE : FALSE;
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
    logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    logFont.lfQuality = DEFAULT_QUALITY;
    logFont.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynA(logFont.lfFaceName, font.Name.c_str(), LF_FACESIZE);
    return CreateFontIndirectA(&logFont);
}

}  // namespace

HCURSOR HandPointCursor() {
    return HandPoint();
}

TURLLabel::TURLLabel(HWND parent, int left, int top, const std::string& caption)
    : caption_(caption), left_(left), top_(top) {
    RegisterWindowClass(fw::classnames::kUrlLabel, nullptr, CS_DBLCLKS);
    CreateHandle(0, fw::classnames::kUrlLabel, caption_.c_str(), WS_CHILD | WS_VISIBLE, left_, top_,
                 0, 0, parent, nullptr);
    cursor_ = InstallHandPointCursor();
    font_.Color = colStd_;
    font_.Style = fsUnderline;
    fontHandle_.reset(CreateLabelFont(font_));
    AutoSize();
}

TURLLabel::~TURLLabel() {
    *alive_ = false;
    if (toolTip_) DestroyWindow(toolTip_);
    // Gone before the font and the rest of this object, so no message finds them half-destroyed.
    DestroyHandle();
}

void TURLLabel::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    SetWindowTextA(Handle(), caption_.c_str());
    AutoSize();
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TURLLabel::SetPosition(int left, int top) {
    left_ = left;
    top_ = top;
    SetWindowPos(Handle(), nullptr, left_, top_, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TURLLabel::SetFont(const TLabelFont& font) {
    colStd_ = font.Color;
    ApplyFont(font);
}

void TURLLabel::SetLabelType(TLabelType type) {
    if (type == labelType_) return;
    labelType_ = type;
    SetStyle(type == hmCUSTOM || effect98_ ? 0u : unsigned(fsUnderline));
}

void TURLLabel::SetURLColStd(COLORREF color) {
    if (color == colStd_) return;
    colStd_ = color;
    SetColor(color);
}

void TURLLabel::SetEffect98(bool on) {
    if (on == effect98_) return;
    effect98_ = on;
    if (on)
        SetStyle(0);
    else if (labelType_ != hmCUSTOM)
        SetStyle(fsUnderline);
}

void TURLLabel::SetHint(const std::string& hint) {
    hint_ = hint;
    if (!toolTip_ && !hint_.empty()) {
        toolTip_ = fw::CreateToolTip(Handle(), ProgramInstance());
        // Without the tip window the label still works; the hint is only a help.
        if (!toolTip_) return;
    }
    if (!toolTip_) return;
    TOOLINFOA tool{};
    // The older record size is understood by every common-controls version.
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(Handle());
    tool.uId = reinterpret_cast<UINT_PTR>(Handle());
    tool.lpszText = hint_.data();
    SendMessageA(toolTip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    if (!hint_.empty()) SendMessageA(toolTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

LRESULT TURLLabel::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ENABLE:
            InvalidateRect(Handle(), nullptr, TRUE);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // Paint fills the background itself, without flicker
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT && cursor_) {
                SetCursor(cursor_);
                return TRUE;
            }
            break;
        case WM_LBUTTONDOWN:
            ButtonDown(true);
            return 0;
        case WM_LBUTTONDBLCLK:
            // The second press of a double click looks pressed but opens nothing twice.
            ButtonDown(false);
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            ButtonUp(msg == WM_LBUTTONUP, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_MOUSEMOVE:
            if (effect98_ && !hovering_) {
                hovering_ = true;
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
                TrackMouseEvent(&track);
                MouseEnter();
            }
            return 0;
        case WM_MOUSELEAVE:
            if (hovering_) {
                hovering_ = false;
                if (effect98_) MouseLeave();
            }
            return 0;
        case WM_CAPTURECHANGED:
            // Capture taken away mid-press (another window, a menu): no button up will come.
            if (!releasing_ && (clickArmed_ || lowered_)) {
                clickArmed_ = false;
                Restore(true);
            }
            return 0;
        default:
            break;
    }
    return fw::TPaintedWindow::WndProc(msg, wParam, lParam);
}

void TURLLabel::ButtonDown(bool armClick) {
    if (GetCapture() != Handle()) SetCapture(Handle());
    clickArmed_ = armClick;
    if (allowDown_ && !lowered_) {
        MoveBy(1);
        lowered_ = true;
    }
    SetColor(colPre_);
}

void TURLLabel::ButtonUp(bool left, POINT at) {
    const bool click = left && clickArmed_;
    if (left) {
        clickArmed_ = false;
        if (GetCapture() == Handle()) {
            releasing_ = true;
            ReleaseCapture();
            releasing_ = false;
        }
    }
    if (click) {
        RECT client;
        GetClientRect(Handle(), &client);
        if (PtInRect(&client, at)) {
            // The handler may close and destroy the label's window for good.
            const std::shared_ptr<bool> alive = alive_;
            Click();
            if (!*alive) return;
        }
    }
    Restore(left);
}

void TURLLabel::Restore(bool left) {
    if (!effect98_) SetColor(colStd_);
    // Back only by the pixel the press took, so the label never drifts.
    if (left && lowered_) {
        MoveBy(-1);
        lowered_ = false;
    }
}

void TURLLabel::Click() {
    const std::shared_ptr<bool> alive = alive_;
    if (OnClick) OnClick();
    if (!*alive || labelType_ == hmCUSTOM) return;
    const std::string address = AddressFor(labelType_, caption_);
    // A label of this kind reports nothing itself: the shell shows its own failures.
    if (!address.empty()) fw::ShellExecute(GetParent(Handle()), "open", address, SW_SHOWNORMAL);
}

void TURLLabel::MouseEnter() {
    SetColor(colPre_);
    if (labelType_ != hmCUSTOM) SetStyle(fsUnderline);
}

void TURLLabel::MouseLeave() {
    SetColor(colStd_);
    if (labelType_ != hmCUSTOM) SetStyle(0);
}

void TURLLabel::SetStyle(unsigned style) {
    TLabelFont font = font_;
    font.Style = style;
    ApplyFont(font);
}

void TURLLabel::SetColor(COLORREF color) {
    TLabelFont font = font_;
    font.Color = color;
    ApplyFont(font);
}

void TURLLabel::ApplyFont(const TLabelFont& font) {
    if (font == font_) return;
    const bool reshape = !SameShape(font, font_);
    font_ = font;
    if (reshape) {
        fontHandle_.reset(CreateLabelFont(font_));
        AutoSize();
    }
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TURLLabel::AutoSize() {
    RECT text{0, 0, 0, 0};
    if (HDC dc = GetDC(Handle())) {
        const HGDIOBJ old =
            SelectObject(dc, fontHandle_ ? fontHandle_.get() : GetStockObject(DEFAULT_GUI_FONT));
        // An empty caption still measures one line, as tall as the font.
        const std::string measured = caption_.empty() ? std::string(" ") : caption_;
        DrawTextA(dc, measured.c_str(), static_cast<int>(measured.size()), &text,
                  kDrawFlags | DT_CALCRECT);
        if (caption_.empty()) text.right = 0;
        SelectObject(dc, old);
        ReleaseDC(Handle(), dc);
    }
    width_ = text.right - text.left;
    height_ = text.bottom - text.top;
    SetWindowPos(Handle(), nullptr, 0, 0, width_, height_,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TURLLabel::MoveBy(int dy) {
    top_ += dy;
    SetWindowPos(Handle(), nullptr, left_, top_, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TURLLabel::Paint(HDC dc) {
    RECT client;
    GetClientRect(Handle(), &client);
    // The parent picks the background, as it does for its static controls.
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(Handle()), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(Handle())));
    if (!brush) brush = GetSysColorBrush(COLOR_BTNFACE);
    FillRect(dc, &client, brush);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, IsWindowEnabled(Handle()) ? font_.Color : GetSysColor(COLOR_GRAYTEXT));
    const HGDIOBJ old =
        SelectObject(dc, fontHandle_ ? fontHandle_.get() : GetStockObject(DEFAULT_GUI_FONT));
    DrawTextA(dc, caption_.c_str(), static_cast<int>(caption_.size()), &client, kDrawFlags);
    SelectObject(dc, old);
}

}  // namespace links
