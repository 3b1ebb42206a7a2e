// The baseline of the large-note benchmarks: reads BriskJot.txt beside itself and shows it in
// an edit control with the note window's styles, font, size and place, and does nothing more.
#include <windows.h>

#include <string>

namespace {

constexpr char kClassName[] = "BjNoteMinimal";

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    if (msg == WM_SIZE) {
        MoveWindow(GetWindow(window, GW_CHILD), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

std::string ReadNote() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, n);
    name = name.substr(0, name.find_last_of('\\') + 1) + "BriskJot.txt";
    HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) got = 0;
    CloseHandle(file);
    bytes.resize(got);
    return bytes;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    if (!RegisterClassA(&windowClass)) return 1;
    // A one-row menu bar, as the note window has, so the edit control gets the same size.
    HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_STRING, 1, "&Save");
    HWND window =
        CreateWindowExA(WS_EX_TOPMOST, kClassName, "BriskJot",
                        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX,
                        615, 521, 409, 219, nullptr, menu, instance, nullptr);
    if (!window) return 1;
    RECT client;
    GetClientRect(window, &client);
    HWND edit =
        CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                        WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                            ES_WANTRETURN | ES_NOHIDESEL,
                        0, 0, client.right, client.bottom, window, nullptr, instance, nullptr);
    if (!edit) return 1;
    HFONT font = CreateFontA(-MulDiv(9, 96, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "Fixedsys");
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);
    {
        // Not kept: the edit control holds the text from here on.
        const std::string text = ReadNote();
        SetWindowTextA(edit, text.c_str());
    }
    ShowWindow(window, SW_SHOWNORMAL);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    DeleteObject(font);
    return 0;
}
