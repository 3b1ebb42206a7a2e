#include "framework/timer.h"

namespace fw {

namespace {
constexpr UINT_PTR kTimerId = 1;
}

TTimer::TTimer(unsigned intervalMs) : interval_(intervalMs) {
    window_ = std::make_unique<TUtilityWindow>(
        [this](UINT msg, WPARAM wParam, LPARAM, LRESULT&) {
            if (msg != WM_TIMER || wParam != kTimerId) return false;
            if (OnTimer) OnTimer();
            return true;
        },
        TUtilityWindow::Kind::MessageOnly);
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (enabled)
        SetTimer(window_->Handle(), kTimerId, interval_, nullptr);
    else
        KillTimer(window_->Handle(), kTimerId);
}

}  // namespace fw
