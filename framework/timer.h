#pragma once
// A window timer with its own hidden window; ticks run inside the barrier.

#include <functional>
#include <memory>

#include "framework/window.h"

namespace fw {

class TTimer {
public:
    explicit TTimer(unsigned intervalMs);
    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }
    std::function<void()> OnTimer;

private:
    unsigned interval_;
    bool enabled_ = false;
    std::unique_ptr<TUtilityWindow> window_;
};

}  // namespace fw
