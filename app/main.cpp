// The program entry: one instance, no taskbar button, the two windows, the loop.
#include <windows.h>

#include <memory>

#include "about/formabout.h"
#include "app/formmain.h"
#include "framework/application.h"
#include "framework/barrier.h"
#include "framework/libraryfunction.h"

namespace {
constexpr char kTitle[] = "BriskJot";
constexpr char kMutexName[] = "BriskJot";
constexpr char kHelpFileName[] = "BriskJot.chm";
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // From here on no library, ours or one the system loads for us, is looked for in the
    // program's folder. Older systems lack the call; there every load names the system folder.
    using SetDirectoriesFn = BOOL(WINAPI*)(DWORD);
    if (const auto setDirectories =
            fw::LibraryFunction<SetDirectoriesFn>("kernel32.dll", "SetDefaultDllDirectories"))
        setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

    // Never closed: the system frees it when the process ends.
    CreateMutexA(nullptr, FALSE, kMutexName);
    if (GetLastError() == ERROR_ALREADY_EXISTS) return 0;

    fw::TApplication& app = fw::Application;
    app.Title = kTitle;
    app.Initialize(instance);
    app.HelpFile = kHelpFileName;
    SetWindowLongPtrA(app.Handle(), GWL_EXSTYLE,
                      GetWindowLongPtrA(app.Handle(), GWL_EXSTYLE) | WS_EX_TOOLWINDOW);

    std::unique_ptr<TFormMain> formMain;
    std::unique_ptr<TFormAbout> formAbout;
    bool started = fw::Guarded(false, [&] {
        formMain = std::make_unique<TFormMain>();
        formAbout = std::make_unique<TFormAbout>(*formMain);
        return true;
    });
    // A failed start (a note file that cannot be read) ends quietly.
    if (!started || app.Terminated()) return 0;
    return app.Run();
}
