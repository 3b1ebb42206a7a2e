// Help: the persisted data the main window carries, the help file written out
// beside the exe when needed, and the help commands.
#include <vector>

#include "about/formabout.h"
#include "app/formmain.h"
#include "app/forms.h"
#include "app/notefile.h"
#include "app/persisted.h"
#include "base/filesys.h"
#include "framework/application.h"
#include "framework/shiftstate.h"
#include "framework/unique.h"

namespace {

constexpr char kPersistedResource[] = "FORMMAIN";
constexpr unsigned kHelpOptionsNumber = 5;
constexpr char kUnknownValue[] = "Invalid help router property value: ";

// A file's last write as a local DOS date-time: two-second steps, as the help file is compared.
bool FileDosTime(const std::string& path, WORD& date, WORD& time) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    FILETIME local;
    return FileTimeToLocalFileTime(&found.ftLastWriteTime, &local) &&
           FileTimeToDosDateTime(&local, &date, &time);
}

bool SameDosTime(const std::string& a, const std::string& b) {
    WORD dateA = 0, timeA = 0, dateB = 0, timeB = 0;
    return FileDosTime(a, dateA, timeA) && FileDosTime(b, dateB, timeB) && dateA == dateB &&
           timeA == timeB;
}

// Gives fileName the exe's last-write time; false when that could not be done.
bool SetFileDateFromExe(const std::string& fileName) {
    WORD date = 0, time = 0;
    if (!FileDosTime(fw::Application.ExeName(), date, time)) return false;
    fw::UniqueHandle file(CreateFileA(fileName.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    FILETIME local, utc;
    return DosDateTimeToFileTime(date, time, &local) && LocalFileTimeToFileTime(&local, &utc) &&
           SetFileTime(file.get(), nullptr, nullptr, &utc);
}

}  // namespace

void LoadRouterSettings(THelpRouter& router, const THelpRouterSettings& settings) {
    THelpType helpType;
    TShowType showType;
    if (!HelpTypeFromName(settings.HelpType, helpType))
        throw EPersistedDataError(kUnknownValue + settings.HelpType);
    if (!ShowTypeFromName(settings.ShowType, showType))
        throw EPersistedDataError(kUnknownValue + settings.ShowType);
    router.HelpType = helpType;
    router.ShowType = showType;
    router.Helpfile = settings.Helpfile;
    router.CHMPopupTopics = settings.CHMPopupTopics;
    router.ValidateID = settings.ValidateID;
}

void TFormMain::LoadPersistedData() {
    // Without its data the router would fall back to the old WinHelp viewer, whose error box
    // blocks the program; the program's own viewer settings hold whatever the data says.
    THelpRouterSettings ownSettings;
    ownSettings.HelpType = "htHTMLhelp";
    ownSettings.ShowType = "stMain";
    LoadRouterSettings(*HelpRouter1, ownSettings);

    HINSTANCE instance = fw::Application.Instance();
    HRSRC resource =
        FindResourceA(instance, kPersistedResource, MAKEINTRESOURCEA(10));  // RT_RCDATA
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return;  // no help inside: the help commands find no file, nothing else changes
    THelpRouterSettings routerSettings;
    try {
        ReadMainFormData(data, SizeofResource(instance, resource), FileStore1, HelpContextMap1,
                         routerSettings);
        LoadRouterSettings(*HelpRouter1, routerSettings);
    } catch (const std::exception&) {
        // A damaged store costs the help file, never the note: the program goes on without it.
    }
}

void TFormMain::EnsureHelpFile() {
    const std::string exe = fw::Application.ExeName();
    const std::string helpFile = fw::Application.HelpFile;
    if (FileExists(helpFile) && !SameDosTime(helpFile, exe)) {
        SetFileAttributesA(helpFile.c_str(), FILE_ATTRIBUTE_ARCHIVE);
        DeleteFileA(helpFile.c_str());
    }
    if (FileExists(helpFile)) return;

    // Nothing here is reported: the viewer says so itself when the file is missing.
    std::vector<std::string> failed;
    FileStore1.OnExtractError = [&failed](TFileStore&, const std::string& path,
                                          const std::string& fileName) {
        failed.push_back(path + fileName);
    };
    bool written = false;
    try {
        written = FileStore1.ExtractAll(ExtractFilePath(exe));
    } catch (const std::exception&) {
        written = false;
    }
    FileStore1.OnExtractError = nullptr;
    // A file cut short is removed and left undated, so the next request writes it again.
    for (const std::string& partial : failed) {
        SetFileAttributesA(partial.c_str(), FILE_ATTRIBUTE_ARCHIVE);
        DeleteFileA(partial.c_str());
    }
    if (written) SetFileDateFromExe(helpFile);
}

bool TFormMain::HelpRouter1Help(unsigned, std::uintptr_t, bool&) {
    // Requests of the user's F1 refresh the file; the commands below do it themselves.
    if (fw::KeyIsDown(VK_F1)) EnsureHelpFile();
    return true;
}

void TFormMain::PopUpHelp_OptionsClick() {
    if (FormAbout) FormAbout->Close();
    EnsureHelpFile();
    fw::Application.HelpContext(kHelpOptionsNumber);
}
