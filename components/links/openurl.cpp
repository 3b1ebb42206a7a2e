#include "components/links/openurl.h"

#include <shellapi.h>

#include <climits>
#include <utility>

namespace links {
namespace {

std::function<int(const std::string&)>& Hook() {
    static std::function<int(const std::string&)> hook;
    return hook;
}

}  // namespace

int OpenUrl(const std::string& url, HWND owner) {
    if (Hook()) return Hook()(url);
    const HINSTANCE result =
        ShellExecuteA(owner, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    const INT_PTR code = reinterpret_cast<INT_PTR>(result);
    // Only "above 32" matters on success; keep a large value from wrapping below it.
    return code > 32 && code > INT_MAX ? INT_MAX : static_cast<int>(code);
}

void SetOpenUrlHook(std::function<int(const std::string& url)> hook) {
    Hook() = std::move(hook);
}

}  // namespace links
