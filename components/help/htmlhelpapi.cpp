#include "components/help/htmlhelpapi.h"

#include "framework/unique.h"

namespace htmlhelp {

namespace {

using HtmlHelpProc = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

constexpr char kLibraryName[] = "\\HHCTRL.OCX";

struct Library {
    fw::UniqueHModule module;  // freed when the process ends
    HtmlHelpProc entry = nullptr;
    std::string overridePath;
};

Library& TheLibrary() {
    static Library library;
    return library;
}

// Fixed buffers: loading must not throw, and a path that does not fit is no library.
bool LibraryPath(char (&path)[MAX_PATH]) noexcept {
    const std::string& chosen = TheLibrary().overridePath;
    if (!chosen.empty()) {
        if (chosen.size() >= sizeof path) return false;
        lstrcpynA(path, chosen.c_str(), sizeof path);
        return true;
    }
    const UINT length = GetSystemDirectoryA(path, sizeof path);
    if (length == 0 || length + sizeof kLibraryName > sizeof path) return false;
    lstrcpynA(path + length, kLibraryName, static_cast<int>(sizeof path - length));
    return true;
}

}  // namespace

bool LoadHtmlHelp() noexcept {
    Library& library = TheLibrary();
    if (library.module) return true;
    library.entry = nullptr;
    char path[MAX_PATH];
    if (!LibraryPath(path)) return false;
    // A missing or broken library is an answer, not an error box for the user.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    library.module.reset(LoadLibraryA(path));
    SetErrorMode(oldMode);
    if (!library.module) return false;
    // Through void(*)() because FARPROC and the entry's real type are unrelated to the compiler.
    library.entry = reinterpret_cast<HtmlHelpProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(library.module.get(), "HtmlHelpA")));
    return true;
}

bool HtmlHelpLoaded() noexcept {
    return static_cast<bool>(TheLibrary().module);
}

bool HtmlHelpUsable() noexcept {
    if (!HtmlHelpLoaded()) LoadHtmlHelp();
    return TheLibrary().entry != nullptr;
}

HWND CallHtmlHelp(HWND caller, const char* file, UINT command, DWORD_PTR data) noexcept {
    if (!HtmlHelpUsable()) return nullptr;
    return TheLibrary().entry(caller, file, command, data);
}

void SetHtmlHelpLibraryPath(const std::string& path) {
    TheLibrary().overridePath = path;
}

std::string HtmlHelpLibraryPath() {
    char path[MAX_PATH];
    return LibraryPath(path) ? std::string(path) : std::string();
}

void UnloadHtmlHelp() noexcept {
    Library& library = TheLibrary();
    library.entry = nullptr;
    library.module.reset();
}

}  // namespace htmlhelp
