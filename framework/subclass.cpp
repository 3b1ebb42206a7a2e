#include "framework/subclass.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "base/error.h"
#include "framework/barrier.h"

namespace fw {

namespace {

// A procedure someone else puts over ours must stay in between: handlers made after it go into
// a chain of a level of their own, above it.
constexpr int kLevels = 4;

const char* ChainProperty(int level) {
    static const char* const kNames[kLevels] = {"BriskJot.Subclass0", "BriskJot.Subclass1",
                                                "BriskJot.Subclass2", "BriskJot.Subclass3"};
    return kNames[level];
}
}  // namespace

// The handlers on one level of one window: our procedure stays installed while it lives.
struct TSubclassChain {
    HWND hwnd = nullptr;
    int level = 0;
    bool unicode = false;
    WNDPROC original = nullptr;
    std::vector<TSubclass*> links;  // the newest first
    int depth = 0;                  // messages being dispatched
    bool detached = false;          // the window has its procedure back

    static TSubclassChain* Of(HWND hwnd, int level) {
        return static_cast<TSubclassChain*>(GetPropA(hwnd, ChainProperty(level)));
    }

    LRESULT CallFrom(std::size_t index, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (index >= links.size()) {
            return unicode ? CallWindowProcW(original, hwnd, msg, wParam, lParam)
                           : CallWindowProcA(original, hwnd, msg, wParam, lParam);
        }
        TSubclass* link = links[index];
        return Guarded(LRESULT(0), [&] { return link->handler_(msg, wParam, lParam); });
    }

    // Gives the window its procedure back. One installed over ours after it would call ours
    // still, so then the chain stays, forwarding, until the window goes.
    bool Detach(bool destroyed);

    static WNDPROC WindowProc(HWND hwnd, bool unicode) {
        return reinterpret_cast<WNDPROC>(unicode ? GetWindowLongPtrW(hwnd, GWLP_WNDPROC)
                                                 : GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    }

    static LRESULT Dispatch(int level, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
        TSubclassChain* chain = Of(hwnd, level);
        if (!chain) {
            return IsWindowUnicode(hwnd) ? DefWindowProcW(hwnd, msg, wParam, lParam)
                                         : DefWindowProcA(hwnd, msg, wParam, lParam);
        }
        // The last message the window gets: the handlers are done with it.
        if (msg == WM_NCDESTROY) chain->Detach(true);
        ++chain->depth;
        const LRESULT result = chain->CallFrom(0, msg, wParam, lParam);
        if (--chain->depth == 0 && chain->detached) delete chain;
        return result;
    }

    // The chain whose procedure is the window's now, made when there is none.
    static TSubclassChain* Top(HWND hwnd);
};

namespace {

// One procedure a level (written out: gcc for i686 rejects a template of these).
LRESULT CALLBACK Proc0(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    return TSubclassChain::Dispatch(0, hwnd, msg, wParam, lParam);
}
LRESULT CALLBACK Proc1(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    return TSubclassChain::Dispatch(1, hwnd, msg, wParam, lParam);
}
LRESULT CALLBACK Proc2(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    return TSubclassChain::Dispatch(2, hwnd, msg, wParam, lParam);
}
LRESULT CALLBACK Proc3(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    return TSubclassChain::Dispatch(3, hwnd, msg, wParam, lParam);
}
const WNDPROC kProcs[kLevels] = {&Proc0, &Proc1, &Proc2, &Proc3};

}  // namespace

bool TSubclassChain::Detach(bool destroyed) {
    if (!destroyed && WindowProc(hwnd, unicode) != kProcs[level]) return false;
    const auto restored = reinterpret_cast<LONG_PTR>(original);
    if (unicode)
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, restored);
    else
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, restored);
    RemovePropA(hwnd, ChainProperty(level));
    for (TSubclass* link : links) link->chain_ = nullptr;
    links.clear();
    detached = true;
    return true;
}

TSubclassChain* TSubclassChain::Top(HWND hwnd) {
    const bool unicode = IsWindowUnicode(hwnd) != FALSE;
    const WNDPROC current = WindowProc(hwnd, unicode);
    int free = -1;
    for (int level = kLevels - 1; level >= 0; --level) {
        TSubclassChain* chain = Of(hwnd, level);
        if (chain && current == kProcs[level]) return chain;
        if (!chain) free = level;
    }
    if (free < 0) throw bj::Error("Too many subclasses on one window");
    auto chain = std::make_unique<TSubclassChain>();
    chain->hwnd = hwnd;
    chain->level = free;
    chain->unicode = unicode;
    if (!SetPropA(hwnd, ChainProperty(free), chain.get()))
        throw bj::Error("Cannot subclass the window");
    const auto proc = reinterpret_cast<LONG_PTR>(kProcs[free]);
    chain->original =
        reinterpret_cast<WNDPROC>(unicode ? SetWindowLongPtrW(hwnd, GWLP_WNDPROC, proc)
                                          : SetWindowLongPtrA(hwnd, GWLP_WNDPROC, proc));
    if (!chain->original) {
        RemovePropA(hwnd, ChainProperty(free));
        throw bj::Error("Cannot subclass the window");
    }
    return chain.release();
}

TSubclass::TSubclass(HWND hwnd, Handler handler) : handler_(std::move(handler)) {
    if (!IsWindow(hwnd)) throw bj::Error("Cannot subclass a window that is not there");
    chain_ = TSubclassChain::Top(hwnd);
    chain_->links.insert(chain_->links.begin(), this);
}

TSubclass::~TSubclass() {
    if (!chain_) return;
    TSubclassChain* chain = chain_;
    auto& links = chain->links;
    links.erase(std::remove(links.begin(), links.end(), this), links.end());
    if (links.empty() && chain->Detach(false) && chain->depth == 0) delete chain;
}

HWND TSubclass::Handle() const {
    return chain_ ? chain_->hwnd : nullptr;
}

LRESULT TSubclass::CallNext(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!chain_) return 0;
    const auto& links = chain_->links;
    const auto at = std::find(links.begin(), links.end(), this);
    // Once this link is gone, what came below it is all that is left to call.
    const std::size_t next =
        at == links.end() ? links.size() : static_cast<std::size_t>(at - links.begin()) + 1;
    return chain_->CallFrom(next, msg, wParam, lParam);
}

}  // namespace fw
