// Options and the window's place, kept in BriskJot.ini and the Run value.
#include "app/formmain.h"
#include "app/hotkeytext.h"
#include "app/settingsrules.h"
#include "app/settingsstore.h"
#include "framework/application.h"
#include "framework/display.h"

namespace {

constexpr char kStartWithWindowsSubject[] = "Start With Windows";
constexpr char kRunValueFailedText[] =
    "BriskJot could not register itself to start with Windows: the registry did not accept "
    "the entry, so the option stays off.";
constexpr char kRunValueKeptText[] =
    "BriskJot could not remove itself from the programs that start with Windows: the registry "
    "did not let the entry be deleted, so the option stays on.";

// The main window as the settings rules see it.
class FormPlacement : public bj::IWindowPlacement {
public:
    explicit FormPlacement(TFormMain& form) : form_(form) {}
    bj::Geometry Current() const override {
        return {form_.Left(), form_.Top(), form_.Width(), form_.Height()};
    }
    void SetLeft(std::int32_t left) override { form_.SetLeft(left); }
    void SetTop(std::int32_t top) override { form_.SetTop(top); }
    void SetWidth(std::int32_t width) override { form_.SetWidth(width); }
    void SetHeight(std::int32_t height) override { form_.SetHeight(height); }
    void DefaultSizePosition() override { form_.DefaultSizePositionProc(); }

private:
    TFormMain& form_;
};

}  // namespace

bj::ScreenSize TFormMain::Screen() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

std::vector<bj::Rect> TFormMain::WorkAreas() {
    std::vector<bj::Rect> areas;
    for (const RECT& area : fw::WorkAreas())
        areas.push_back({area.left, area.top, area.right, area.bottom});
    return areas;
}

void TFormMain::LoadOptionsProc() {
    if (settingsstore::RunValueExists()) {
        PopUpStartWithWindows.SetChecked(true);
        // Names the present path again; should the registry refuse, the older entry stays.
        settingsstore::WriteRunValue(fw::Application.ExeName());
    }

    settingsstore::IniProfile profile(settingsstore::SettingsFilePath());
    FormPlacement placement(*this);
    // A file that cannot be written (a read-only medium) is passed over: the repaired
    // values hold for this run.
    const bj::LoadedSettings loaded = bj::LoadSettings(profile, placement, Screen(), WorkAreas());
    profile.Flush();
    // Only now, at its size: every change of the memo's size or font wraps all its text again.
    PutLoadedNoteProc();
    PopUpAutoSave.SetChecked(loaded.options.autoSaveMemo);
    PopUpShowOnStartUp.SetChecked(loaded.options.showOnStartUp);
    PopUpStartWithWindows.SetChecked(loaded.options.startWithWindows);
    PopUpWarningOnClearClipboard.SetChecked(loaded.options.warningOnClearClipboard);
    PopUpWarningOnClearMemo.SetChecked(loaded.options.warningOnClearMemo);
    SetHotKeyProc(loaded.options.hotKey);

    FollowMemoText();
}

void TFormMain::SaveSettingsProc() {
    const std::string path = settingsstore::SettingsFilePath();
    settingsstore::LiftReadOnly(path);
    settingsstore::IniProfile profile(path);
    bj::OptionFlags options;
    options.autoSaveMemo = PopUpAutoSave.Checked();
    options.showOnStartUp = PopUpShowOnStartUp.Checked();
    options.startWithWindows = PopUpStartWithWindows.Checked();
    options.warningOnClearClipboard = PopUpWarningOnClearClipboard.Checked();
    options.warningOnClearMemo = PopUpWarningOnClearMemo.Checked();
    options.hotKey = hotKeyText_;
    // A failed write never ends the program: the options keep their values for this run.
    bj::SaveSettings(profile, options, {Left(), Top(), Width(), Height()});
    profile.Flush();
}

void TFormMain::SetHotKeyProc(const std::string& text) {
    static_assert(bj::kModAlt == MOD_ALT && bj::kModCtrl == MOD_CONTROL &&
                  bj::kModShift == MOD_SHIFT && bj::kModWin == MOD_WIN);
    hotKeyText_ = text;
    HotKey1.Release();
    bj::HotKey key;
    if (bj::ParseHotKey(text, key) && key.virtualKey != 0)
        HotKey1.Register(Handle(), key.modifiers, key.virtualKey);
}

void TFormMain::PopUpStartWithWindowsClick() {
    if (!PopUpStartWithWindows.Checked()) {
        if (settingsstore::WriteRunValue(fw::Application.ExeName()))
            PopUpStartWithWindows.SetChecked(true);
        else
            fw::Application.MessageBox(kRunValueFailedText, kStartWithWindowsSubject,
                                       MB_OK | MB_ICONEXCLAMATION);
    } else if (settingsstore::DeleteRunValue()) {
        PopUpStartWithWindows.SetChecked(false);
    } else {
        fw::Application.MessageBox(kRunValueKeptText, kStartWithWindowsSubject,
                                   MB_OK | MB_ICONEXCLAMATION);
    }
    SaveSettingsProc();
}

void TFormMain::PopUpShowOnStartUpClick() {
    PopUpShowOnStartUp.SetChecked(!PopUpShowOnStartUp.Checked());
    SaveSettingsProc();
}

void TFormMain::PopUpWarningOnClearMemoClick() {
    PopUpWarningOnClearMemo.SetChecked(!PopUpWarningOnClearMemo.Checked());
    SaveSettingsProc();
}

void TFormMain::PopUpWarningOnClearClipboardClick() {
    PopUpWarningOnClearClipboard.SetChecked(!PopUpWarningOnClearClipboard.Checked());
    SaveSettingsProc();
}
