#pragma once
// Tells when something changes in the note's folder, through the application's message loop:
// the program sleeps until then, and nothing looks at the file meanwhile.

#include <windows.h>

#include <functional>
#include <string>

#include "framework/unique.h"

struct ChangeNotificationTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Valid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Handle h) { FindCloseChangeNotification(h); }
};

class TFolderWatch {
public:
    // A folder that cannot be watched (gone, or a file system without notifications) leaves
    // the checks on activation and before every save.
    TFolderWatch(const std::string& folder, std::function<void()> onChange);
    ~TFolderWatch();
    TFolderWatch(const TFolderWatch&) = delete;
    TFolderWatch& operator=(const TFolderWatch&) = delete;

private:
    void Signaled();
    void Stop();

    fw::UniqueResource<ChangeNotificationTraits> handle_;
    std::function<void()> onChange_;
};
