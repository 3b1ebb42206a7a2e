#include "framework/memo.h"

#include "base/error.h"
#include "framework/application.h"
#include "framework/display.h"
#include "framework/shiftstate.h"

namespace fw {

namespace {

HFONT CreateMemoFont(const char* name, int height) {
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       FIXED_PITCH | FF_MODERN, name);
}

// A bitmap font is crisp only at the one size it was drawn in, so above 96 DPI a scalable font
// takes its place with the same share of the screen: its cell height at 96 DPI, scaled.
HFONT CreateMemoFont(const TMemo::Style& style, int dpi) {
    HFONT font = CreateMemoFont(style.fontName, -MulDiv(style.fontPoints, kStandardDpi, 72));
    if (dpi <= kStandardDpi || !font) return font;
    UniqueGdiObject bitmapFont(font);
    TEXTMETRICA metrics{};
    HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    const bool measured = GetTextMetricsA(dc, &metrics) != FALSE;
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const int cellHeight = measured ? metrics.tmHeight : MulDiv(style.fontPoints, kStandardDpi, 72);
    return CreateMemoFont(style.scalableFontName, ScaleToDpi(cellHeight, dpi));
}

}  // namespace

TMemo::TMemo(HWND parent, const Style& style)
    : style_(style), dpi_(WindowDpi(parent)), background_(GetSysColor(style.background)) {
    DWORD windowStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                        ES_WANTRETURN | ES_NOHIDESEL;
    if (!style.wordWrap) windowStyle |= WS_HSCROLL | ES_AUTOHSCROLL;
    // A Unicode control, so every character typed, pasted or composed is kept.
    handle_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", windowStyle, 0, 0, 0, 0, parent,
                              nullptr, Application.Instance(), nullptr);
    if (!handle_) throw bj::Error("Cannot create the memo");
    brush_.reset(CreateSolidBrush(background_));
    font_.reset(CreateMemoFont(style_, dpi_));
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    // Notes of any size: lift the default limit of about 30,000 characters.
    SendMessageW(handle_, EM_SETLIMITTEXT, 0, 0);
    subclass_ =
        std::make_unique<TSubclass>(handle_, [this](UINT msg, WPARAM wParam, LPARAM lParam) {
            return HandleMessage(msg, wParam, lParam);
        });
}

TMemo::~TMemo() {
    if (!Handle()) return;
    subclass_.reset();
    DestroyWindow(handle_);
}

void TMemo::SetDpi(int dpi) {
    if (dpi == dpi_) return;
    UniqueGdiObject font(CreateMemoFont(style_, dpi));
    if (!font) return;  // the old font stays
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font_ = std::move(font);
    dpi_ = dpi;
}

std::string TMemo::Text() const {
    const int length = GetWindowTextLengthA(handle_);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(handle_, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

bool TMemo::SetText(const std::string& text) {
    return SetWindowTextA(handle_, text.c_str()) != FALSE;
}

bool TMemo::SetText(const std::u16string& text) {
    return SetWindowTextW(handle_, reinterpret_cast<LPCWSTR>(text.c_str())) != FALSE;
}

bool TMemo::Empty() const {
    // The first line's length is kept by the control; the text's length may be counted anew.
    return SendMessageW(handle_, EM_GETLINECOUNT, 0, 0) <= 1 &&
           SendMessageW(handle_, EM_LINELENGTH, 0, 0) == 0;
}

int TMemo::SelStart() const {
    DWORD start = 0, end = 0;
    SendMessageW(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(start);
}

int TMemo::SelLength() const {
    DWORD start = 0, end = 0;
    SendMessageW(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end - start);
}

void TMemo::SetSel(int start, int end) {
    SendMessageW(handle_, EM_SETSEL, start, end);
}

void TMemo::ReplaceSel(const std::string& text, bool canUndo) {
    SendMessageA(handle_, EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text.c_str()));
}

void TMemo::ClearSelection() {
    SendMessageW(handle_, WM_CLEAR, 0, 0);
}

void TMemo::EmptyUndoBuffer() {
    SendMessageW(handle_, EM_EMPTYUNDOBUFFER, 0, 0);
}

void TMemo::ParentNotify(UINT code) {
    if (code == EN_CHANGE && OnChange) OnChange();
}

HBRUSH TMemo::ParentColor(HDC dc) {
    SetBkColor(dc, background_);
    return static_cast<HBRUSH>(brush_.get());
}

LRESULT TMemo::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_KEYDOWN && OnKeyDown) {
        WORD key = static_cast<WORD>(wParam);
        OnKeyDown(key, CurrentShiftState());
        if (key == 0) return 0;
        wParam = key;
    }
    return subclass_->CallNext(msg, wParam, lParam);
}

}  // namespace fw
