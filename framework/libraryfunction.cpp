#include "framework/libraryfunction.h"

namespace fw {

HMODULE LoadSystemLibrary(const char* name) {
    // By full path: a bare name would also match a module of that name already loaded from
    // elsewhere, and on older systems it searches the program's folder first.
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + 1 + lstrlenA(name) >= MAX_PATH) return nullptr;
    path[length] = '\\';
    lstrcpyA(path + length + 1, name);
    return LoadLibraryA(path);
}

}  // namespace fw
