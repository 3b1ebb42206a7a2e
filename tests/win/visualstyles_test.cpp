// The memo is the plain edit control, so a start never loads the controls library; what is made
// under TVisualStyles (dialogs, message boxes) gets the themed controls.
#include "framework/visualstyles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "framework/memo.h"

namespace {

// The file of the module that holds the window's procedure, in lower case.
std::string ProcedureModule(HWND window) {
    const auto procedure = reinterpret_cast<LPCSTR>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    HMODULE module = nullptr;
    GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        procedure, &module);
    char path[MAX_PATH] = "";
    if (module) GetModuleFileNameA(module, path, MAX_PATH);
    std::string text(path);
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

HWND NewEdit() {
    return CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr,
                           nullptr);
}

TEST(VisualStyles, OnlyWhatIsMadeUnderThemUsesTheThemedControls) {
    HWND parent = NewEdit();
    fw::TMemo memo(parent, fw::TMemo::Style{});
    HWND themed = nullptr;
    {
        const fw::TVisualStyles styles;
        themed = NewEdit();
    }
    HWND after = NewEdit();

    EXPECT_EQ(ProcedureModule(memo.Handle()).find("comctl32"), std::string::npos)
        << ProcedureModule(memo.Handle());
    EXPECT_NE(ProcedureModule(themed).find("comctl32"), std::string::npos)
        << ProcedureModule(themed);
    EXPECT_EQ(ProcedureModule(after), ProcedureModule(memo.Handle()))
        << "the styles end with the scope";

    DestroyWindow(after);
    DestroyWindow(themed);
    DestroyWindow(parent);
}

}  // namespace
