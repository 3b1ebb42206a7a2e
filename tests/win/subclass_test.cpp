// Handlers on one window: each sees a message before those put there earlier, and they and
// the window may go in any order.
#include "framework/subclass.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

namespace {

TEST(Subclass, HandlersChainGoInAnyOrderAndOutliveTheirWindow) {
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr,
                                nullptr);
    ASSERT_NE(edit, nullptr);
    const LONG_PTR own = GetWindowLongPtrW(edit, GWLP_WNDPROC);
    std::map<char, std::unique_ptr<fw::TSubclass>> links;
    std::string seen;
    const auto add = [&](char name) {
        links[name] = std::make_unique<fw::TSubclass>(
            edit, [&, name](UINT msg, WPARAM wParam, LPARAM lParam) {
                if (msg == WM_APP) seen += name;
                return links[name]->CallNext(msg, wParam, lParam);
            });
    };
    const auto send = [&] {
        seen.clear();
        SendMessageW(edit, WM_APP, 0, 0);
        return seen;
    };

    for (char name : {'a', 'b', 'c'}) add(name);
    EXPECT_EQ(send(), "cba");
    links.erase('b');
    EXPECT_EQ(send(), "ca") << "one from the middle";
    links.erase('a');
    EXPECT_EQ(send(), "c") << "the first one";
    links.erase('c');
    EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), own) << "the last gives the window back";

    add('d');
    const std::wstring text = L"\u00e9\u4e2d\U0001F600";
    SetWindowTextW(edit, text.c_str());
    wchar_t back[16] = {};
    GetWindowTextW(edit, back, 16);
    EXPECT_EQ(back, text) << "a Unicode window keeps its Unicode text";
    DestroyWindow(edit);
    EXPECT_EQ(links['d']->Handle(), nullptr);
    links.clear();  // after its window: nothing left to undo
}

}  // namespace
