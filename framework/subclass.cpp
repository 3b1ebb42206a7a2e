#include "framework/subclass.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/error.h"
#include "framework/barrier.h"

namespace fw {

namespace {

// A procedure someone else puts over ours must stay in between: handlers made after it go into
// a chain of a level of their own, above it.
constexpr int kLevels = 4;

std::string ChainProperty(int level) {
    return "BriskJot.Subclass" + std::to_string(level);
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
        return static_cast<TSubclassChain*>(GetPropA(hwnd, ChainProperty(level).c_str()));
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
    bool Detach(bool destroyed) {
        if (!destroyed && WindowProc(hwnd, unicode) != kProcs[level]) return false;
        const auto restored = reinterpret_cast<LONG_PTR>(original);
        if (unicode)
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, restored);
        else
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, restored);
        RemovePropA(hwnd, ChainProperty(level).c_str());
        for (TSubclass* link : links) {
            link->hwnd_ = nullptr;
            link->chain_ = nullptr;
        }
        links.clear();
        detached = true;
        return true;
    }

    static WNDPROC WindowProc(HWND hwnd, bool unicode) {
        return reinterpret_cast<WNDPROC>(unicode ? GetWindowLongPtrW(hwnd, GWLP_WNDPROC)
                                                 : GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    }

    template <int Level>
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
        TSubclassChain* chain = Of(hwnd, Level);
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

    static constexpr WNDPROC kProcs[kLevels] = {&Proc<0>, &Proc<1>, &Proc<2>, &Proc<3>};

    // The chain whose procedure is the window's now, made when there is none.
    static TSubclassChain* Top(HWND hwnd) {
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
        if (!SetPropA(hwnd, ChainProperty(free).c_str(), chain.get()))
            throw bj::Error("Cannot subclass the window");
        const auto proc = reinterpret_cast<LONG_PTR>(kProcs[free]);
        chain->original =
            reinterpret_cast<WNDPROC>(unicode ? SetWindowLongPtrW(hwnd, GWLP_WNDPROC, proc)
                                              : SetWindowLongPtrA(hwnd, GWLP_WNDPROC, proc));
        if (!chain->original) {
            RemovePropA(hwnd, ChainProperty(free).c_str());
            throw bj::Error("Cannot subclass the window");
        }
        return chain.release();
    }
};

TSubclass::TSubclass(HWND hwnd, Handler handler) : hwnd_(hwnd), handler_(std::move(handler)) {
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
