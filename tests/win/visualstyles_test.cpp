// The memo is the plain edit control, so a start never loads the controls library; what is made
// under TVisualStyles (dialogs, message boxes) gets the themed controls.
#include "framework/visualstyles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework/memo.h"

namespace {

// Whether the window's procedure lives in the common controls library.
bool Themed(HWND window) {
    HMODULE module = nullptr;
    char path[MAX_PATH] = "";
    if (GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCSTR>(GetWindowLongPtrW(window, GWLP_WNDPROC)), &module))
        GetModuleFileNameA(module, path, MAX_PATH);
    return std::string(CharLowerA(path)).find("comctl32") != std::string::npos;
}

TEST(VisualStyles, OnlyWhatIsMadeUnderThemUsesTheThemedControls) {
    const auto NewEdit = [] {
        return CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr,
                               nullptr);
    };
    HWND parent = NewEdit();
    fw::TMemo memo(parent, fw::TMemo::Style{});
    HWND themed = nullptr;
    {
        const fw::TVisualStyles styles;
        themed = NewEdit();
    }
    HWND after = NewEdit();
    EXPECT_FALSE(Themed(memo.Handle()));
    EXPECT_TRUE(Themed(themed));
    EXPECT_FALSE(Themed(after)) << "the styles end with the scope";
    for (HWND window : {after, themed, parent}) DestroyWindow(window);
}

}  // namespace
