#pragma once
// The settings file and the Run value on the system's own stores: the profile functions and the
// current user's registry. The rules about what goes in them live in settingsrules.h.

#include <string>

#include "app/settingsrules.h"

namespace settingsstore {

// The value's name is the application title; tests pass their own so the real one is left alone.
constexpr const char kRunValueName[] = "BriskJot";

// The executable's folder, with its trailing backslash, followed by "BriskJot.ini".
std::string SettingsFilePath();

// One section of an INI file through GetPrivateProfileStringA / WritePrivateProfileStringA.
class IniProfile : public bj::IProfile {
public:
    explicit IniProfile(std::string path, std::string section = bj::kSettingsSection);

    bool Read(const std::string& key, std::string& text) override;
    bool Write(const std::string& key, const std::string& value) override;
    // Lets the system write out and forget what it holds of the file.
    void Flush();

private:
    std::string path_;
    std::string section_;
};

// Archive only when the file exists, which lifts a read-only mark before the settings are saved.
void LiftReadOnly(const std::string& path);

// bj::ProperCasePath with the system's ANSI letter case (CharLowerBuffA / CharUpperBuffA).
std::string ProperCasePath(const std::string& path);

// The Run key of the current user is opened (created if missing) and closed inside each call.
// A key that cannot be opened makes the value look absent.
bool RunValueExists(const std::string& valueName = kRunValueName);
// REG_SZ with the proper-cased exePath, quoted when it holds a blank; false when not written.
bool WriteRunValue(const std::string& exePath, const std::string& valueName = kRunValueName);
// True once the value is gone, also when it was never there; false when the registry refuses.
bool DeleteRunValue(const std::string& valueName = kRunValueName);

}  // namespace settingsstore
