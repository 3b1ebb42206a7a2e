#pragma once
// Puts a handler in front of a window's procedure for the handler's lifetime. Several may sit on
// one window and go in any order: each passes what it does not handle on with CallNext, and the
// window's own procedure comes back when the last goes, or when the window is destroyed.

#include <windows.h>

#include <functional>

namespace fw {

struct TSubclassChain;

class TSubclass {
public:
    // Throws bj::Error when the window cannot be subclassed. The handler runs behind the
    // exception barrier.
    using Handler = std::function<LRESULT(UINT msg, WPARAM wParam, LPARAM lParam)>;
    TSubclass(HWND hwnd, Handler handler);
    ~TSubclass();
    TSubclass(const TSubclass&) = delete;
    TSubclass& operator=(const TSubclass&) = delete;

    // The procedure behind this one.
    LRESULT CallNext(UINT msg, WPARAM wParam, LPARAM lParam);
    // Null once the window is gone.
    HWND Handle() const;

private:
    friend struct TSubclassChain;
    Handler handler_;
    TSubclassChain* chain_ = nullptr;
};

}  // namespace fw
