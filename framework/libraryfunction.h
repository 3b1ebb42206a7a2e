#pragma once
// A function of a system library that is loaded on first use, for libraries that cost start-up
// time or megabytes and that most sessions never need.

#include <windows.h>

namespace fw {

// Null when the library or the function is missing. The library stays loaded for the life of
// the process: its windows and dialogs may outlive any one caller.
template <typename Function>
Function LibraryFunction(const char* library, const char* name) {
    HMODULE module = LoadLibraryA(library);
    return module
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
               : nullptr;
}

}  // namespace fw
