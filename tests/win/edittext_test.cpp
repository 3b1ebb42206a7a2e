// Reading an edit control's text where the control keeps it, or a copy where it cannot lend it.
#include "framework/edittext.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(EditText, AMultiLineUnicodeControlLendsItsBufferOthersGiveACopy) {
    const std::u16string text = u"caf\u00E9 \u4E2D\u6587\r\nsecond line \U0001F600";
    const std::u16string ascii = u"plain\r\ntext";
    const struct {
        bool unicode;
        DWORD style;
        bool lent;
    } rows[] = {{true, ES_MULTILINE, true}, {true, 0, false}, {false, ES_MULTILINE, false}};
    for (const auto& row : rows) {
        const DWORD style = WS_POPUP | ES_AUTOHSCROLL | row.style;
        HWND edit = row.unicode ? CreateWindowExW(0, L"EDIT", L"", style, 0, 0, 200, 100, nullptr,
                                                  nullptr, nullptr, nullptr)
                                : CreateWindowExA(0, "EDIT", "", style, 0, 0, 200, 100, nullptr,
                                                  nullptr, nullptr, nullptr);
        ASSERT_NE(edit, nullptr);
        SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
        const std::u16string& shown = row.unicode ? text : ascii;
        SetWindowTextW(edit, reinterpret_cast<LPCWSTR>(shown.c_str()));
        {
            const fw::TEditText read(edit);
            EXPECT_EQ(read.View(), shown) << row.unicode << row.style;
            const auto buffer = reinterpret_cast<HLOCAL>(SendMessageW(edit, EM_GETHANDLE, 0, 0));
            const void* own = row.lent ? LocalLock(buffer) : nullptr;
            EXPECT_EQ(read.View().data() == own, row.lent) << "read in place";
            if (own) LocalUnlock(buffer);
        }
        // Let go: the control can grow its buffer again.
        const std::u16string more(100000, u'x');
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(more.c_str()));
        EXPECT_TRUE(fw::TEditText(edit).View() == more) << row.unicode << row.style;
        DestroyWindow(edit);
    }
}

}  // namespace
