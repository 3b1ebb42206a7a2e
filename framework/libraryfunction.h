#pragma once
// A function of a system library that is loaded on first use, for libraries that cost start-up
// time or megabytes and that most sessions never need.

#include <windows.h>

namespace fw {

// From the system folder only: a file of the same name beside the program (a downloads folder,
// a shared stick) must never run. Null when missing.
HMODULE LoadSystemLibrary(const char* name);

// Null when the library or the function is missing. The library stays loaded for the life of
// the process: its windows and dialogs may outlive any one caller.
template <typename Function>
Function LibraryFunction(const char* library, const char* name) {
    HMODULE module = LoadSystemLibrary(library);
    return module
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
               : nullptr;
}

}  // namespace fw
