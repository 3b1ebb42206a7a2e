#include "app/settingsstore.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "app/notefile.h"
#include "framework/unique.h"

namespace settingsstore {

namespace {

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// A profile value is a single line, so a default holding a line feed can only come back when the
// key is missing.
constexpr char kMissingKey[] = "\x01<missing>\n\x01";

// Values longer than this are cut here rather than grown without end.
constexpr DWORD kMaxValueLength = 1u << 20;

fw::UniqueHKey OpenRunKey() {
    HKEY key = nullptr;
    const LONG status =
        RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return fw::UniqueHKey(status == ERROR_SUCCESS ? key : nullptr);
}

}  // namespace

std::string SettingsFilePath() {
    return notefile::ExeFolder() + bj::kSettingsFileName;
}

IniProfile::IniProfile(std::string path, std::string section)
    : path_(std::move(path)), section_(std::move(section)) {}

bool IniProfile::Read(const std::string& key, std::string& text) {
    std::vector<char> buffer(256);
    DWORD copied = 0;
    for (;;) {
        copied = GetPrivateProfileStringA(section_.c_str(), key.c_str(), kMissingKey, buffer.data(),
                                          static_cast<DWORD>(buffer.size()), path_.c_str());
        // size - 1 copied means the value may have been cut to fit.
        if (copied + 1 < buffer.size() || buffer.size() > kMaxValueLength) break;
        buffer.resize(buffer.size() * 2);
    }
    std::string value(buffer.data(), copied);
    if (value == kMissingKey) return false;
    text = std::move(value);
    return true;
}

bool IniProfile::Write(const std::string& key, const std::string& value) {
    return WritePrivateProfileStringA(section_.c_str(), key.c_str(), value.c_str(),
                                      path_.c_str()) != FALSE;
}

void IniProfile::Flush() {
    // The answer says nothing here: Wine, for one, reports failure for every flush.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());
}

void LiftReadOnly(const std::string& path) {
    // Failure is not reported here; the first write that follows reports it.
    notefile::ResetAttributes(path);
}

std::string ProperCasePath(const std::string& path) {
    return bj::ProperCasePath(
        path,
        [](char* first, std::size_t count) { CharLowerBuffA(first, static_cast<DWORD>(count)); },
        [](char* first, std::size_t count) { CharUpperBuffA(first, static_cast<DWORD>(count)); });
}

bool RunValueExists(const std::string& valueName) {
    const fw::UniqueHKey key = OpenRunKey();
    return key && RegQueryValueExA(key.get(), valueName.c_str(), nullptr, nullptr, nullptr,
                                   nullptr) == ERROR_SUCCESS;
}

bool WriteRunValue(const std::string& exePath, const std::string& valueName) {
    const fw::UniqueHKey key = OpenRunKey();
    if (!key) return false;
    const std::string data = bj::RunValueText(ProperCasePath(exePath));
    return RegSetValueExA(key.get(), valueName.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
}

bool DeleteRunValue(const std::string& valueName) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &opened);
    // No Run key, no value: there is nothing left to remove.
    if (status == ERROR_FILE_NOT_FOUND) return true;
    if (status != ERROR_SUCCESS) return false;
    const fw::UniqueHKey key(opened);
    const LONG deleted = RegDeleteValueA(key.get(), valueName.c_str());
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

}  // namespace settingsstore
