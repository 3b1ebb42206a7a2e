#include "about/aboutcontrols.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "base/error.h"
#include "framework/application.h"
#include "framework/packedbitmap.h"
#include "framework/tooltip.h"

namespace about {
namespace {

constexpr char kPictureClass[] = "BriskJotPicture";
constexpr char kFontName[] = "MS Sans Serif";

HWND CreateChild(const char* className, const std::string& text, DWORD style, DWORD exStyle,
                 int left, int top, int width, int height, HWND parent) {
    HWND hwnd =
        CreateWindowExA(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, left, top,
                        width, height, parent, nullptr, fw::Application.Instance(), nullptr);
    if (!hwnd) throw bj::Error("Cannot create a control of the about box");
    return hwnd;
}

std::string WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(hwnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

// The room text needs in the font: one line, or lines broken at width as a static control
// breaks them.
SIZE TextExtent(HWND hwnd, HFONT font, const std::string& text, bool wordWrap, int width) {
    SIZE size{0, 0};
    HDC dc = GetDC(hwnd);
    if (!dc) return size;
    HGDIOBJ old = SelectObject(dc, font);
    RECT rect{0, 0, wordWrap ? width : 0, 0};
    DrawTextA(
        dc, text.c_str(), static_cast<int>(text.size()), &rect,
        DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | (wordWrap ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    size.cx = rect.right - rect.left;
    size.cy = rect.bottom - rect.top;
    return size;
}

}  // namespace

HFONT CreateDialogFont(const TFontLook& look) {
    LOGFONTA logFont{};
    logFont.lfHeight = look.height;
    logFont.lfWeight = look.bold ? FW_BOLD : FW_NORMAL;
    logFont.lfUnderline = look.underline ? TRUE : FALSE;
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
    logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    logFont.lfQuality = DEFAULT_QUALITY;
    logFont.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynA(logFont.lfFaceName, kFontName, LF_FACESIZE);
    return CreateFontIndirectA(&logFont);
}

TAboutLabel::TAboutLabel(HWND parent, int left, int top, int width, int height,
                         const std::string& caption, const TFontLook& font, COLORREF color,
                         bool wordWrap)
    : font_(CreateDialogFont(font)), color_(color), wordWrap_(wordWrap) {
    handle_ = CreateChild("STATIC", caption, SS_NOPREFIX | (wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP),
                          0, left, top, width, height, parent);
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
}

RECT TAboutLabel::Place() const {
    RECT place{};
    GetWindowRect(handle_, &place);
    MapWindowPoints(nullptr, GetParent(handle_), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

void TAboutLabel::FitText(int maxRight, int maxBottom) {
    const RECT place = Place();
    // The font the control really draws with, whoever set it.
    auto font = reinterpret_cast<HFONT>(SendMessageA(handle_, WM_GETFONT, 0, 0));
    const SIZE text = TextExtent(handle_, font, Caption(), wordWrap_, place.right - place.left);
    const LONG width = std::min(std::max(place.right - place.left, text.cx), maxRight - place.left);
    const LONG height =
        std::min(std::max(place.bottom - place.top, text.cy), maxBottom - place.top);
    SetWindowPos(handle_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TAboutLabel::~TAboutLabel() {
    if (handle_) DestroyWindow(handle_);
}

std::string TAboutLabel::Caption() const {
    return WindowText(handle_);
}

void TAboutLabel::SetCaption(const std::string& caption) {
    SetWindowTextA(handle_, caption.c_str());
}

HBRUSH TAboutLabel::ParentColor(HDC dc) {
    SetTextColor(dc, color_);
    SetBkMode(dc, TRANSPARENT);
    return GetSysColorBrush(COLOR_BTNFACE);
}

TAboutPicture::TAboutPicture(HWND parent, int left, int top, int width, int height) {
    RegisterWindowClass(kPictureClass, nullptr);
    CreateHandle(0, kPictureClass, "", WS_CHILD | WS_VISIBLE, left, top, width, height, parent,
                 nullptr);
}

// Gone before the pictures it paints.
TAboutPicture::~TAboutPicture() {
    DestroyHandle();
}

bool TAboutPicture::LoadIcon(const char* name) {
    RECT client;
    GetClientRect(Handle(), &client);
    icon_.reset(static_cast<HICON>(
        LoadImageA(fw::Application.Instance(), name, IMAGE_ICON, client.right, client.bottom, 0)));
    InvalidateRect(Handle(), nullptr, TRUE);
    return static_cast<bool>(icon_);
}

bool TAboutPicture::LoadBitmap(const char* name, COLORREF transparent) {
    bitmap_ = fw::LoadPackedBitmap(name);
    if (!bitmap_) return false;
    // A palette picture: its transparent entry takes the face colour, so no mask is needed.
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc) {
        HGDIOBJ old = SelectObject(dc, bitmap_.get());
        std::vector<RGBQUAD> colors(256);
        const UINT count = GetDIBColorTable(dc, 0, 256, colors.data());
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        for (UINT i = 0; i < count; ++i) {
            RGBQUAD& c = colors[i];
            if (RGB(c.rgbRed, c.rgbGreen, c.rgbBlue) == transparent)
                c = RGBQUAD{GetBValue(face), GetGValue(face), GetRValue(face), 0};
        }
        if (count > 0) SetDIBColorTable(dc, 0, count, colors.data());
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    InvalidateRect(Handle(), nullptr, TRUE);
    return true;
}

void TAboutPicture::Paint(HDC dc) {
    RECT client;
    GetClientRect(Handle(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (icon_) DrawIconEx(dc, 0, 0, icon_.get(), 0, 0, 0, nullptr, DI_NORMAL);
    if (!bitmap_) return;
    BITMAP info{};
    GetObjectA(bitmap_.get(), sizeof info, &info);
    HDC source = CreateCompatibleDC(dc);
    if (!source) return;
    HGDIOBJ old = SelectObject(source, bitmap_.get());
    // The whole picture, fitted to the control, rather than a cut-off corner of it.
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, client.right, client.bottom, source, 0, 0, info.bmWidth, info.bmHeight,
               SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

TAboutButton::TAboutButton(HWND parent, int left, int top, int width, int height,
                           const std::string& caption, bool flat, bool tabStop)
    : font_(CreateDialogFont(TFontLook{})) {
    handle_ = CreateChild("BUTTON", caption,
                          BS_PUSHBUTTON | (flat ? BS_FLAT : 0) | (tabStop ? WS_TABSTOP : 0), 0,
                          left, top, width, height, parent);
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
}

TAboutButton::~TAboutButton() {
    if (toolTip_) DestroyWindow(toolTip_);
    if (handle_) DestroyWindow(handle_);
}

void TAboutButton::SetHint(const std::string& hint) {
    hint_ = hint;
    if (!toolTip_) toolTip_ = fw::CreateToolTip(handle_, fw::Application.Instance());
    // Without the tip window the button still works; the hint is only a help.
    if (!toolTip_) return;
    TOOLINFOA tool{};
    // The older record size is understood by every common-controls version.
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(handle_);
    tool.uId = reinterpret_cast<UINT_PTR>(handle_);
    tool.lpszText = hint_.data();
    SendMessageA(toolTip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    if (!hint_.empty()) SendMessageA(toolTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void TAboutButton::ParentNotify(UINT code) {
    if (code == BN_CLICKED && OnClick) OnClick();
}

TAboutField::TAboutField(HWND parent, int left, int top, int width, int height, int background)
    : font_(CreateDialogFont(TFontLook{})), background_(GetSysColor(background)) {
    brush_.reset(CreateSolidBrush(background_));
    // No ES_WANTRETURN: Enter inserts no line break.
    handle_ = CreateChild("EDIT", "", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL,
                          WS_EX_CLIENTEDGE, left, top, width, height, parent);
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
}

TAboutField::~TAboutField() {
    if (handle_) DestroyWindow(handle_);
}

std::string TAboutField::Text() const {
    return WindowText(handle_);
}

void TAboutField::SetText(const std::string& text) {
    SetWindowTextA(handle_, text.c_str());
}

HBRUSH TAboutField::ParentColor(HDC dc) {
    SetBkColor(dc, background_);
    SetTextColor(dc, RGB(0, 0, 0));
    return static_cast<HBRUSH>(brush_.get());
}

}  // namespace about
