#include "framework/tooltip.h"

#include <commctrl.h>

#include "framework/libraryfunction.h"

namespace fw {

HWND CreateToolTip(HWND owner, HINSTANCE instance) {
    static const bool registered = [] {
        using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
        const auto init = LibraryFunction<InitFn>("comctl32.dll", "InitCommonControlsEx");
        const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
        return init && init(&classes);
    }();
    if (!registered) return nullptr;
    return CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                           WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr);
}

}  // namespace fw
