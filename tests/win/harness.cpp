#include "tests/win/harness.h"

#include <gtest/gtest.h>

#include "about/formabout.h"
#include "app/formmain.h"
#include "app/notefile.h"
#include "framework/application.h"
#include "framework/msgbox.h"
#include "tests/testfiles.h"

namespace harness {

// No real box may ever wait for a click during the tests.
int UnexpectedBox(HWND, const std::string& text, const std::string& caption, UINT) {
    ADD_FAILURE() << "unscripted message box: " << caption << ": " << text;
    return IDCANCEL;
}

MessageBoxScript::MessageBoxScript() {
    fw::SetMessageBoxHook(
        [this](HWND, const std::string& text, const std::string& caption, UINT flags) {
            shown_.push_back({caption, text, flags});
            if (OnShow) OnShow();
            if (answers_.empty()) {
                ADD_FAILURE() << "unexpected message box: " << caption << ": " << text;
                return IDCANCEL;
            }
            const int answer = answers_.front();
            answers_.pop_front();
            return answer;
        });
}

MessageBoxScript::~MessageBoxScript() {
    fw::SetMessageBoxHook(&UnexpectedBox);
    EXPECT_TRUE(answers_.empty()) << answers_.size() << " scripted answers were not used";
}

void Pump(int milliseconds) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;  // the program's own loop is not running
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (milliseconds > 0) Sleep(5);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

void HoldKeys(std::vector<BYTE> keys) {
    BYTE state[256] = {};
    for (const BYTE key : keys) state[key] = 0x80;
    if (state[VK_CONTROL]) state[VK_LCONTROL] = 0x80;
    SetKeyboardState(state);
}

LPARAM KeyData(UINT vk, bool repeated) {
    const auto scan = static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16;
    return scan | 1 | (repeated ? LPARAM(1) << 30 : 0);
}

void Press(HWND window, UINT vk, std::vector<BYTE> modifiers) {
    modifiers.push_back(static_cast<BYTE>(vk));
    HoldKeys(modifiers);
    PostMessageA(window, WM_KEYDOWN, vk, KeyData(vk, false));
    Pump();
    modifiers.pop_back();
    HoldKeys(modifiers);
    PostMessageA(window, WM_KEYUP, vk, KeyData(vk, true) | (LPARAM(1) << 31));
    Pump();
    HoldKeys({});
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(timeoutMs);
    for (;;) {
        Pump();
        if (condition()) return true;
        if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
        Sleep(5);
    }
}

std::string ExeFolder() {
    return notefile::ExeFolder();
}
std::string NotePath() {
    return ExeFolder() + "BriskJot.txt";
}
std::string SettingsPath() {
    return ExeFolder() + "BriskJot.ini";
}

void RemoveFile(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

void Command(TFormMain& form, unsigned id) {
    SendMessageA(form.Handle(), WM_COMMAND, id, 0);
    Pump();
}

void Type(TFormMain& form, const std::string& text) {
    form.Memo1->ReplaceSel(text, true);
    Pump();
}

Program::Program(bool withAbout, const std::string& settingsLines) {
    RemoveFile(SettingsPath());
    if (!settingsLines.empty()) WriteFile(SettingsPath(), "[Settings]\r\n" + settingsLines);
    fw::Application.Reset();
    main_ = std::make_unique<TFormMain>();
    if (withAbout) about_ = std::make_unique<TFormAbout>(*main_);
    Pump();
}

Program::~Program() {
    about_.reset();
    main_.reset();
    fw::Application.Reset();
    Pump();
}

}  // namespace harness

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    fw::Application.Title = "BriskJot";
    fw::Application.Initialize(GetModuleHandleA(nullptr));
    fw::SetMessageBoxHook(&harness::UnexpectedBox);
    return RUN_ALL_TESTS();
}
