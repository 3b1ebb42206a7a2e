#pragma once
// The address a hyperlink label opens for its caption.

#include <string>

namespace links {

enum TLabelType { hmHTTP, hmMAIL, hmFTP, hmCUSTOM };

// The caption as an address of the label's kind, or "" for hmCUSTOM (which
// opens nothing). The result always begins with the kind's own scheme, so a
// caption can never make the shell start a local program.
std::string AddressFor(TLabelType type, const std::string& caption);

}  // namespace links
