// Stands in for the HTML Help library in tests: every call is appended as one line to the
// file named by BJ_HHCTRL_LOG, and a fake viewer window comes back.
#include <windows.h>
// After windows.h, which it needs.
#include <htmlhelp.h>

#include <cstdio>

namespace {

HWND const kFakeViewer = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x4242));

void Append(const char* line, int length) {
    char logPath[MAX_PATH];
    const DWORD n = GetEnvironmentVariableA("BJ_HHCTRL_LOG", logPath, sizeof logPath);
    if (n == 0 || n >= sizeof logPath) return;
    HANDLE file = CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD wrote = 0;
    WriteFile(file, line, static_cast<DWORD>(length), &wrote, nullptr);
    CloseHandle(file);
}

const char* OrNull(const char* text) {
    return text ? text : "(null)";
}

unsigned long long Number(const void* handle) {
    return static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(handle));
}

}  // namespace

extern "C" HWND WINAPI HtmlHelpA(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
    char line[2048];
    int length = 0;
    if (command == HH_DISPLAY_TEXT_POPUP && data != 0) {
        const HH_POPUP* popup = reinterpret_cast<const HH_POPUP*>(data);
        length = std::snprintf(
            line, sizeof line,
            "hwnd=%llu cmd=0x%02X file=%s popup size=%d hinst=%llu id=%u text=%s pt=%ld,%ld "
            "fore=0x%08lX back=0x%08lX margins=%ld,%ld,%ld,%ld font=%s\n",
            Number(caller), command, OrNull(file), popup->cbStruct, Number(popup->hinst),
            popup->idString, OrNull(popup->pszText), static_cast<long>(popup->pt.x),
            static_cast<long>(popup->pt.y), static_cast<unsigned long>(popup->clrForeground),
            static_cast<unsigned long>(popup->clrBackground),
            static_cast<long>(popup->rcMargins.left), static_cast<long>(popup->rcMargins.top),
            static_cast<long>(popup->rcMargins.right), static_cast<long>(popup->rcMargins.bottom),
            OrNull(popup->pszFont));
    } else if (command == HH_DISPLAY_INDEX && data != 0) {
        // The data word of an index request is the keyword text.
        length = std::snprintf(line, sizeof line, "hwnd=%llu cmd=0x%02X file=%s key=%s\n",
                               Number(caller), command, OrNull(file),
                               reinterpret_cast<const char*>(data));
    } else {
        length = std::snprintf(line, sizeof line, "hwnd=%llu cmd=0x%02X file=%s data=%llu\n",
                               Number(caller), command, OrNull(file),
                               static_cast<unsigned long long>(data));
    }
    if (length > 0) Append(line, length < static_cast<int>(sizeof line) ? length : sizeof line - 1);
    return kFakeViewer;
}
