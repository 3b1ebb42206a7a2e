// Planted beside BriskJot.exe as version.dll. Under Wine the system's own user32 imports
// version.dll, so a planted copy is loaded whatever the program does; what must never happen is
// the program calling into it. Its ANSI entries, the ones BriskJot would use, leave
// planted.mark beside the library; the wide ones serve Wine's user32 with "no version".
#include <windows.h>

namespace {

HINSTANCE self = nullptr;

void LeaveMark() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
    char* name = path + n;
    while (name > path && name[-1] != '\\') --name;
    constexpr char kMark[] = "planted.mark";
    if (n == 0 || n >= MAX_PATH || (name - path) + sizeof kMark > MAX_PATH) return;
    lstrcpyA(name, kMark);
    HANDLE mark = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}

extern "C" DWORD WINAPI PlantedInfoSizeA(LPCSTR, LPDWORD) {
    LeaveMark();
    return 0;
}

extern "C" BOOL WINAPI PlantedInfoA(LPCSTR, DWORD, DWORD, LPVOID) {
    LeaveMark();
    return FALSE;
}

extern "C" BOOL WINAPI PlantedQueryA(LPCVOID, LPCSTR, LPVOID*, PUINT) {
    LeaveMark();
    return FALSE;
}

extern "C" DWORD WINAPI PlantedInfoSizeW(LPCWSTR, LPDWORD) {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return 0;
}

extern "C" BOOL WINAPI PlantedInfoW(LPCWSTR, DWORD, DWORD, LPVOID) {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return FALSE;
}

extern "C" BOOL WINAPI PlantedQueryW(LPCVOID, LPCWSTR, LPVOID*, PUINT) {
    return FALSE;
}
