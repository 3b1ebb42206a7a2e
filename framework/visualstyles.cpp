#include "framework/visualstyles.h"

#include <string>

#include "framework/application.h"

namespace fw {

namespace {

constexpr WORD kControlsManifest = 2;  // see resources/briskjot.rc

// Made once and kept for the life of the process.
HANDLE ControlsContext() {
    static const HANDLE context = [] {
        const std::string path = Application.ExeName();
        if (path.empty()) return INVALID_HANDLE_VALUE;
        ACTCTXA request{};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
        request.lpSource = path.c_str();
        request.lpResourceName = MAKEINTRESOURCEA(kControlsManifest);
        request.hModule = GetModuleHandleA(nullptr);
        return CreateActCtxA(&request);
    }();
    return context;
}

}  // namespace

TVisualStyles::TVisualStyles() {
    const HANDLE context = ControlsContext();
    // Without it the controls are the plain ones: a different look, never a failure.
    active_ = context != INVALID_HANDLE_VALUE && ActivateActCtx(context, &cookie_);
}

TVisualStyles::~TVisualStyles() {
    if (active_) DeactivateActCtx(0, cookie_);
}

}  // namespace fw
