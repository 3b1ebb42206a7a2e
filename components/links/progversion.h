#pragma once
// The program's version as text: the product version of the fixed version
// information of a module file, read once when the component is made.

#include <string>

#include "components/links/versiontext.h"

class TProgVersion {
public:
    // The running executable.
    TProgVersion();
    // Any module file; all four strings stay empty when it has no version information.
    explicit TProgVersion(const std::string& moduleFile);

    // Read-only: nothing written to the component can change what the file says.
    const std::string& OneDigitVersion() const { return text_.one; }
    const std::string& TwoDigitVersion() const { return text_.two; }
    const std::string& ThreeDigitVersion() const { return text_.three; }
    const std::string& FourDigitVersion() const { return text_.four; }

private:
    links::VersionStrings text_;
};
