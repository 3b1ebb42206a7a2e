#pragma once
// The one place where exceptions stop: every call from the system into our code
// (window procedures, timers, subclass procedures) runs through Guarded().

#include <exception>
#include <utility>

namespace fw {

// A command that stops early raises this; it ends just that handler, silently.
class EAbort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

[[noreturn]] inline void Abort() {
    throw EAbort();
}

// Hands an error that no handler caught to the application's exception hook.
void ReportUnhandled(const std::exception_ptr& error) noexcept;

template <typename Result, typename Fn>
Result Guarded(Result onFailure, Fn&& fn) noexcept {
    try {
        return std::forward<Fn>(fn)();
    } catch (const EAbort&) {
        return onFailure;
    } catch (...) {
        ReportUnhandled(std::current_exception());
        return onFailure;
    }
}

template <typename Fn>
void Guarded(Fn&& fn) noexcept {
    Guarded(0, [&] {
        std::forward<Fn>(fn)();
        return 0;
    });
}

}  // namespace fw
