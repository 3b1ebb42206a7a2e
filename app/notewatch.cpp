#include "app/notewatch.h"

#include "framework/application.h"

TFolderWatch::TFolderWatch(const std::string& folder, std::function<void()> onChange)
    : handle_(FindFirstChangeNotificationA(
          folder.c_str(), FALSE,
          FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE)),
      onChange_(std::move(onChange)) {
    if (handle_) fw::Application.SetWaitHandle(handle_.get(), [this] { Signaled(); });
}

TFolderWatch::~TFolderWatch() {
    Stop();
}

void TFolderWatch::Signaled() {
    // Armed again first, so a change made while we look is told next time. A folder gone (a
    // removed stick) cannot be: the wait ends rather than wake at once for ever.
    if (!FindNextChangeNotification(handle_.get())) Stop();
    if (onChange_) onChange_();
}

void TFolderWatch::Stop() {
    if (handle_ && fw::Application.WaitHandle() == handle_.get())
        fw::Application.SetWaitHandle(nullptr, nullptr);
    handle_.reset();
}
